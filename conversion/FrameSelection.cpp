#include "conversion/FrameSelection.h"

#include "services/text/Text.h"

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

} // namespace

std::string slotLine(const std::string& order, const std::string& name, const std::string& start,
                     const std::string& end) {
    return text::left(order + "-" + name + "-" + start + "-" + end, kSlotLineLength);
}

FrameListing FrameListing::load(const std::filesystem::path& document) {
    try {
        return fromSections(ServiceSections::load(document));
    } catch (const Error& error) {
        FrameListing empty;
        empty.problem_ = error;
        return empty;
    }
}

FrameListing FrameListing::fromSections(const ServiceSections& sections) {
    return fromRecords(sections.records("JORNADAS"), sections.records("INTERVALOS"));
}

FrameListing FrameListing::fromRecords(const std::vector<SauceRecord>& jornadas,
                                       const std::vector<SauceRecord>& intervalos) {
    FrameListing listing;
    for (const SauceRecord& record : jornadas) {
        listing.frames_.push_back(
            {record.rawValue(0), valueOrDash(record, 1), valueOrDash(record, 2)});
    }
    for (const SauceRecord& record : intervalos) {
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
        selection.problem = SelectionProblem::TooManyFrames;
        selection.resultMH = false;
    } else if (selectedKeys.empty()) {
        selection.problem = SelectionProblem::NoFrame;
        selection.resultMH = false;
    }
    for (const auto& key : selectedKeys) {
        selection.resultado += text::padOrCut(key, kKeyLength);
    }
    return selection;
}

std::string chooseFramesByKeys(const std::filesystem::path& document, const FrameListing& listing,
                               const std::vector<std::string>& typedKeys) {
    if (const auto& problem = listing.problem()) {
        throw Error(ErrorKind::FramesUnreadable, {.file = document, .cause = problem->kind()});
    }
    const auto& listed = listing.listedKeys();
    if (listed.empty()) {
        throw Error(ErrorKind::FramesNotOffered, {.file = document});
    }
    std::vector<std::string> available;
    for (const auto& key : listed) {
        available.push_back(text::trim(key));
    }
    if (typedKeys.empty()) {
        throw Error(ErrorKind::FramesNotChosen, {.file = document, .choices = available});
    }
    std::set<std::string> distinctKeys;
    for (const auto& typed : typedKeys) {
        distinctKeys.insert(text::trim(typed));
    }
    if (distinctKeys.size() > kMostFrames) {
        throw Error(ErrorKind::TooManyFrames, {.file = document, .choices = available});
    }
    std::set<std::size_t> selectedRows;
    for (const auto& typed : typedKeys) {
        const auto found = std::find(available.begin(), available.end(), text::trim(typed));
        if (found == available.end()) {
            throw Error(ErrorKind::UnknownFrame,
                        {.file = document, .value = text::trim(typed), .choices = available});
        }
        selectedRows.insert(static_cast<std::size_t>(found - available.begin()));
    }
    if (selectedRows.size() > kMostFrames) {
        throw Error(ErrorKind::TooManyFrames, {.file = document, .choices = available});
    }
    std::vector<std::string> selectedKeys;
    for (const std::size_t row : selectedRows) {
        selectedKeys.push_back(listed[row]);
    }
    return closeSelection(selectedKeys).resultado;
}

} // namespace velmora
