#include "formats/SauceRecord.h"

#include "services/text/Text.h"

#include <algorithm>
#include <climits>

namespace velmora {

// The texts of the records one builder made. A record's texts lie in one block, and a block
// never grows past the room reserved for it, so no text ever moves.
struct SauceRecordTexts {
    std::vector<std::string> blocks;
    std::vector<std::uint32_t> ends; // each value's end, from the start of its record
    std::vector<std::optional<std::string>> datos;
};

namespace {

constexpr std::uint32_t kNoDatos = UINT32_MAX;

} // namespace

SauceRecord::SauceRecord(std::vector<std::string> texts,
                         std::vector<std::optional<std::string>> datos, std::size_t position) {
    SauceRecordBuilder builder(0);
    builder.startRecord();
    for (std::size_t p = 0; p < texts.size(); ++p) {
        builder.startValue(p < datos.size() ? datos[p] : std::nullopt);
        builder.appendText(texts[p]);
    }
    *this = builder.finishRecord(position);
}

std::string_view SauceRecord::text(std::size_t p) const {
    if (p >= valueCount_) {
        return {};
    }
    const std::string& block = texts_->blocks[block_];
    const std::uint32_t begin = p == 0 ? 0 : texts_->ends[firstValue_ + p - 1];
    const std::uint32_t end = texts_->ends[firstValue_ + p];
    return std::string_view(block).substr(start_ + begin, end - begin);
}

std::string_view SauceRecord::value(std::size_t p) const {
    return text::trimmed(text(p));
}

std::string SauceRecord::rawValue(std::size_t p) const {
    return std::string(text(p));
}

bool SauceRecord::hasDato(std::size_t p) const {
    return firstDato_ != kNoDatos && p < valueCount_ && texts_->datos[firstDato_ + p].has_value();
}

std::string SauceRecord::dato(std::size_t p) const {
    return hasDato(p) ? *texts_->datos[firstDato_ + p] : std::string();
}

SauceRecordBuilder::SauceRecordBuilder(std::size_t blockBytes)
    : texts_(std::make_shared<SauceRecordTexts>()), blockBytes_(blockBytes) {}

void SauceRecordBuilder::startRecord() {
    record_.clear();
    ends_.clear();
    datos_.clear();
    anyDato_ = false;
}

void SauceRecordBuilder::startValue(std::optional<std::string> dato) {
    anyDato_ = anyDato_ || dato.has_value();
    datos_.push_back(std::move(dato));
    ends_.push_back(static_cast<std::uint32_t>(record_.size()));
}

void SauceRecordBuilder::appendText(std::string_view text) {
    record_ += text;
    ends_.back() = static_cast<std::uint32_t>(record_.size());
}

SauceRecord SauceRecordBuilder::finishRecord(std::size_t position) {
    std::vector<std::string>& blocks = texts_->blocks;
    if (blocks.empty() || blocks.back().capacity() - blocks.back().size() < record_.size()) {
        blocks.emplace_back().reserve(std::max(blockBytes_, record_.size()));
    }
    std::string& block = blocks.back();
    const auto start = static_cast<std::uint32_t>(block.size());
    block += record_;
    const auto firstValue = static_cast<std::uint32_t>(texts_->ends.size());
    texts_->ends.insert(texts_->ends.end(), ends_.begin(), ends_.end());
    std::uint32_t firstDato = kNoDatos;
    if (anyDato_) {
        firstDato = static_cast<std::uint32_t>(texts_->datos.size());
        texts_->datos.insert(texts_->datos.end(), datos_.begin(), datos_.end());
    }
    return SauceRecord(texts_, static_cast<std::uint32_t>(blocks.size() - 1), start, firstValue,
                       static_cast<std::uint32_t>(ends_.size()), firstDato, position);
}

} // namespace velmora
