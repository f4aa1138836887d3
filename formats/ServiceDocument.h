#pragma once

#include "services/XmlDocument.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// One record of a section: a listasal whose salida children are its positional values.
class SauceRecord {
public:
    explicit SauceRecord(XmlNode record);

    std::size_t valueCount() const { return values_.size(); }
    // The text of value p, trimmed of codes 0..32 at both ends; empty when the record lacks p.
    std::string value(std::size_t p) const;
    // The text of value p as it stands; empty when the record lacks p.
    std::string rawValue(std::size_t p) const;
    // The dato attribute of value p, and whether it has one.
    bool hasDato(std::size_t p) const;
    std::string dato(std::size_t p) const;

private:
    std::vector<XmlNode> values_;
};

// Throws NotAServiceDocument unless the root is SERVICIO with a SALIDAS element under it: any
// other well-formed XML the user picks by mistake would give empty tables or an empty result.
// file: the name the error gives the document.
void requireServiceDocument(const XmlDocument& document, const std::filesystem::path& file);

// The sections of a Sauce service document: /SERVICIO/SALIDAS/listasal[@seq="NAME"]/listasal.
// Several sections of one name give their records in document order.
std::vector<SauceRecord> sectionRecords(const XmlDocument& document, const std::string& section);

} // namespace velmora
