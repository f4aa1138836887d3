#include "app/presenter/FrameDialogModel.h"

#include "messages/WindowTexts.h"

#include <algorithm>
#include <utility>

namespace velmora::app {

namespace {

std::string refusalText(SelectionProblem problem) {
    switch (problem) {
    case SelectionProblem::TooManyFrames:
        return messages::kTooManyFrames;
    case SelectionProblem::NoFrame:
        return messages::kNoFrameSelected;
    case SelectionProblem::None:
        break;
    }
    return {};
}

} // namespace

FrameDialogModel::FrameDialogModel(std::filesystem::path document)
    : document_(std::move(document)) {}

void FrameDialogModel::load() {
    listing_ = FrameListing::load(document_);
}

const std::vector<std::string>& FrameDialogModel::frameKeys() const {
    return listing_.listedKeys();
}

const std::optional<Error>& FrameDialogModel::readProblem() const {
    return listing_.problem();
}

FrameDetails FrameDialogModel::detailsAt(std::size_t row) const {
    const auto& keys = frameKeys();
    return listing_.details(row < keys.size() ? keys[row] : std::string());
}

FrameDialogModel::Verdict
FrameDialogModel::close(const std::vector<std::size_t>& selectedRows) const {
    // The keys in list order, whatever the order in which the lines were selected.
    std::vector<std::size_t> rows = selectedRows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<std::string> selectedKeys;
    for (const std::size_t row : rows) {
        if (row < frameKeys().size()) {
            selectedKeys.push_back(frameKeys()[row]);
        }
    }
    const FrameSelection selection = closeSelection(selectedKeys);
    return {.valid = selection.resultMH,
            .keys = selection.resultado,
            .message = refusalText(selection.problem)};
}

FrameDialogOutcome FrameDialogModel::outcome(Verdict verdict) const {
    return {std::move(verdict), !frameKeys().empty(), readProblem()};
}

} // namespace velmora::app
