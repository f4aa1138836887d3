#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One record of a section of a Sauce service document: a listasal whose salida children are its
// positional values, their texts (and dato names) copied out of the document, so that the
// record outlives it.
class SauceRecord {
public:
    // datos: the dato name of each value, or empty when no value has one. position: the
    // record's place in its section, from 1.
    SauceRecord(std::vector<std::string> texts, std::vector<std::optional<std::string>> datos,
                std::size_t position);

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

} // namespace velmora
