#include "app/DialogFrameChooser.h"
#include "app/FrameDialog.h"
#include "app/HelpDesk.h"
#include "app/HelpWindow.h"
#include "app/PathText.h"
#include "services/Error.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace velmora::app;
using velmora::testing::SauceRecordValues;
using velmora::testing::sauceXml;
using velmora::testing::TempDir;
using velmora::testing::writeFile;

namespace {

SauceRecordValues slot(const std::string& order, const std::string& name, const std::string& start,
                       const std::string& end, const std::string& frame) {
    return {"dato=CODIGO_SAUCE|C" + order, "dato=NOMBRE|" + name,
            "dato=INICIO|" + start,        "dato=FIN|" + end,
            "dato=ORDEN|" + order,         "dato=CLAVE_JORNADA|" + frame};
}

std::string threeFrames() {
    return sauceXml({{"JORNADAS",
                      {{"MANANA", "Mañana", "01/09/2026"},
                       {"TARDE", "Tarde", "15/09/2026"},
                       {"NOCHE", "Nocturno de adultos", "30/09/2026"}}},
                     {"INTERVALOS",
                      {slot("1", "Primera", "08:00", "08:55", "MANANA"),
                       slot("1", "Sexta", "15:00", "15:55", "TARDE"),
                       slot("2", "Segunda", "08:55", "09:50", "MANANA"),
                       slot("3", "Tercera", "09:50", "10:45", "MANANA")}}});
}

QStringList lines(const QListWidget* list) {
    QStringList out;
    for (int row = 0; row < list->count(); ++row) {
        out << list->item(row)->text();
    }
    return out;
}

QList<int> selectedRows(const QListWidget* list) {
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) {
            rows << row;
        }
    }
    return rows;
}

// A dialog shown as the window would show it, with its messages captured instead of shown.
class OpenDialog {
public:
    explicit OpenDialog(const std::filesystem::path& document)
        : dialog(QString::fromStdString(document.string())) {
        capture(dialog, messages);
        dialog.show();
    }

    static void capture(FrameDialog& dialog, QStringList& messages) {
        dialog.setMessageHook([&messages](QWidget*, const QString& text) { messages << text; });
    }

    QListWidget* frames() { return dialog.findChild<QListWidget*>("frameList"); }
    QListWidget* slotList() { return dialog.findChild<QListWidget*>("slotList"); }
    QString label(const char* name) { return dialog.findChild<QLabel*>(name)->text(); }

    FrameDialog dialog;
    QStringList messages;
};

// Shown and active, as a dialog the user works in; F1 reaches only the active window.
void showActive(FrameDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    if (!QTest::qWaitForWindowActive(&dialog)) {
        qFatal("the dialog did not become active");
    }
}

void clickFrame(FrameDialog& dialog, int row, Qt::KeyboardModifiers modifiers = {}) {
    auto* list = dialog.findChild<QListWidget*>("frameList");
    list->scrollToItem(list->item(row));
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

void pressContinue(FrameDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>("continueButton"), Qt::LeftButton);
}

const QString kTooMany = QString::fromUtf8("Demasiados Marcos Horarios seleccionados.\r\nComo "
                                           "máximo puede seleccionar 2 Marcos Horarios");
const QString kNone = QStringLiteral("Debe al menos seleccionar 1 Marco Horario.");

} // namespace

class TestFrameDialog : public QObject {
    Q_OBJECT

private:
    TempDir folder;
    std::filesystem::path document = folder / "marcos.xml";

private slots:
    void init() { writeFile(document, threeFrames()); }

    void opensWithTheFirstFrameShownAndNothingSelected() {
        OpenDialog open(document);
        QCOMPARE(lines(open.frames()), QStringList({"MANANA", "TARDE", "NOCHE"}));
        QVERIFY(selectedRows(open.frames()).isEmpty());
        QCOMPARE(open.label("frameNameLabel"), QString::fromUtf8("Mañana"));
        QCOMPARE(open.label("frameDateLabel"), QStringLiteral("01/09/2026"));
        QCOMPARE(open.label("secondDateLabel"), QStringLiteral("-"));
        QCOMPARE(
            lines(open.slotList()),
            QStringList({"1-Primera-08:00-08:5", "2-Segunda-08:55-09:5", "3-Tercera-09:50-10:4"}));
        QVERIFY(open.dialog.framesListed());
        QVERIFY(!open.dialog.findChild<QComboBox*>("currentFrame")->isVisible());
    }

