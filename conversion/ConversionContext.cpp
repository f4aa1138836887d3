#include "conversion/ConversionContext.h"

#include <utility>

namespace velmora {

namespace {

// A record needs a key and something to go with it; shorter ones are passed over.
constexpr std::size_t kFewestValues = 2;

} // namespace

ConversionContext::ConversionContext(const ServiceSections& sections,
                                     std::filesystem::path documentPath, FrameChooser& frames)
    : sections(sections), documentPath(std::move(documentPath)), frames(frames),
      storedCodePage_(CodePage::windows1252()) {}

const std::vector<SauceRecord>& ConversionContext::usableRecords(const std::string& section) {
    const auto [cached, added] = usableRecords_.try_emplace(section);
    if (added) {
        for (const SauceRecord& record : sections.records(section)) {
            if (record.valueCount() >= kFewestValues) {
                cached->second.push_back(record);
            }
        }
    }
    return cached->second;
}

std::string ConversionContext::asStored(std::string_view text) const {
    return storedCodePage_.decode(storedCodePage_.encode(text).bytes);
}

} // namespace velmora
