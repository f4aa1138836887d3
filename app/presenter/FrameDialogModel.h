#pragma once

#include "conversion/FrameSelection.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::app {

struct FrameDialogOutcome;

// What the time-frame dialog shows and decides, for any face that draws it: the frames of the
// document, the details of the current one, and the check when it closes. The dialog reads the
// file itself, apart from the run's document.
class FrameDialogModel {
public:
    // The verdict of the closing check.
    struct Verdict {
        bool valid = false;  // one or two frames selected
        std::string keys;    // their keys in list order, each padded or cut to 10 characters
        std::string message; // to show before the dialog goes; empty when valid
    };

    explicit FrameDialogModel(std::filesystem::path document);

    // Reads the document; called once, when the dialog is first shown.
    void load();

    // The lines of the frame list; empty when the document offers nothing to choose from.
    const std::vector<std::string>& frameKeys() const;
    // Why the document could not be read, when it could not.
    const std::optional<Error>& readProblem() const;

    // What the labels and the slot list show for the frame at row (the first one, before any
    // is chosen). A row beyond the list (an empty list, or no current row) shows what a frame
    // without a key would. A FrameDetails without slot lines leaves the slot list as it was.
    FrameDetails detailsAt(std::size_t row) const;

    // The closing check, on the rows selected at closing (in any order).
    Verdict close(const std::vector<std::size_t>& selectedRows) const;

    // What the dialog ended with: the closing check's verdict, and what the file it read gave.
    FrameDialogOutcome outcome(Verdict verdict) const;

private:
    std::filesystem::path document_;
    FrameListing listing_;
};

// What the frame dialog ended with, once closed.
struct FrameDialogOutcome {
    FrameDialogModel::Verdict verdict; // the closing check's verdict on the selection
    bool framesListed = false;         // whether the file it read gave frames to choose from
    std::optional<Error> readProblem;  // why it could not read them, when it could not
};

} // namespace velmora::app
