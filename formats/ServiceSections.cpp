#include "formats/ServiceSections.h"

#include "services/Error.h"
#include "services/xml/XmlStream.h"

#include <optional>
#include <utility>

namespace velmora {

namespace {

// Every section a conversion reads.
const char* const kConvertedSections[] = {"MATERIAS", "TAREAS", "PROFESORES", "AULAS",
                                          "CURSOS",   "GRUPOS", "JORNADAS",   "INTERVALOS"};

// Follows the path /SERVICIO/SALIDAS/listasal[@seq]/listasal/salida down the document by
// depth, element names outside any namespace as the path names them, and keeps the records of
// the wanted sections. Whether the root is a service document is judged by local names.
class SectionReader : public XmlEvents {
public:
    using Sections = std::map<std::string, std::vector<SauceRecord>, std::less<>>;

    explicit SectionReader(Sections& sections) : sections_(sections) {}

    void startElement(std::string_view name, bool inNamespace,
                      const XmlAttributes& attributes) override {
        const bool named = !inNamespace;
        switch (++depth_) {
        case 1:
            rootName_ = name;
            underServicio_ = named && name == "SERVICIO";
            break;
        case 2:
            hasSalidas_ = hasSalidas_ || name == "SALIDAS";
            inSalidas_ = underServicio_ && named && name == "SALIDAS";
            break;
        case 3:
            section_ = inSalidas_ && named && name == "listasal"
                           ? wantedSection(attributes.value("seq"))
                           : nullptr;
            break;
        case 4:
            inRecord_ = section_ != nullptr && named && name == "listasal";
            records_.startRecord();
            break;
        case 5:
            inValue_ = inRecord_ && named && name == "salida";
            if (inValue_) {
                records_.startValue(attributes.value("dato"));
            }
            break;
        default:
            break;
        }
    }

    void endElement() override {
        switch (depth_--) {
        case 2:
            inSalidas_ = false;
            break;
        case 3:
            section_ = nullptr;
            break;
        case 4:
            if (inRecord_) {
                section_->push_back(records_.finishRecord(section_->size() + 1));
                inRecord_ = false;
            }
            break;
        case 5:
            inValue_ = false;
            break;
        default:
            break;
        }
    }

    // A value's text is all the character data inside it, however deep.
    void text(std::string_view text) override {
        if (inValue_) {
            records_.appendText(text);
        }
    }

    void requireServiceDocument(const std::filesystem::path& file) const {
        if (rootName_ != "SERVICIO") {
            throw Error(ErrorKind::NotAServiceDocument,
                        {.file = file, .value = rootName_, .reason = ErrorReason::WrongRoot});
        }
        if (!hasSalidas_) {
            throw Error(ErrorKind::NotAServiceDocument,
                        {.file = file, .value = rootName_, .reason = ErrorReason::NoSalidas});
        }
    }

private:
    std::vector<SauceRecord>* wantedSection(const std::optional<std::string>& seq) {
        if (!seq) {
            return nullptr;
        }
        const auto found = sections_.find(*seq);
        return found == sections_.end() ? nullptr : &found->second;
    }

    Sections& sections_;
    int depth_ = 0;
    std::string rootName_;
    bool underServicio_ = false;
    bool hasSalidas_ = false;
    bool inSalidas_ = false;
    std::vector<SauceRecord>* section_ = nullptr;
    bool inRecord_ = false;
    bool inValue_ = false;
    SauceRecordBuilder records_;
};

} // namespace

ServiceSections::ServiceSections() {
    for (const char* name : kConvertedSections) {
        sections_.emplace(name, std::vector<SauceRecord>());
    }
}

ServiceSections ServiceSections::load(const std::filesystem::path& document) {
    ServiceSections sections;
    SectionReader reader(sections.sections_);
    const XmlOutline outline = serviceDocumentOutline();
    streamXmlFile(document, reader, &outline);
    reader.requireServiceDocument(document);
    return sections;
}

ServiceSections ServiceSections::parse(const std::string& xml, const std::filesystem::path& file) {
    ServiceSections sections;
    SectionReader reader(sections.sections_);
    const XmlOutline outline = serviceDocumentOutline();
    streamXmlText(xml, file, reader, &outline);
    reader.requireServiceDocument(file);
    return sections;
}

const std::vector<SauceRecord>& ServiceSections::records(const std::string& section) const {
    static const std::vector<SauceRecord> none;
    const auto found = sections_.find(section);
    return found == sections_.end() ? none : found->second;
}

XmlOutline serviceDocumentOutline() {
    return {"SALIDAS", 100000};
}

} // namespace velmora
