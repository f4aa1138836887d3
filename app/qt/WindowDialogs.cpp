#include "app/qt/WindowDialogs.h"

#include "messages/WindowTexts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTextEdit>

namespace velmora::app {

namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString filter(const char* name, const char* pattern) {
    return text(name) + QStringLiteral(" (") + text(pattern) + QStringLiteral(")");
}

// The path a file dialog was confirmed with, or nothing when it was cancelled.
std::optional<QString> confirmed(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> askForDocument(QWidget* owner, const QString& startFolder,
                                      const QString& lastChosen) {
    QFileDialog dialog(owner, text(messages::kDocumentDialogTitle), startFolder,
                       filter(messages::kDocumentFilterName, messages::kDocumentFilterPattern));
    // An open dialog that still returns a typed name of a missing file: the run itself tells
    // the user that the file does not exist. Native dialogs may insist on an existing file, so
    // Qt's own is used everywhere.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(text(messages::kDocumentExtension));
    if (!lastChosen.isEmpty()) {
        dialog.selectFile(lastChosen);
    }
    return confirmed(dialog);
}

void showMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& shown) {
    QMessageBox box(icon, text(messages::kApplicationTitle), shown, QMessageBox::Ok, owner);
    // A file's name is shown as it is, whatever marks it holds.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void showNotesBox(QWidget* owner, const NotesMessage& message,
                  const std::function<void()>& saveNotes) {
    QMessageBox box(QMessageBox::Information, text(messages::kApplicationTitle), text(message.text),
                    QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(text(message.summary));
    box.setDetailedText(text(message.details));
    // The message box keeps its details in a few narrow lines; a school's notes run to dozens of
    // long sentences, read more easily in a larger area.
    if (auto* details = box.findChild<QTextEdit*>()) {
        details->setFixedSize(560, 280);
    }
    QPushButton* save = box.addButton(text(messages::kSaveNotesButton), QMessageBox::ActionRole);
    save->setObjectName(QStringLiteral("saveNotesButton"));
    // Every button of a message box closes it; this one only saves, so that the user can still
    // read the details afterwards (or save them again elsewhere).
    QObject::disconnect(save, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(save, &QAbstractButton::clicked, &box, [&saveNotes] { saveNotes(); });
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

std::optional<QString> askForNotesFile(QWidget* owner, const QString& suggested) {
    const QFileInfo file(suggested);
    QFileDialog dialog(owner, text(messages::kNotesDialogTitle), file.absolutePath(),
                       filter(messages::kNotesFilterName, messages::kNotesFilterPattern));
    // Qt's own dialog, as for the document, so that it looks and speaks the same everywhere.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(text(messages::kNotesExtension));
    dialog.selectFile(file.fileName());
    return confirmed(dialog);
}

} // namespace velmora::app
