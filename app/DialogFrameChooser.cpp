#include "app/DialogFrameChooser.h"

#include "app/FrameDialog.h"
#include "conversion/FrameSelection.h"
#include "services/Error.h"

#include <QCoreApplication>

#include <utility>

namespace velmora::app {

namespace {

[[noreturn]] void throwNothingToChoose(const std::filesystem::path& document,
                                       const std::optional<velmora::Error>& problem) {
    using velmora::ErrorKind;
    if (problem) {
        throw velmora::Error(ErrorKind::FramesUnreadable,
                             {.file = document, .reason = velmora::kindName(problem->kind())});
    }
    throw velmora::Error(ErrorKind::FramesNotOffered, {.file = document});
}

} // namespace

void DialogFrameChooser::showModally(FrameDialog& dialog) {
    dialog.exec();
}

DialogFrameChooser::DialogFrameChooser(QWidget* owner, QString documentPath,
                                       std::shared_ptr<HelpDesk> help, ShowDialog show)
    : owner_(owner), documentPath_(std::move(documentPath)), help_(std::move(help)),
      show_(std::move(show)) {}

std::string DialogFrameChooser::chooseFrames(const std::filesystem::path& runDocument,
                                             const velmora::FrameListing&) {
    const std::filesystem::path document =
        documentPath_.isEmpty() ? runDocument
                                : std::filesystem::path(documentPath_.toStdU16String());
    for (;;) {
        const velmora::FrameListing listing = velmora::FrameListing::load(document);
        if (listing.listedKeys().empty()) {
            throwNothingToChoose(document, listing.problem());
        }
        FrameDialog dialog(QString::fromStdU16String(document.u16string()), owner_, help_);
        show_(dialog);
        // The dialog reads the file once more; it may have changed in between.
        if (!dialog.framesListed()) {
            throwNothingToChoose(document, dialog.readProblem());
        }
        if (dialog.choiceIsValid()) {
            return dialog.chosenKeys().toStdString();
        }
    }
}

} // namespace velmora::app
