// The help is shown by whatever viewer the machine has, and a missing file or viewer is said.
#include "app/HelpViewer.h"
#include "support/TestSupport.h"

#include <QTest>

using namespace velmora::app;
using velmora::testing::TempDir;
using velmora::testing::writeFile;

namespace {

// A machine with the given viewers installed; records what would have been started.
struct FakeMachine {
    explicit FakeMachine(QStringList viewers, bool desktopCanOpen = true)
        : installed(std::move(viewers)), desktopOpens(desktopCanOpen) {}

    QStringList installed;
    bool desktopOpens;
    QList<QStringList> started; // program, then its arguments
    QList<QUrl> opened;
    QStringList problems;

    HelpViewer viewerFor(const QString& helpFile) {
        HelpViewer::Launcher launcher{[this](const QString& program) {
                                          return installed.contains(program) ? "/usr/bin/" + program
                                                                             : QString();
                                      },
                                      [this](const QString& program, const QStringList& arguments) {
                                          started << (QStringList{program} + arguments);
                                          return true;
                                      },
                                      [this](const QUrl& url) {
                                          opened << url;
                                          return desktopOpens;
                                      }};
        return HelpViewer(
            helpFile, [this](const QString& text) { problems << text; }, launcher);
    }
};

} // namespace

class TestHelpViewer : public QObject {
    Q_OBJECT
private slots:
    void aMissingHelpFileIsReportedAndNothingStarts() {
        TempDir folder;
        const QString helpFile = QString::fromStdString((folder / "SAUCE.chm").string());
        FakeMachine machine({"xchm"});
        HelpViewer help = machine.viewerFor(helpFile);

        help.showContext(3);
        help.showContents();

        QCOMPARE(machine.problems.size(), 2);
        QVERIFY2(machine.problems.first().contains("SAUCE.chm"),
                 qPrintable(machine.problems.first()));
        QVERIFY(machine.started.isEmpty());
        QVERIFY(machine.opened.isEmpty());
    }

#ifndef _WIN32
    void eachRequestGoesToTheBestViewerInstalled_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<bool>("contents");
        QTest::addColumn<QStringList>("expectedStart"); // empty: the desktop's opener
        QTest::newRow("xchm opens topic 3") << QStringList{"kchmviewer", "xchm"} << false
                                            << QStringList{"/usr/bin/xchm", "-c", "3", "FILE"};
        QTest::newRow("xchm opens the contents")
            << QStringList{"xchm"} << true << QStringList{"/usr/bin/xchm", "FILE"};
        QTest::newRow("kchmviewer opens the file for a topic")
            << QStringList{"kchmviewer"} << false << QStringList{"/usr/bin/kchmviewer", "FILE"};
        QTest::newRow("no CHM viewer: the desktop opens the file")
            << QStringList{} << true << QStringList{};
    }

    void eachRequestGoesToTheBestViewerInstalled() {
        QFETCH(QStringList, installed);
        QFETCH(bool, contents);
        QFETCH(QStringList, expectedStart);
        TempDir folder;
        writeFile(folder / "SAUCE.chm", "ITSF");
        const QString helpFile = QString::fromStdString((folder / "SAUCE.chm").string());
        FakeMachine machine(installed);
        HelpViewer help = machine.viewerFor(helpFile);

        contents ? help.showContents() : help.showContext(3);

        QVERIFY(machine.problems.isEmpty());
        if (expectedStart.isEmpty()) {
            QVERIFY(machine.started.isEmpty());
            QCOMPARE(machine.opened, QList<QUrl>{QUrl::fromLocalFile(helpFile)});
        } else {
            expectedStart.replaceInStrings("FILE", helpFile);
            QCOMPARE(machine.started, QList<QStringList>{expectedStart});
            QVERIFY(machine.opened.isEmpty());
        }
    }
#endif

    void noViewerAtAllIsReported() {
        TempDir folder;
        writeFile(folder / "SAUCE.chm", "ITSF");
        FakeMachine machine({}, false);
        HelpViewer help =
            machine.viewerFor(QString::fromStdString((folder / "SAUCE.chm").string()));

        help.showContents();

        QCOMPARE(machine.problems.size(), 1);
        QVERIFY2(machine.problems.first().contains("SAUCE.chm"),
                 qPrintable(machine.problems.first()));
    }
};

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
