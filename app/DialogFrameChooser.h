#pragma once

#include "conversion/FrameChooser.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace velmora::app {

class FrameDialog;
class HelpDesk;

// Answers the conversion's frame question with the frame dialog: a fresh dialog each time,
// again and again, until the user has chosen one or two frames.
class DialogFrameChooser : public velmora::FrameChooser {
public:
    // Shows the dialog and returns once it has closed. The window shows it modally; a test
    // drives it without a modal loop.
    using ShowDialog = std::function<void(FrameDialog& dialog)>;

    static void showModally(FrameDialog& dialog);

    // documentPath: the main window's document path, which the dialog reads; when it is empty
    // the dialog reads the document the conversion names. help answers F1 in the dialog.
    DialogFrameChooser(QWidget* owner, QString documentPath, std::shared_ptr<HelpDesk> help,
                       ShowDialog show = showModally);

    // Throws an Error instead of showing the dialog when the document offers no frames to
    // choose from (changed, removed or unreadable since the run loaded it): no choice could
    // ever be made there.
    std::string chooseFrames(const std::filesystem::path& document,
                             const velmora::FrameListing& listing) override;

private:
    QWidget* owner_;
    QString documentPath_;
    std::shared_ptr<HelpDesk> help_;
    ShowDialog show_;
};

} // namespace velmora::app
