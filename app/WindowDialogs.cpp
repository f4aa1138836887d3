#include "app/WindowDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace velmora::app {

std::optional<QString> QtWindowDialogs::chooseDocument(QWidget* owner, const QString& startFolder,
                                                       const QString& lastChosen) {
    QFileDialog dialog(
        owner,
        QCoreApplication::translate("velmora::app::QtWindowDialogs",
                                    "Seleccionar Archivo XML obtenido de SAUCE"),
        startFolder, QCoreApplication::translate("velmora::app::QtWindowDialogs", "*.xml (*.xml)"));
    // An open dialog that still returns a typed name of a missing file: the run itself tells
    // the user that the file does not exist. Native dialogs may insist on an existing file, so
    // Qt's own is used everywhere.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (!lastChosen.isEmpty()) {
        dialog.selectFile(lastChosen);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

void QtWindowDialogs::showMessage(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, applicationTitle, text, QMessageBox::Ok, owner);
    box.exec();
}

void QtWindowDialogs::showError(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Critical, applicationTitle, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace velmora::app
