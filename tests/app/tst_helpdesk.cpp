// Help comes from the compiled help file where it is there and can be shown, and from the guide
// built into the program otherwise; the guide's pages are all there and their links lead on.
#include "app/HelpDesk.h"
#include "app/HelpWindow.h"
#include "app/PathText.h"
#include "support/TestSupport.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

using namespace velmora::app;
using velmora::testing::TempDir;
using velmora::testing::writeFile;

namespace {

// A desk whose HTML Help is recorded instead of started.
struct RecordingDesk {
    RecordingDesk(const QString& compiledHelpFile, bool viewerStarts)
        : desk(compiledHelpFile,
               [this, viewerStarts](const QString& program, const QStringList& arguments) {
                   started << (QStringList{program} + arguments);
                   return viewerStarts;
               }) {}

    QList<QStringList> started; // program, then its arguments
    HelpDesk desk;
};

QString guideText(const QString& page) {
    QFile file(QStringLiteral(":/guia/") + page);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestHelpDesk : public QObject {
    Q_OBJECT
private slots:
    void eachRequestGoesToTheCompiledHelpOrTheGuide_data() {
        QTest::addColumn<QString>("compiledHelp"); // "not given", "missing" or "present"
        QTest::addColumn<bool>("viewerStarts");
        QTest::addColumn<bool>("contents");
        QTest::addColumn<QStringList>("expectedStart"); // FILE stands for the help file
        QTest::addColumn<QString>("expectedPage");      // empty: no guide shown

        QTest::newRow("compiled help at the topic's context")
            << "present" << true << false << QStringList{"hh.exe", "-mapid", "3", "FILE"}
            << QString();
        QTest::newRow("compiled help's contents")
            << "present" << true << true << QStringList{"hh.exe", "FILE"} << QString();
        QTest::newRow("HTML Help does not start: the guide")
            << "present" << false << false << QStringList{"hh.exe", "-mapid", "3", "FILE"}
            << "marcos.html";
        QTest::newRow("help file missing: the guide at the topic's page")
            << "missing" << true << false << QStringList{} << "marcos.html";
        QTest::newRow("no help file given: the guide's contents")
            << "not given" << true << true << QStringList{} << "index.html";
    }

    void eachRequestGoesToTheCompiledHelpOrTheGuide() {
        QFETCH(QString, compiledHelp);
        QFETCH(bool, viewerStarts);
        QFETCH(bool, contents);
        QFETCH(QStringList, expectedStart);
        QFETCH(QString, expectedPage);
        TempDir folder;
        const QString file = toQString(folder / "SAUCE.chm");
        if (compiledHelp == "present") {
            writeFile(folder / "SAUCE.chm", "ITSF");
        }
        RecordingDesk recording(compiledHelp == "not given" ? QString() : file, viewerStarts);
        QDialog owner;
        auto* control = new QPushButton(&owner);

        contents ? recording.desk.showContents(control)
                 : recording.desk.showTopic(control, frameDialogHelp);

        expectedStart.replaceInStrings("FILE", file);
        QCOMPARE(recording.started, expectedStart.isEmpty() ? QList<QStringList>{}
                                                            : QList<QStringList>{expectedStart});
        HelpWindow* guide = recording.desk.guideWindow();
        if (expectedPage.isEmpty()) {
            QVERIFY(guide == nullptr);
        } else {
            QVERIFY(guide != nullptr);
            QVERIFY(guide->isVisible());
            QCOMPARE(guide->parentWidget(), static_cast<QWidget*>(&owner));
            QCOMPARE(guide->currentPage(), QUrl("qrc:/guia/" + expectedPage));
        }
    }

    void theGuideWindowBelongsToTheWindowItWasAskedFrom() {
        HelpDesk desk;
        QWidget mainWindow;
        auto* dialog = new QDialog(&mainWindow);
        auto* dialogControl = new QPushButton(dialog);

        desk.showTopic(&mainWindow, mainWindowHelp);
        QPointer<HelpWindow> first = desk.guideWindow();
        desk.showContents(&mainWindow);
        QCOMPARE(desk.guideWindow(), first.data());
        QCOMPARE(first->currentPage(), QUrl("qrc:/guia/index.html"));

        desk.showTopic(dialogControl, frameDialogHelp);
        QVERIFY(desk.guideWindow() != first);
        QCOMPARE(desk.guideWindow()->parentWidget(), static_cast<QWidget*>(dialog));
        QCOMPARE(desk.guideWindow()->currentPage(), QUrl("qrc:/guia/marcos.html"));
        // The one that belonged to the main window is closed and goes away.
        QVERIFY(first.isNull() || !first->isVisible());
        QTRY_VERIFY(first.isNull());

        // The user closes the guide: the next request opens a new one.
        desk.guideWindow()->findChild<QPushButton*>("closeButton")->click();
        QTRY_VERIFY(desk.guideWindow() == nullptr);
        desk.showTopic(dialogControl, frameDialogHelp);
        QVERIFY(desk.guideWindow() != nullptr && desk.guideWindow()->isVisible());
    }

    void everyGuidePageShowsAndItsLinksLeadToPages() {
        const QStringList pages = QDir(QStringLiteral(":/guia")).entryList({"*.html"});
        for (const QString& topicPage :
             {guideContentsPage, mainWindowHelp.guidePage, frameDialogHelp.guidePage}) {
            QVERIFY2(pages.contains(topicPage), qPrintable(topicPage));
        }
        const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(#[^\"]*)?\""));
        for (const QString& page : pages) {
            QTextBrowser browser;
            browser.setSource(QUrl("qrc:/guia/" + page));
            QVERIFY2(!browser.documentTitle().isEmpty(), qPrintable(page));
            QVERIFY2(browser.toPlainText().size() > 200, qPrintable(page));
            for (const auto& match : link.globalMatch(guideText(page))) {
                const QString target = match.captured(1);
                QVERIFY2(QFile::exists(":/guia/" + target),
                         qPrintable(page + " links to a missing page: " + target));
            }
        }
    }
};

QTEST_MAIN(TestHelpDesk)
#include "tst_helpdesk.moc"
