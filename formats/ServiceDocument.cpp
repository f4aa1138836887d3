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

SauceRecord::SauceRecord(XmlNode record) : values_(record.selectNodes("salida")) {}

std::string SauceRecord::value(std::size_t p) const {
    return text::trim(rawValue(p));
}

std::string SauceRecord::rawValue(std::size_t p) const {
    return p < values_.size() ? values_[p].text() : std::string();
}

bool SauceRecord::hasDato(std::size_t p) const {
    return p < values_.size() && values_[p].hasAttribute("dato");
}

std::string SauceRecord::dato(std::size_t p) const {
    return p < values_.size() ? values_[p].attribute("dato") : std::string();
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

std::vector<SauceRecord> sectionRecords(const XmlDocument& document, const std::string& section) {
    const std::string path =
        "/SERVICIO/SALIDAS/listasal[@seq=" + xpathLiteral(section) + "]/listasal";
    std::vector<SauceRecord> records;
    for (const XmlNode& record : document.selectNodes(path)) {
        records.emplace_back(record);
    }
    return records;
}

} // namespace velmora