    void windowLooksAsDesigned() {
        OpenDialog open(document);
        FrameDialog& dialog = open.dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Planillas, Marcos o Jornadas Horarias"));
        QCOMPARE(dialog.size(), QSize(370, 282));
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(open.frames()->geometry(), QRect(16, 103, 127, 45));
        QCOMPARE(open.slotList()->geometry(), QRect(152, 103, 193, 146));
        QCOMPARE(open.frames()->selectionMode(), QAbstractItemView::ExtendedSelection);
        auto* continuar = dialog.findChild<QPushButton*>("continueButton");
        QCOMPARE(continuar->geometry(), QRect(255, 253, 89, 25));
        QVERIFY(continuar->isDefault());
        QCOMPARE(continuar->property("helpContext").toInt(), 3);
        auto* nombre = dialog.findChild<QLabel*>("frameNameLabel");
        QCOMPARE(nombre->palette().color(QPalette::WindowText), QColor("#800000"));
        QVERIFY(nombre->font().underline());
        QCOMPARE(
            dialog.findChild<QLabel*>("multipleChoiceHint")->palette().color(QPalette::WindowText),
            QColor(Qt::red));
    }

    void clickedFrameBecomesTheShownOne() {
        OpenDialog open(document);
        clickFrame(open.dialog, 1);
        QCOMPARE(open.label("frameNameLabel"), QStringLiteral("Tarde"));
        QCOMPARE(open.label("frameDateLabel"), QStringLiteral("15/09/2026"));
        QCOMPARE(lines(open.slotList()), QStringList({"1-Sexta-15:00-15:55"}));
        clickFrame(open.dialog, 2);
        QCOMPARE(open.label("frameNameLabel"), QStringLiteral("Nocturno de adultos"));
        QVERIFY(lines(open.slotList()).isEmpty());
        QCOMPARE(selectedRows(open.frames()), QList<int>({2}));
        // The keyboard moves the line too.
        QTest::keyClick(open.frames(), Qt::Key_Up);
        QCOMPARE(selectedRows(open.frames()), QList<int>({1}));
        QCOMPARE(open.label("frameNameLabel"), QStringLiteral("Tarde"));
    }

    void twoFramesByCtrlComeBackInListOrder() {
        OpenDialog open(document);
        clickFrame(open.dialog, 2);
        clickFrame(open.dialog, 0, Qt::ControlModifier);
        QCOMPARE(selectedRows(open.frames()), QList<int>({0, 2}));
        QCOMPARE(open.label("frameNameLabel"), QString::fromUtf8("Mañana"));
        pressContinue(open.dialog);
        QVERIFY(!open.dialog.isVisible());
        QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
        QVERIFY(open.messages.isEmpty());
        QVERIFY(open.dialog.choiceIsValid());
        QCOMPARE(open.dialog.chosenKeys(), QStringLiteral("MANANA    NOCHE     "));
    }

    void ctrlClickTakesALineOutAgain() {
        OpenDialog open(document);
        clickFrame(open.dialog, 0);
        clickFrame(open.dialog, 1, Qt::ControlModifier);
        clickFrame(open.dialog, 1, Qt::ControlModifier);
        QCOMPARE(open.label("frameNameLabel"), QStringLiteral("Tarde"));
        pressContinue(open.dialog);
        QVERIFY(open.dialog.choiceIsValid());
        QCOMPARE(open.dialog.chosenKeys(), QStringLiteral("MANANA    "));
    }

    void shiftSelectsARangeAndThreeAreTooMany() {
        OpenDialog open(document);
        clickFrame(open.dialog, 0);
        clickFrame(open.dialog, 2, Qt::ShiftModifier);
        QCOMPARE(selectedRows(open.frames()), QList<int>({0, 1, 2}));
        pressContinue(open.dialog);
        QCOMPARE(open.messages, QStringList({kTooMany}));
        QVERIFY(!open.dialog.choiceIsValid());
        QVERIFY(!open.dialog.isVisible());
    }

