#include "app/DialogFrameChooser.h"

#include "app/FrameDialog.h"
#include "conversion/FrameSelection.h"
#include "services/Error.h"

#include <QCoreApplication>

#include <utility>

namespace velmora::app {

namespace {

[[noreturn]] void throwNothingToChoose(const std::filesystem::path& document,
                                       const QString& problem) {
    const QString why =
        problem.isEmpty()
            ? QCoreApplication::translate("velmora::app::DialogFrameChooser",
                                          "su apartado JORNADAS ya no tiene dos o más marcos "
                                          "horarios")
            : problem;
    const QString message =
        QCoreApplication::translate(
            "velmora::app::DialogFrameChooser",
            "No se pueden ofrecer los marcos horarios de %1 para elegir: %2. Puede que el "
            "archivo haya cambiado o se haya borrado después de empezar la transformación. "
            "Vuelva a transformar el documento.")
            .arg(QString::fromStdU16String(document.u16string()), why);
    throw velmora::Error(message.toStdString());
}

} // namespace

void DialogFrameChooser::showModally(FrameDialog& dialog) {
    dialog.exec();
}

DialogFrameChooser::DialogFrameChooser(QWidget* owner, QString documentPath,
                                       std::shared_ptr<HelpDesk> help, ShowDialog show)
    : owner_(owner), documentPath_(std::move(documentPath)), help_(std::move(help)),
      show_(std::move(show)) {}

std::string DialogFrameChooser::chooseFrames(const std::filesystem::path& runDocument) {
    const std::filesystem::path document =
        documentPath_.isEmpty() ? runDocument
                                : std::filesystem::path(documentPath_.toStdU16String());
    for (;;) {
        const velmora::FrameListing listing = velmora::FrameListing::load(document);
        if (listing.listedKeys().empty()) {
            throwNothingToChoose(document, QString::fromStdString(listing.problem()));
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
