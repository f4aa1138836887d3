#pragma once

#include "services/XmlDocument.h"

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One record of a section: a listasal whose salida children are its positional values. Their
// texts (and dato names) are copied out of the document when the record is made, so that the
// record outlives the document.
class SauceRecord {
public:
    // position: the record's place in its section, from 1.
    SauceRecord(XmlNode record, std::size_t position);

    std::size_t position() const { return position_; }
    std::size_t valueCount() const { return texts_.size(); }
    // The text of value p, trimmed of codes 0..32 at both ends; empty when the record lacks p.
    // A view into the record, valid while the record lives.
    std::string_view value(std::size_t p) const;
    // The text of value p as it stands; empty when the record lacks p.
    const std::string& rawValue(std::size_t p) const;
    // The dato attribute of value p, and whether it has one.
    bool hasDato(std::size_t p) const;
    std::string dato(std::size_t p) const;

private:
    std::vector<std::string> texts_;
    // The dato name of each value; left empty when no value of the record has one.
    std::vector<std::optional<std::string>> datos_;
    std::size_t position_;
};

// Throws NotAServiceDocument unless the root is SERVICIO with a SALIDAS element under it: any
// other well-formed XML the user picks by mistake would give empty tables or an empty result.
// file: the name the error gives the document.
void requireServiceDocument(const XmlDocument& document, const std::filesystem::path& file);

// Loads the file and requires it to be a service document, as a conversion reads one.
XmlDocument loadServiceDocument(const std::filesystem::path& file);

// The sections of a Sauce service document: /SERVICIO/SALIDAS/listasal[@seq="NAME"]/listasal.
// Several sections of one name give their records in document order.
std::vector<SauceRecord> sectionRecords(const XmlDocument& document, const std::string& section);

// The sections a conversion reads, each read from the document once, so that the document
// itself can be let go before the tables are built.
class ServiceSections {
public:
    static ServiceSections read(const XmlDocument& document);

    // The records of a section, in document order; none for a section the document lacks.
    const std::vector<SauceRecord>& records(const std::string& section) const;

private:
    std::map<std::string, std::vector<SauceRecord>> sections_;
};

} // namespace velmora
