// The real dialogs of the window, answered from a timer as a user would answer them.
#include "app/PathText.h"
#include "app/QtTranslation.h"
#include "app/WindowDialogs.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace velmora::app;
using velmora::testing::TempDir;
using velmora::testing::writeFile;

namespace {

// Runs `answer` on the modal dialog as soon as it is up, from inside its modal loop.
template <typename Dialog> void whenShown(std::function<void(Dialog&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start(10);
}

// A label or button's text as read, without the & that marks its shortcut letter.
QString shownText(const QString& text) {
    return QString(text).remove('&');
}

} // namespace

class TestWindowDialogs : public QObject {
    Q_OBJECT
private slots:
    // As the program does at start-up.
    void initTestCase() { QVERIFY(useQtSpanishTranslation(*qApp)); }

    void qtsOwnTextsInTheDialogsAreSpanish() {
        TempDir folder;
        QStringList fileDialogTexts;
        whenShown<QFileDialog>([&](QFileDialog& dialog) {
            const auto* buttons = dialog.findChild<QDialogButtonBox*>();
            fileDialogTexts << shownText(buttons->button(QDialogButtonBox::Open)->text())
                            << shownText(buttons->button(QDialogButtonBox::Cancel)->text());
            for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
                fileDialogTexts << shownText(dialog.findChild<QLabel*>(name)->text());
            }
            dialog.reject();
        });
        QtWindowDialogs().chooseDocument(nullptr, toQString(folder.path()), {});

