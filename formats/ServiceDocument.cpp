#include "formats/ServiceDocument.h"

#include "services/Error.h"
#include "services/text/Text.h"

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

SauceRecord::SauceRecord(std::vector<std::string> texts,
                         std::vector<std::optional<std::string>> datos, std::size_t position)
    : texts_(std::move(texts)), datos_(std::move(datos)), position_(position) {}

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

} // namespace velmora
