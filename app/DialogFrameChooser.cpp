#include "app/DialogFrameChooser.h"

#include "app/TPlantillas.h"
#include "conversion/FrameSelection.h"
#include "services/Error.h"

#include <utility>

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

void DialogFrameChooser::showModally(TPlantillas& dialog) {
    dialog.exec();
}

DialogFrameChooser::DialogFrameChooser(QWidget* owner, QString filenameXML, ShowDialog show)
    : owner_(owner), filenameXML_(std::move(filenameXML)), show_(std::move(show)) {}

std::string DialogFrameChooser::chooseFrames(const std::filesystem::path& runDocument,
                                             const velmora::FrameListing&) {
    const std::filesystem::path document =
        filenameXML_.isEmpty() ? runDocument : std::filesystem::path(filenameXML_.toStdU16String());
    for (;;) {
        const velmora::FrameListing listing = velmora::FrameListing::load(document);
        if (listing.listedKeys().empty()) {
            throwNothingToChoose(document, listing.problem());
        }
        TPlantillas dialog(QString::fromStdU16String(document.u16string()), owner_);
        show_(dialog);
        // The dialog reads the file once more; it may have changed in between.
        if (!dialog.framesListed()) {
            throwNothingToChoose(document, dialog.readProblem());
        }
        if (dialog.resultMH()) {
            return dialog.resultado().toStdString();
        }
    }
}
