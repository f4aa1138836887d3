// What each of the presenter's calls shows in the Qt window: the real dialogs and message
// boxes, answered from a timer as a user would answer them.
#include "app/qt/FrameDialog.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/MainWindow.h"
#include "app/qt/PathText.h"
#include "app/qt/QtTranslation.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

std::string twoFrames() {
    return velmora::testing::sauceXml({{"JORNADAS", {{"M1", "Mañana"}, {"T1", "Tarde"}}}});
}

} // namespace

class TestWindowDialogs : public QObject {
    Q_OBJECT
private slots:
    // As the program does at start-up.
    void initTestCase() {
        QVERIFY(useQtSpanishTranslation(*qApp));
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void qtsOwnTextsInTheDialogsAreSpanish() {
        TempDir folder;
        MainWindow window({});
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
        window.chooseDocument(folder.path(), {});

        QString okButton;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            okButton = shownText(box.button(QMessageBox::Ok)->text());
            box.button(QMessageBox::Ok)->click();
        });
        window.showMessage("Proceso finalizado");

        QCOMPARE(fileDialogTexts, (QStringList{"Abrir", "Cancelar", "Ver en:", "Nombre de fichero:",
                                               "Ficheros de tipo:"}));
        QCOMPARE(okButton, QStringLiteral("Aceptar"));
    }

    void theFileDialogReturnsATypedNameOfAMissingFile() {
        TempDir folder;
        MainWindow window({});
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

        const auto chosen = window.chooseDocument(folder.path(), {});

        QCOMPARE(title, QStringLiteral("Seleccionar Archivo XML obtenido de SAUCE"));
        QCOMPARE(filter, QStringLiteral("*.xml (*.xml)"));
        QCOMPARE(suffix, QStringLiteral("xml"));
        QCOMPARE(directory, toQString(folder.path()));
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, folder / "no-existe.xml");
    }

    void theFileDialogOffersTheLastDocumentAndCanBeCancelled() {
        TempDir folder;
        MainWindow window({});
        std::filesystem::create_directory(folder / "otra");
        writeFile(folder / "otra" / "export.xml", "<SERVICIO/>");
        QString directory, offered;
        whenShown<QFileDialog>([&](QFileDialog& dialog) {
            directory = dialog.directory().absolutePath();
            offered = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            dialog.reject();
        });

        const auto chosen = window.chooseDocument(folder.path(), folder / "otra" / "export.xml");

        QCOMPARE(directory, toQString(folder / "otra"));
        QCOMPARE(offered, QStringLiteral("export.xml"));
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
        MainWindow window({});
        QString title, text;
        int shownIcon = -1;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            shownIcon = box.icon();
            box.button(QMessageBox::Ok)->click();
        });

        const std::string shown = "No se puede leer el archivo \"<b>año</b>.xml\".";
        if (kind == "message") {
            window.showMessage(shown);
        } else if (kind == "warning") {
            window.showWarning(shown);
        } else {
            window.showError(shown);
        }

        QCOMPARE(title, QStringLiteral("Velmora"));
        QCOMPARE(text, QString::fromStdString(shown));
        QCOMPARE(shownIcon, icon);
    }

    void theNotesMessageSavesAndStaysOpenUntilAccepted() {
        MainWindow window({});
        const NotesMessage message{
            "Proceso finalizado",
            "Hay avisos de cosas que se han cambiado o que no se han podido usar:\n"
            "- 1 código numerado para que no se repita",
            "1 código numerado para que no se repita:\n  - Tabla PROFT, registro 2: el código de "
            "«GARCÍA» ya se había dado a otro registro; se ha escrito «GARCÍA1».\n"};
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

        window.showNotes(message, [&] {
            ++saves;
            savedFromTheBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        });

        QCOMPARE(title, QStringLiteral("Velmora"));
        QCOMPARE(text, QString::fromStdString(message.text));
        QCOMPARE(summary, QString::fromStdString(message.summary));
        QCOMPARE(details, QString::fromStdString(message.details));
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
        MainWindow window({});
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

        const auto chosen = window.chooseNotesFile(folder / "Avisos de Velmora.txt");

        QCOMPARE(title, QStringLiteral("Guardar los avisos en un archivo de texto"));
        QVERIFY(saving);
        QVERIFY(qtsOwn);
        QCOMPARE(directory, toQString(folder.path()));
        QCOMPARE(suggestedName, QStringLiteral("Avisos de Velmora.txt"));
        QCOMPARE(acceptButton, QStringLiteral("Guardar"));
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, folder / "avisos de hoy.txt");
    }

    void theFrameQuestionShowsTheFrameDialogOverTheDocument() {
        TempDir folder;
        writeFile(folder / "marcos.xml", twoFrames());
        MainWindow window({});
        QStringList listed;
        QString caption;
        bool overTheWindow = false;
        whenShown<FrameDialog>([&](FrameDialog& dialog) {
            caption = dialog.windowTitle();
            overTheWindow = dialog.parentWidget() == &window;
            auto* list = dialog.findChild<QListWidget*>("frameList");
            for (int row = 0; row < list->count(); ++row) {
                listed << list->item(row)->text();
            }
            list->item(1)->setSelected(true);
            dialog.accept();
        });

        const FrameDialogOutcome outcome = window.chooseFrames(folder / "marcos.xml");

        QCOMPARE(caption, QStringLiteral("Planillas, Marcos o Jornadas Horarias"));
        QVERIFY(overTheWindow);
        QCOMPARE(listed, (QStringList{"M1", "T1"}));
        QVERIFY(outcome.framesListed);
        QVERIFY(outcome.verdict.valid);
        QCOMPARE(QString::fromStdString(outcome.verdict.keys), QStringLiteral("T1        "));
    }

    void theRunButtonsFollowThePresenter() {
        MainWindow window({});
        auto* convert = window.findChild<QPushButton*>("convertButton");
        auto* results = window.findChild<QPushButton*>("resultsButton");
        window.enableRuns(false);
        QVERIFY(!convert->isEnabled() && !results->isEnabled());
        window.enableRuns(true);
        QVERIFY(convert->isEnabled() && results->isEnabled());
    }

    void theHourGlassShowsOverTheWholeApplicationWhileBusy() {
        {
            MainWindow window({});
            window.setBusy(true);
            window.setBusy(true);
            QVERIFY(QApplication::overrideCursor() != nullptr);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            window.setBusy(false);
            QVERIFY(QApplication::overrideCursor() == nullptr);
            window.setBusy(true);
        }
        // A window that goes while busy leaves the ordinary pointer.
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void theGuideOpensAtThePageOverTheWindowThatAsked() {
        auto help = std::make_shared<HelpDesk>();
        MainWindow window({}, help);
        window.showGuide("ventana.html");
        QVERIFY(help->guideWindow() != nullptr);
        QCOMPARE(help->guideWindow()->parentWidget(), static_cast<QWidget*>(&window));
        QCOMPARE(help->guideWindow()->currentPage(), QUrl("qrc:/guia/ventana.html"));

        // Asked while a dialog is modal, the guide belongs to that dialog.
        QWidget* owner = nullptr;
        QUrl page;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            window.showGuide("marcos.html");
            owner = help->guideWindow()->parentWidget();
            page = help->guideWindow()->currentPage();
            box.button(QMessageBox::Ok)->click();
        });
        window.showMessage("Proceso finalizado");
        QVERIFY(owner != nullptr && owner != &window);
        QCOMPARE(page, QUrl("qrc:/guia/marcos.html"));
    }

    void theCompiledHelpStartsHtmlHelpAtTheContext_data() {
        QTest::addColumn<int>("context");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QStringList>("expected"); // FILE stands for the help file
        QTest::newRow("a topic") << 3 << true << QStringList{"hh.exe", "-mapid", "3", "FILE"};
        QTest::newRow("the contents") << 0 << true << QStringList{"hh.exe", "FILE"};
        QTest::newRow("a viewer that does not start")
            << 3 << false << QStringList{"hh.exe", "-mapid", "3", "FILE"};
    }

    void theCompiledHelpStartsHtmlHelpAtTheContext() {
        QFETCH(int, context);
        QFETCH(bool, starts);
        QFETCH(QStringList, expected);
        TempDir folder;
        QList<QStringList> started;
        auto help = std::make_shared<HelpDesk>(
            [&started, starts](const QString& program, const QStringList& arguments) {
                started << (QStringList{program} + arguments);
                return starts;
            });
        MainWindow window({}, help);

        QCOMPARE(window.showCompiledHelp(folder / "SAUCE.chm", context), starts);

        expected.replaceInStrings("FILE", toQString(folder / "SAUCE.chm"));
        QCOMPARE(started, QList<QStringList>{expected});
        QVERIFY(help->guideWindow() == nullptr);
    }

    void closingHidesTheWindow() {
        MainWindow window({});
        window.show();
        window.close();
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestWindowDialogs)
#include "tst_windowdialogs.moc"