    void closeBoxWithNothingSelected() {
        OpenDialog open(document);
        QVERIFY(open.dialog.close());
        QCOMPARE(open.messages, QStringList({kNone}));
        QVERIFY(!open.dialog.choiceIsValid());
        QVERIFY(open.dialog.chosenKeys().isEmpty());
    }

    void closeBoxKeepsAValidChoice() {
        OpenDialog open(document);
        clickFrame(open.dialog, 1);
        QVERIFY(open.dialog.close());
        QVERIFY(open.messages.isEmpty());
        QVERIFY(open.dialog.choiceIsValid());
        QCOMPARE(open.dialog.chosenKeys(), QStringLiteral("TARDE     "));
    }

    void enterPressesContinuar() {
        OpenDialog open(document);
        clickFrame(open.dialog, 1);
        QTest::keyClick(open.frames(), Qt::Key_Return);
        QVERIFY(!open.dialog.isVisible());
        QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(open.dialog.chosenKeys(), QStringLiteral("TARDE     "));
    }

    void chooserShowsAFreshDialogAfterARejectedChoice() {
        QStringList messages;
        QList<FrameDialog*> shown;
        DialogFrameChooser chooser(nullptr, QString::fromStdString(document.string()), nullptr,
                                   [&](FrameDialog& dialog) {
                                       OpenDialog::capture(dialog, messages);
                                       shown << &dialog;
                                       dialog.show();
                                       auto* list = dialog.findChild<QListWidget*>("frameList");
                                       QVERIFY(selectedRows(list).isEmpty());
                                       if (shown.size() == 1) {
                                           clickFrame(dialog, 0);
                                           clickFrame(dialog, 2, Qt::ShiftModifier);
                                           pressContinue(dialog);
                                       } else if (shown.size() == 2) {
                                           QVERIFY(dialog.close());
                                       } else {
                                           clickFrame(dialog, 2);
                                           clickFrame(dialog, 1, Qt::ControlModifier);
                                           pressContinue(dialog);
                                       }
                                   });
        QCOMPARE(QString::fromStdString(chooser.chooseFrames(document, velmora::FrameListing())),
                 QStringLiteral("TARDE     NOCHE     "));
        QCOMPARE(shown.size(), 3);
        QCOMPARE(messages, QStringList({kTooMany, kNone}));
    }

    void chooserReadsTheRunsDocumentWhenGivenNoFileName() {
        DialogFrameChooser chooser(nullptr, QString(), nullptr, [](FrameDialog& dialog) {
            dialog.show();
            clickFrame(dialog, 2);
            pressContinue(dialog);
        });
        QCOMPARE(QString::fromStdString(chooser.chooseFrames(document, velmora::FrameListing())),
                 QStringLiteral("NOCHE     "));
    }

    void chooserStopsWhenTheFileOffersNothingToChoose_data() {
        QTest::addColumn<QString>("content"); // empty: the file is removed
        QTest::addColumn<bool>("changedWhileOpening");
        QTest::newRow("missing") << QString() << false;
        QTest::newRow("not XML") << QStringLiteral("<SERVICIO>") << false;
        QTest::newRow("one frame")
            << QString::fromStdString(sauceXml({{"JORNADAS", {{"M1", "Mañana"}}}})) << false;
        QTest::newRow("removed meanwhile") << QString() << true;
        QTest::newRow("changed meanwhile") << QStringLiteral("<SERVICIO/>") << true;
    }

    void chooserStopsWhenTheFileOffersNothingToChoose() {
        QFETCH(QString, content);
        QFETCH(bool, changedWhileOpening);
        const auto spoil = [&] {
            if (content.isEmpty()) {
                std::filesystem::remove(document);
            } else {
                writeFile(document, content.toStdString());
            }
        };
        if (!changedWhileOpening) {
            spoil();
        }
        int shown = 0;
        QStringList messages;
        DialogFrameChooser chooser(nullptr, QString::fromStdString(document.string()), nullptr,
                                   [&](FrameDialog& dialog) {
                                       ++shown;
                                       OpenDialog::capture(dialog, messages);
                                       spoil();
                                       dialog.show();
                                       pressContinue(dialog);
                                   });
        try {
            chooser.chooseFrames(document, velmora::FrameListing());
            QFAIL("a choice came back");
        } catch (const velmora::Error& error) {
            QCOMPARE(error.details().file, document);
        }
        QCOMPARE(shown, changedWhileOpening ? 1 : 0);
    }

