#include "app/DialogFrameChooser.h"

#include "app/TPlantillas.h"
#include "conversion/FrameSelection.h"
#include "services/Error.h"

#include <utility>

namespace {

[[noreturn]] void throwNothingToChoose(const std::filesystem::path& document,
                                       const std::string& problem) {
    const std::string why =
        problem.empty() ? "its section JORNADAS no longer lists two or more time frames" : problem;
    throw velmora::Error("The time frames of " + document.string() +
                         " could not be offered for choice: " + why +
                         ". The file may have changed or been removed since the conversion "
                         "started; run the conversion again.");
}

} // namespace

void DialogFrameChooser::showModally(TPlantillas& dialog) {
    dialog.exec();
}

DialogFrameChooser::DialogFrameChooser(QWidget* owner, QString filenameXML, ShowDialog show)
    : owner_(owner), filenameXML_(std::move(filenameXML)), show_(std::move(show)) {}

std::string DialogFrameChooser::chooseFrames(const std::filesystem::path& runDocument) {
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
            throwNothingToChoose(document, dialog.readProblem().toStdString());
        }
        if (dialog.resultMH()) {
            return dialog.resultado().toStdString();
        }
    }
}
