#include "formats/ServiceDocument.h"

#include "services/Error.h"
#include "services/Text.h"

namespace velmora {

namespace {

// An XPath string literal holding `value` exactly, whatever quotes it contains.
std::string xpathLiteral(const std::string& value) {
    if (value.find('"') == std::string::npos) {
        return "\"" + value + "\"";
    }
    if (value.find('\'') == std::string::npos) {
        return "'" + value + "'";
    }
    std::string parts;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t quote = value.find('"', start);
        const std::string piece = value.substr(start, quote - start);
        if (!piece.empty()) {
            parts += "\"" + piece + "\",";
        }
        if (quote == std::string::npos) {
            break;
        }
        parts += "'\"',";
        start = quote + 1;
    }
    parts.pop_back();
    return "concat(" + parts + ",\"\")";
}

} // namespace

SauceRecord::SauceRecord(XmlNode record, std::size_t position) : position_(position) {
    const std::vector<XmlNode> values = record.childElements("salida");
    texts_.reserve(values.size());
    for (std::size_t p = 0; p < values.size(); ++p) {
        texts_.push_back(values[p].text());
        if (values[p].hasAttribute("dato")) {
            datos_.resize(values.size());
            datos_[p] = values[p].attribute("dato");
        }
    }
}

std::string_view SauceRecord::value(std::size_t p) const {
    return text::trimmed(rawValue(p));
}

const std::string& SauceRecord::rawValue(std::size_t p) const {
    static const std::string missing;
    return p < texts_.size() ? texts_[p] : missing;
}

bool SauceRecord::hasDato(std::size_t p) const {
    return p < datos_.size() && datos_[p].has_value();
}

std::string SauceRecord::dato(std::size_t p) const {
    return hasDato(p) ? *datos_[p] : std::string();
}

void requireServiceDocument(const XmlDocument& document, const std::filesystem::path& file) {
    const XmlNode root = document.root();
    if (root.name() != "SERVICIO") {
        throw Error(ErrorKind::NotAServiceDocument,
                    {.file = file, .value = root.name(), .reason = "root"});
    }
    if (root.firstChildElement("SALIDAS").isNull()) {
        throw Error(ErrorKind::NotAServiceDocument,
                    {.file = file, .value = root.name(), .reason = "salidas"});
    }
}

XmlDocument loadServiceDocument(const std::filesystem::path& file) {
    XmlDocument document = XmlDocument::load(file);
    requireServiceDocument(document, file);
    return document;
}

std::vector<SauceRecord> sectionRecords(const XmlDocument& document, const std::string& section) {
    const std::string path =
        "/SERVICIO/SALIDAS/listasal[@seq=" + xpathLiteral(section) + "]/listasal";
    std::vector<SauceRecord> records;
    const std::vector<XmlNode> nodes = document.selectNodes(path);
    records.reserve(nodes.size());
    for (const XmlNode& record : nodes) {
        records.emplace_back(record, records.size() + 1);
    }
    return records;
}

namespace {

// Every section a conversion reads.
const char* const kConvertedSections[] = {"MATERIAS", "TAREAS", "PROFESORES", "AULAS",
                                          "CURSOS",   "GRUPOS", "JORNADAS",   "INTERVALOS"};

} // namespace

ServiceSections ServiceSections::read(const XmlDocument& document) {
    ServiceSections sections;
    for (const char* name : kConvertedSections) {
        sections.sections_.emplace(name, sectionRecords(document, name));
    }
    return sections;
}

const std::vector<SauceRecord>& ServiceSections::records(const std::string& section) const {
    static const std::vector<SauceRecord> none;
    const auto found = sections_.find(section);
    return found == sections_.end() ? none : found->second;
}

} // namespace velmora