        QString okButton;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            okButton = shownText(box.button(QMessageBox::Ok)->text());
            box.button(QMessageBox::Ok)->click();
        });
        QtWindowDialogs().showMessage(nullptr, QStringLiteral("Proceso finalizado"));

        QCOMPARE(fileDialogTexts, (QStringList{"Abrir", "Cancelar", "Ver en:", "Nombre de fichero:",
                                               "Ficheros de tipo:"}));
        QCOMPARE(okButton, QStringLiteral("Aceptar"));
    }

    void theFileDialogReturnsATypedNameOfAMissingFile() {
        TempDir folder;
        const QString start = toQString(folder.path());
        QString title, filter, suffix, directory;
        whenShown<QFileDialog>([&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            filter = dialog.nameFilters().join('|');
            suffix = dialog.defaultSuffix();
            directory = dialog.directory().absolutePath();
            // Typed into the name box as a user types it. (selectFile() leaves a box that has
            // the focus alone, as it has once an earlier dialog made the application active.)
            auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            nameBox->clear();
            QTest::keyClicks(nameBox, QStringLiteral("no-existe.xml"));
            // A dialog that refuses the name says so in a message box of its own; the test
            // then fails instead of waiting on it.
            QTimer::singleShot(500, &dialog, [&dialog] {
                if (auto* complaint =
                        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    complaint->reject();
                }
                dialog.reject();
            });
            static_cast<QDialog&>(dialog).accept(); // as the Open button does
        });

        const auto chosen = QtWindowDialogs().chooseDocument(nullptr, start, {});

        QCOMPARE(title, QStringLiteral("Seleccionar Archivo XML obtenido de SAUCE"));
        QCOMPARE(filter, QStringLiteral("*.xml (*.xml)"));
        QCOMPARE(suffix, QStringLiteral("xml"));
        QCOMPARE(directory, start);
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, toQString(folder / "no-existe.xml"));
    }

    void theFileDialogOffersTheLastDocumentAndCanBeCancelled() {
        TempDir folder;
        std::filesystem::create_directory(folder / "otra");
        writeFile(folder / "otra" / "export.xml", "<SERVICIO/>");
        const QString last = toQString(folder / "otra" / "export.xml");
        QString directory;
        whenShown<QFileDialog>([&](QFileDialog& dialog) {
            directory = dialog.directory().absolutePath();
            dialog.reject();
        });

        const auto chosen =
            QtWindowDialogs().chooseDocument(nullptr, toQString(folder.path()), last);

        QCOMPARE(directory, toQString(folder / "otra"));
        QVERIFY(!chosen.has_value());
    }

    void messagesCarryTheApplicationTitle_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("icon");
        QTest::newRow("plain message") << QStringLiteral("message") << int(QMessageBox::NoIcon);
        QTest::newRow("warning") << QStringLiteral("warning") << int(QMessageBox::Warning);
        QTest::newRow("error report") << QStringLiteral("error") << int(QMessageBox::Critical);
    }

    void messagesCarryTheApplicationTitle() {
        QFETCH(QString, kind);
        QFETCH(int, icon);
        QString title, text;
        int shownIcon = -1;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            shownIcon = box.icon();
            box.button(QMessageBox::Ok)->click();
        });

        QtWindowDialogs dialogs;
        const QString shown = QStringLiteral("Proceso finalizado");
        if (kind == "message") {
            dialogs.showMessage(nullptr, shown);
        } else if (kind == "warning") {
            dialogs.showWarning(nullptr, shown);
        } else {
            dialogs.showError(nullptr, shown);
        }

        QCOMPARE(title, QStringLiteral("Velmora"));
        QCOMPARE(text, shown);
        QCOMPARE(shownIcon, icon);
    }

    void theNotesMessageSavesAndStaysOpenUntilAccepted() {
        const NotesMessage message{
            QStringLiteral("Proceso finalizado"),
            QStringLiteral("Hay avisos de cosas que se han cambiado o que no se han podido usar:\n"
                           "- 1 código numerado para que no se repita"),
            QStringLiteral("1 código numerado para que no se repita:\n  - Tabla PROFT, registro 2: "
                           "el código de «GARCÍA» ya se había dado a otro registro; se ha escrito "
                           "«GARCÍA1».\n")};
        QString title, text, summary, details;
        int icon = -1;
        QStringList buttons;
        bool openAfterSaving = false;
        bool closedByEnter = true;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            summary = box.informativeText();
            details = box.detailedText();
            icon = box.icon();
            for (const auto* button : box.findChildren<QPushButton*>()) {
                buttons << shownText(button->text());
            }
            auto* save = box.findChild<QPushButton*>(QStringLiteral("saveNotesButton"));
            save->click();
            save->click();
            openAfterSaving = box.isVisible();
            // Enter means OK, not one more save; a box that stays open fails the test here.
            QTimer::singleShot(500, &box, [&box, &closedByEnter] {
                closedByEnter = false;
                box.button(QMessageBox::Ok)->click();
            });
            QTest::keyClick(&box, Qt::Key_Return);
        });
        int saves = 0;
        bool savedFromTheBox = false;

        QtWindowDialogs().showNotesMessage(nullptr, message, [&](QWidget* owner) {
            ++saves;
            savedFromTheBox = qobject_cast<QMessageBox*>(owner) != nullptr;
        });

        QCOMPARE(title, QStringLiteral("Velmora"));
        QCOMPARE(text, message.text);
        QCOMPARE(summary, message.summary);
        QCOMPARE(details, message.details);
        QCOMPARE(icon, int(QMessageBox::Information));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Aceptar", "Guardar avisos...", "Mostrar los detalles..."}));
        QCOMPARE(saves, 2);
        QVERIFY(savedFromTheBox);
        QVERIFY(openAfterSaving);
        QVERIFY(closedByEnter);
    }

    void theNotesFileDialogSuggestsANameAndAddsTheExtension() {
        TempDir folder;
        QString title, suggestedName, acceptButton, directory;
        bool saving = false, qtsOwn = false;
        whenShown<QFileDialog>([&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            saving = dialog.acceptMode() == QFileDialog::AcceptSave;
            qtsOwn = dialog.testOption(QFileDialog::DontUseNativeDialog);
            directory = dialog.directory().absolutePath();
            acceptButton = shownText(
                dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->text());
            auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            suggestedName = nameBox->text();
            nameBox->clear();
            QTest::keyClicks(nameBox, QStringLiteral("avisos de hoy"));
            QTimer::singleShot(500, &dialog, [&dialog] { dialog.reject(); });
            static_cast<QDialog&>(dialog).accept(); // as the Save button does
        });

        const auto chosen =
            QtWindowDialogs().chooseNotesFile(nullptr, toQString(folder / "Avisos de Velmora.txt"));

        QCOMPARE(title, QStringLiteral("Guardar los avisos en un archivo de texto"));
        QVERIFY(saving);
        QVERIFY(qtsOwn);
        QCOMPARE(directory, toQString(folder.path()));
        QCOMPARE(suggestedName, QStringLiteral("Avisos de Velmora.txt"));
        QCOMPARE(acceptButton, QStringLiteral("Guardar"));
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, toQString(folder / "avisos de hoy.txt"));
    }
};

QTEST_MAIN(TestWindowDialogs)
#include "tst_windowdialogs.moc"
