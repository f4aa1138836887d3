// The guide built into the program: its window belongs to the window that asked for it, and
// its pages are all there and their links lead on.
#include "app/qt/HelpDesk.h"
#include "app/qt/HelpWindow.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

using namespace velmora::app;

namespace {

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
    void theGuideWindowBelongsToTheWindowItWasAskedFrom() {
        HelpDesk desk;
        QWidget mainWindow;
        auto* dialog = new QDialog(&mainWindow);
        auto* dialogControl = new QPushButton(dialog);

        desk.showGuide(&mainWindow, "ventana.html");
        QPointer<HelpWindow> first = desk.guideWindow();
        desk.showGuide(&mainWindow, "index.html");
        QCOMPARE(desk.guideWindow(), first.data());
        QCOMPARE(first->currentPage(), QUrl("qrc:/guia/index.html"));

        desk.showGuide(dialogControl, "marcos.html");
        QVERIFY(desk.guideWindow() != first);
        QCOMPARE(desk.guideWindow()->parentWidget(), static_cast<QWidget*>(dialog));
        QCOMPARE(desk.guideWindow()->currentPage(), QUrl("qrc:/guia/marcos.html"));
        // The one that belonged to the main window is closed and goes away.
        QVERIFY(first.isNull() || !first->isVisible());
        QTRY_VERIFY(first.isNull());

        // The user closes the guide: the next request opens a new one.
        desk.guideWindow()->findChild<QPushButton*>("closeButton")->click();
        QTRY_VERIFY(desk.guideWindow() == nullptr);
        desk.showGuide(dialogControl, "marcos.html");
        QVERIFY(desk.guideWindow() != nullptr && desk.guideWindow()->isVisible());
    }

    void everyGuidePageShowsAndItsLinksLeadToPages() {
        const QStringList pages = QDir(QStringLiteral(":/guia")).entryList({"*.html"});
        // The pages the windows open their help at.
        for (const char* topicPage : {"index.html", "ventana.html", "marcos.html"}) {
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
