#include "conversion/FrameSelection.h"

#include "formats/ServiceDocument.h"
#include "services/Text.h"

#include <algorithm>
#include <set>

namespace velmora {

namespace {

constexpr std::size_t kSlotLineLength = 20;
constexpr std::size_t kKeyLength = 10;
constexpr std::size_t kMostFrames = 2;

// The raw text of value p, or "-" when the record has no such value.
std::string valueOrDash(const SauceRecord& record, std::size_t p) {
    return p < record.valueCount() ? record.rawValue(p) : "-";
}

std::string joined(const std::vector<std::string>& keys) {
    std::string out;
    for (const auto& key : keys) {
        out += (out.empty() ? "" : ", ") + key;
    }
    return out;
}

} // namespace

std::string slotLine(const std::string& order, const std::string& name, const std::string& start,
                     const std::string& end) {
    return text::left(order + "-" + name + "-" + start + "-" + end, kSlotLineLength);
}

FrameListing FrameListing::load(const std::filesystem::path& document) {
    try {
        return fromDocument(XmlDocument::load(document));
    } catch (const Error& error) {
        FrameListing empty;
        empty.problem_ = error.what();
        return empty;
    }
}

FrameListing FrameListing::fromDocument(const XmlDocument& document) {
    FrameListing listing;
    for (const SauceRecord& record : sectionRecords(document, "JORNADAS")) {
        listing.frames_.push_back(
            {record.rawValue(0), valueOrDash(record, 1), valueOrDash(record, 2)});
    }
    for (const SauceRecord& record : sectionRecords(document, "INTERVALOS")) {
        listing.slots_.push_back(
            {record.rawValue(5), slotLine(record.rawValue(4), record.rawValue(1),
                                          record.rawValue(2), record.rawValue(3))});
    }
    if (listing.frames_.size() > 1) {
        for (const Frame& frame : listing.frames_) {
            listing.listedKeys_.push_back(frame.key);
        }
    }
    return listing;
}

FrameDetails FrameListing::details(const std::string& key) const {
    FrameDetails details;
    if (frames_.size() > 1) {
        for (const Frame& frame : frames_) {
            if (frame.key == key) {
                details.name = frame.name;
                details.dateLabel = frame.dateLabel;
            }
        }
    }
    if (slots_.size() > 1) {
        details.slotLines.emplace();
        for (const Slot& slot : slots_) {
            if (slot.frameKey == key) {
                details.slotLines->push_back(slot.line);
            }
        }
    }
    return details;
}

FrameSelection closeSelection(const std::vector<std::string>& selectedKeys) {
    FrameSelection selection;
    selection.resultMH = true;
    if (selectedKeys.size() > kMostFrames) {
        selection.message = kTooManyFramesMessage;
        selection.resultMH = false;
    } else if (selectedKeys.empty()) {
        selection.message = kNoFrameMessage;
        selection.resultMH = false;
    }
    for (const auto& key : selectedKeys) {
        selection.resultado += text::padOrCut(key, kKeyLength);
    }
    return selection;
}

FrameChoiceError::FrameChoiceError(const std::string& problem,
                                   std::vector<std::string> availableKeys)
    : Error(problem + " Choose one or two of the time frames: " + joined(availableKeys)),
      availableKeys_(std::move(availableKeys)) {}

std::string chooseFramesByKeys(const std::filesystem::path& document,
                               const std::vector<std::string>& typedKeys) {
    const FrameListing listing = FrameListing::load(document);
    if (!listing.problem().empty()) {
        throw Error("The time frames of " + document.string() +
                    " could not be read: " + listing.problem());
    }
    const auto& listed = listing.listedKeys();
    if (listed.empty()) {
        throw Error("The document " + document.string() +
                    " offers no time frames to choose from: its section JORNADAS holds fewer "
                    "than two.");
    }
    std::vector<std::string> available;
    for (const auto& key : listed) {
        available.push_back(text::trim(key));
    }
    if (typedKeys.empty()) {
        throw FrameChoiceError("No time frame was given.", available);
    }
    std::set<std::string> distinctKeys;
    for (const auto& typed : typedKeys) {
        distinctKeys.insert(text::trim(typed));
    }
    if (distinctKeys.size() > kMostFrames) {
        throw FrameChoiceError("At most two time frames can be chosen.", available);
    }
    std::set<std::size_t> selectedRows;
    for (const auto& typed : typedKeys) {
        const auto found = std::find(available.begin(), available.end(), text::trim(typed));
        if (found == available.end()) {
            throw FrameChoiceError("The document has no time frame \"" + text::trim(typed) + "\".",
                                   available);
        }
        selectedRows.insert(static_cast<std::size_t>(found - available.begin()));
    }
    if (selectedRows.size() > kMostFrames) {
        throw FrameChoiceError("At most two time frames can be chosen.", available);
    }
    std::vector<std::string> selectedKeys;
    for (const std::size_t row : selectedRows) {
        selectedKeys.push_back(listed[row]);
    }
    return closeSelection(selectedKeys).resultado;
}

} // namespace velmora