    void f1OpensTheHelpAtTheDialogsTopic_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("compiledHelp"); // SAUCE.chm there
        QTest::newRow("guide, focus in the frame list") << "frameList" << false;
        QTest::newRow("guide, focus on Continuar") << "continueButton" << false;
        QTest::newRow("compiled help, focus in the slot list") << "slotList" << true;
    }

    void f1OpensTheHelpAtTheDialogsTopic() {
        QFETCH(QString, focus);
        QFETCH(bool, compiledHelp);
        TempDir programFolder;
        const QString helpFile = toQString(programFolder / "SAUCE.chm");
        if (compiledHelp) {
            writeFile(programFolder / "SAUCE.chm", "ITSF");
        }
        QList<QStringList> started;
        auto help = std::make_shared<HelpDesk>(
            helpFile, [&started](const QString& program, const QStringList& arguments) {
                started << (QStringList{program} + arguments);
                return true;
            });
        FrameDialog dialog(toQString(document), nullptr, help);
        showActive(dialog);
        dialog.findChild<QWidget*>(focus)->setFocus();

        QTest::keyClick(&dialog, Qt::Key_F1);

        if (compiledHelp) {
            QCOMPARE(started, (QList<QStringList>{{"hh.exe", "-mapid", "3", helpFile}}));
            QVERIFY(help->guideWindow() == nullptr);
        } else {
            QVERIFY(started.isEmpty());
            QVERIFY(help->guideWindow() != nullptr);
            QCOMPARE(help->guideWindow()->parentWidget(), static_cast<QWidget*>(&dialog));
            QCOMPARE(help->guideWindow()->currentPage(), QUrl("qrc:/guia/marcos.html"));
        }
        // Asking for help leaves the dialog and its choice as they were.
        QVERIFY(dialog.isVisible());
        QVERIFY(selectedRows(dialog.findChild<QListWidget*>("frameList")).isEmpty());
    }

    void theChoosersDialogsAnswerF1WithItsHelp() {
        auto help = std::make_shared<HelpDesk>();
        QUrl shownPage;
        QWidget* helpOwner = nullptr;
        DialogFrameChooser chooser(nullptr, toQString(document), help, [&](FrameDialog& dialog) {
            showActive(dialog);
            QTest::keyClick(&dialog, Qt::Key_F1);
            if (help->guideWindow() != nullptr) {
                shownPage = help->guideWindow()->currentPage();
                helpOwner = help->guideWindow()->parentWidget();
            }
            clickFrame(dialog, 1);
            pressContinue(dialog);
            QVERIFY(helpOwner == &dialog);
        });

        QCOMPARE(QString::fromStdString(chooser.chooseFrames(document, velmora::FrameListing())),
                 QStringLiteral("TARDE     "));
        QCOMPARE(shownPage, QUrl("qrc:/guia/marcos.html"));
    }

    // Only when asked: VELMORA_FRAME_DIALOG_SCREENSHOT=file.png saves a picture of the dialog.
    void screenshot() {
        const QString file = qEnvironmentVariable("VELMORA_FRAME_DIALOG_SCREENSHOT");
        if (file.isEmpty()) {
            QSKIP("VELMORA_FRAME_DIALOG_SCREENSHOT not set");
        }
        OpenDialog open(document);
        QVERIFY(QTest::qWaitForWindowExposed(&open.dialog));
        clickFrame(open.dialog, 0);
        clickFrame(open.dialog, 1, Qt::ControlModifier);
        QTest::qWait(200);
        QVERIFY(open.dialog.grab().save(file));
    }
};

QTEST_MAIN(TestFrameDialog)
#include "tst_framedialog.moc"
