#include "app/WindowDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

namespace velmora::app {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("velmora::app::QtWindowDialogs", text);
}

} // namespace

std::optional<QString> QtWindowDialogs::chooseDocument(QWidget* owner, const QString& startFolder,
                                                       const QString& lastChosen) {
    QFileDialog dialog(owner, tr("Seleccionar Archivo XML obtenido de SAUCE"), startFolder,
                       tr("*.xml (*.xml)"));
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

void QtWindowDialogs::showNotesMessage(QWidget* owner, const NotesMessage& message,
                                       const SaveNotes& saveNotes) {
    QMessageBox box(QMessageBox::Information, applicationTitle, message.text, QMessageBox::Ok,
                    owner);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(message.summary);
    box.setDetailedText(message.details);
    // The message box keeps its details in a few narrow lines; a school's notes run to dozens of
    // long sentences, read more easily in a larger area.
    if (auto* details = box.findChild<QTextEdit*>()) {
        details->setFixedSize(560, 280);
    }
    QPushButton* save = box.addButton(tr("&Guardar avisos..."), QMessageBox::ActionRole);
    save->setObjectName(QStringLiteral("saveNotesButton"));
    // Every button of a message box closes it; this one only saves, so that the user can still
    // read the details afterwards (or save them again elsewhere).
    QObject::disconnect(save, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(save, &QAbstractButton::clicked, &box,
                     [&box, &saveNotes] { saveNotes(&box); });
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

std::optional<QString> QtWindowDialogs::chooseNotesFile(QWidget* owner, const QString& suggested) {
    const QFileInfo file(suggested);
    QFileDialog dialog(owner, tr("Guardar los avisos en un archivo de texto"), file.absolutePath(),
                       tr("Archivos de texto (*.txt)"));
    // Qt's own dialog, as for the document, so that it looks and speaks the same everywhere.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(file.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

void QtWindowDialogs::showWarning(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Warning, applicationTitle, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtWindowDialogs::showError(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Critical, applicationTitle, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace velmora::app
