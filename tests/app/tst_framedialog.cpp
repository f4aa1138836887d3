// The time-frame dialog drawn with Qt: the lists and labels filled from its model, the user's
// clicks and keys, and the closing check run whichever way it closes.
#include "app/qt/FrameDialog.h"
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
    explicit OpenDialog(const std::filesystem::path& document) : dialog(document) {
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

QString keys(const FrameDialog& dialog) {
    return QString::fromStdString(dialog.outcome().verdict.keys);
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
        QVERIFY(open.dialog.outcome().framesListed);
        QVERIFY(!open.dialog.findChild<QComboBox*>("currentFrame")->isVisible());
    }

    void aFileWithoutFramesToChooseFromEndsInTheOutcome() {
        std::filesystem::remove(document);
        OpenDialog open(document);
        QCOMPARE(open.frames()->count(), 0);
        QCOMPARE(open.label("frameNameLabel"), QStringLiteral("-"));
        QVERIFY(!open.dialog.outcome().framesListed);
        QVERIFY(open.dialog.outcome().readProblem.has_value());
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
        QVERIFY(open.dialog.outcome().verdict.valid);
        QCOMPARE(keys(open.dialog), QStringLiteral("MANANA    NOCHE     "));
    }

    void ctrlClickTakesALineOutAgain() {
        OpenDialog open(document);
        clickFrame(open.dialog, 0);
        clickFrame(open.dialog, 1, Qt::ControlModifier);
        clickFrame(open.dialog, 1, Qt::ControlModifier);
        QCOMPARE(open.label("frameNameLabel"), QStringLiteral("Tarde"));
        pressContinue(open.dialog);
        QVERIFY(open.dialog.outcome().verdict.valid);
        QCOMPARE(keys(open.dialog), QStringLiteral("MANANA    "));
    }

    void shiftSelectsARangeAndThreeAreTooMany() {
        OpenDialog open(document);
        clickFrame(open.dialog, 0);
        clickFrame(open.dialog, 2, Qt::ShiftModifier);
        QCOMPARE(selectedRows(open.frames()), QList<int>({0, 1, 2}));
        pressContinue(open.dialog);
        QCOMPARE(open.messages, QStringList({kTooMany}));
        QVERIFY(!open.dialog.outcome().verdict.valid);
        QVERIFY(!open.dialog.isVisible());
    }

    void closeBoxWithNothingSelected() {
        OpenDialog open(document);
        QVERIFY(open.dialog.close());
        QCOMPARE(open.messages, QStringList({kNone}));
        QVERIFY(!open.dialog.outcome().verdict.valid);
        QVERIFY(keys(open.dialog).isEmpty());
    }

    void closeBoxKeepsAValidChoice() {
        OpenDialog open(document);
        clickFrame(open.dialog, 1);
        QVERIFY(open.dialog.close());
        QVERIFY(open.messages.isEmpty());
        QVERIFY(open.dialog.outcome().verdict.valid);
        QCOMPARE(keys(open.dialog), QStringLiteral("TARDE     "));
    }

    void enterPressesContinuar() {
        OpenDialog open(document);
        clickFrame(open.dialog, 1);
        QTest::keyClick(open.frames(), Qt::Key_Return);
        QVERIFY(!open.dialog.isVisible());
        QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(keys(open.dialog), QStringLiteral("TARDE     "));
    }

    void f1AsksForTheDialogsHelp_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("focus in the frame list") << "frameList";
        QTest::newRow("focus on Continuar") << "continueButton";
        QTest::newRow("focus in the slot list") << "slotList";
    }

    void f1AsksForTheDialogsHelp() {
        QFETCH(QString, focus);
        int asked = 0;
        FrameDialog dialog(document, nullptr, [&asked] { ++asked; });
        showActive(dialog);
        dialog.findChild<QWidget*>(focus)->setFocus();

        QTest::keyClick(&dialog, Qt::Key_F1);

        QCOMPARE(asked, 1);
        // Asking for help leaves the dialog and its choice as they were.
        QVERIFY(dialog.isVisible());
        QVERIFY(selectedRows(dialog.findChild<QListWidget*>("frameList")).isEmpty());
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
