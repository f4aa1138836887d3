#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct SauceRecordTexts;

// One record of a section: a listasal whose salida children are its positional values. Their
// texts (and dato names) are copied out of the document when the record is made, so that the
// record outlives the document. The records read from one document keep their texts together,
// one after another, which takes a fraction of the memory a string for each would take.
class SauceRecord {
public:
    // datos: the dato name of each value, or empty when no value has one. position: the
    // record's place in its section, from 1.
    SauceRecord(std::vector<std::string> texts, std::vector<std::optional<std::string>> datos,
                std::size_t position);

    std::size_t position() const { return position_; }
    std::size_t valueCount() const { return valueCount_; }
    // The text of value p, trimmed of codes 0..32 at both ends; empty when the record lacks p.
    // A view into the record, valid while the record lives.
    std::string_view value(std::size_t p) const;
    // The text of value p as it stands; empty when the record lacks p.
    std::string rawValue(std::size_t p) const;
    // The dato attribute of value p, and whether it has one.
    bool hasDato(std::size_t p) const;
    std::string dato(std::size_t p) const;

private:
    friend class SauceRecordBuilder;
    SauceRecord(std::shared_ptr<const SauceRecordTexts> texts, std::uint32_t block,
                std::uint32_t start, std::uint32_t firstValue, std::uint32_t valueCount,
                std::uint32_t firstDato, std::size_t position)
        : texts_(std::move(texts)), block_(block), start_(start), firstValue_(firstValue),
          valueCount_(valueCount), firstDato_(firstDato), position_(position) {}

    std::string_view text(std::size_t p) const;

    std::shared_ptr<const SauceRecordTexts> texts_;
    std::uint32_t block_ = 0;
    std::uint32_t start_ = 0;      // where the record's texts begin in its block
    std::uint32_t firstValue_ = 0; // its first value's end among the texts' ends
    std::uint32_t valueCount_ = 0;
    std::uint32_t firstDato_ = 0; // its first value's dato among the texts' datos, if it has any
    std::size_t position_ = 0;
};

// Makes records a value at a time as a reader meets them, keeping the texts of all the records
// it makes together.
class SauceRecordBuilder {
public:
    // blockBytes: the room the texts take at a time; a few records need no more than theirs.
    explicit SauceRecordBuilder(std::size_t blockBytes = 1024 * 1024);

    void startRecord();
    // A new value of the record being read, with its dato name if it has one.
    void startValue(std::optional<std::string> dato);
    // More of the last value's text.
    void appendText(std::string_view text);
    std::size_t valueCount() const { return ends_.size(); }
    SauceRecord finishRecord(std::size_t position);

private:
    std::shared_ptr<SauceRecordTexts> texts_;
    std::size_t blockBytes_;
    std::string record_;              // the texts of the record being read
    std::vector<std::uint32_t> ends_; // where each of its values ends in record_
    std::vector<std::optional<std::string>> datos_;
    bool anyDato_ = false;
};

} // namespace velmora
