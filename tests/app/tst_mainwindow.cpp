// The Qt main window as a face: its controls where and what they should be, and every click,
// key and show passed on to the presenter. What the presenter then decides is tested with the
// presenter; here its questions are answered from a script.
#include "app/qt/MainWindow.h"
#include "app/qt/PathText.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <deque>

using namespace velmora::app;
using velmora::testing::readFile;
using velmora::testing::TempDir;
using velmora::testing::writeFile;

namespace {

// The real window with its modal questions answered from a script, so that no test waits on a
// modal loop. It notes every question and message the presenter asked of it.
class ScriptedWindow : public MainWindow {
public:
    using MainWindow::MainWindow;

    std::deque<std::optional<std::filesystem::path>> documents; // cancelled once used up
    QStringList asked;

    std::optional<std::filesystem::path> chooseDocument(const std::filesystem::path&,
                                                        const std::filesystem::path&) override {
        asked << QStringLiteral("document");
        if (documents.empty()) {
            return std::nullopt;
        }
        auto answer = documents.front();
        documents.pop_front();
        return answer;
    }
    void showMessage(const std::string& text) override {
        asked << "message " + QString::fromStdString(text);
    }
    void showError(const std::string& text) override {
        asked << "error " + QString::fromStdString(text);
    }
    bool showCompiledHelp(const std::filesystem::path& helpFile, int context) override {
        asked << "compiled help " + toQString(helpFile.filename()) + " " + QString::number(context);
        return true;
    }
    void showGuide(const std::string& page) override {
        asked << "guide " + QString::fromStdString(page);
    }
};

// A program folder, an exchange folder with a document, and runs that only note their start.
struct Scene {
    TempDir home;
    std::filesystem::path document = home / "export.xml";
    std::filesystem::path ini = home / "Horadia.ini";
    QStringList runs;

    Scene() { writeFile(document, "<SERVICIO/>"); }

    std::unique_ptr<ScriptedWindow> window(std::vector<std::string> arguments) {
        WindowSetup setup;
        setup.arguments = std::move(arguments);
        setup.iniFile = ini;
        setup.exchangeFolder = home.path();
        setup.compiledHelpFile = home / "SAUCE.chm";
        setup.runs.convert = [this](const std::filesystem::path&, velmora::FrameChooser&) {
            runs << QStringLiteral("convert");
            return velmora::RunNotes();
        };
        setup.runs.results = [this](const std::filesystem::path&) {
            runs << QStringLiteral("results");
            return velmora::RunNotes();
        };
        return std::make_unique<ScriptedWindow>(std::move(setup));
    }
};

// Shows the window and lets its first-shown step (and a run it starts) happen.
void showAndSettle(QWidget& window) {
    window.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QPushButton* button(QWidget& window, const char* name) {
    auto* found = window.findChild<QPushButton*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("the window has no button %s", name);
    }
    return found;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void windowLooksAsDesigned() {
        MainWindow window({});
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("Exportar e importar datos entre Horadia y Sauce "));
        QCOMPARE(window.size(), QSize(632, 266));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.property("helpContext").toInt(), 3);
        QCOMPARE(window.font().pixelSize(), 11);

        struct Placed {
            const char* name;
            const char* panel;
            QRect geometry;
            const char* text;
        };
        const Placed placed[] = {
            {"conversionPanel", "mainWindow", {0, 0, 315, 169}, nullptr},
            {"resultsPanel", "mainWindow", {316, 0, 317, 169}, nullptr},
            {"bottomPanel", "mainWindow", {0, 168, 633, 97}, nullptr},
            {"conversionTitle",
             "conversionPanel",
             {24, 24, 265, 57},
             "Transformar datos desde Sauce hacia Horadia "},
            {"convertButton", "conversionPanel", {96, 120, 89, 25}, "OK"},
            {"resultsTitle",
             "resultsPanel",
             {8, 24, 305, 57},
             "Transformar datos desde Horadia hacia Sauce"},
            {"resultsButton", "resultsPanel", {96, 120, 89, 25}, "OK"},
            {"quitButton", "bottomPanel", {256, 32, 89, 25}, "&Salir"},
            {"helpButton", "bottomPanel", {512, 56, 75, 25}, "F1 Ayuda"},
        };
        for (const Placed& item : placed) {
            const auto* widget = window.findChild<QWidget*>(item.name);
            QVERIFY2(widget != nullptr, item.name);
            QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(item.panel));
            QCOMPARE(widget->geometry(), item.geometry);
            if (const auto* label = qobject_cast<const QLabel*>(widget)) {
                QCOMPARE(label->text(), QString::fromUtf8(item.text));
                QVERIFY(label->wordWrap());
                QCOMPARE(QFontInfo(label->font()).pixelSize(), 16);
                QVERIFY(label->font().bold());
                QCOMPARE(label->font().family(), QStringLiteral("Arial"));
            } else if (const auto* pushButton = qobject_cast<const QPushButton*>(widget)) {
                QCOMPARE(pushButton->text(), QString::fromUtf8(item.text));
                QCOMPARE(widget->property("helpContext").toInt(), 3);
                QCOMPARE(pushButton->icon().isNull(), item.name == std::string("helpButton"));
            } else {
                QCOMPARE(widget->property("helpContext").toInt(), 3);
            }
        }
        const auto* versionLabel = window.findChild<QLabel*>("versionLabel");
        QCOMPARE(versionLabel->text(), QStringLiteral("Velmora para HD24 V-1.0"));
        QCOMPARE(versionLabel->pos(), QPoint(8, 72));
        QVERIFY(versionLabel->font().bold());
        QCOMPARE(versionLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
        // Tall and wide enough for its text, as a label that sizes itself.
        QVERIFY(versionLabel->width() >=
                versionLabel->fontMetrics().horizontalAdvance(versionLabel->text()));
    }

    void theWindowShowsTheProgramsIcon() {
        MainWindow window({});
        const QList<QSize> sizes = window.windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(32, 32)));
        QVERIFY(sizes.contains(QSize(256, 256)));
    }

    void eachRunButtonStartsItsRun_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("run");
        QTest::newRow("OK of the conversion") << "convertButton"
                                              << "convert";
        QTest::newRow("OK of the results") << "resultsButton"
                                           << "results";
    }

    void eachRunButtonStartsItsRun() {
        QFETCH(QString, button);
        QFETCH(QString, run);
        Scene scene;
        auto window = scene.window({});
        showAndSettle(*window);
        window->documents = {scene.document};

        QTest::mouseClick(::button(*window, button.toLatin1().constData()), Qt::LeftButton);

        QCOMPARE(scene.runs, QStringList{run});
        QCOMPARE(window->asked, (QStringList{"document", "message Proceso finalizado"}));
        // The presenter's verdict reaches both buttons.
        QVERIFY(!::button(*window, "convertButton")->isEnabled());
        QVERIFY(!::button(*window, "resultsButton")->isEnabled());
    }

    void helpButtonAndF1AskForTheirHelp() {
        Scene scene;
        auto window = scene.window({});
        showAndSettle(*window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        ::button(*window, "resultsButton")->setFocus();

        QTest::keyClick(window.get(), Qt::Key_F1);
        QTest::mouseClick(::button(*window, "helpButton"), Qt::LeftButton);
        writeFile(scene.home / "SAUCE.chm", "ITSF");
        QTest::keyClick(window.get(), Qt::Key_F1);

        QCOMPARE(window->asked, (QStringList{"guide ventana.html", "guide index.html",
                                             "compiled help SAUCE.chm 3"}));
    }

    void showingTheWindowStartsTheNamedRunAndItsEndClosesIt() {
        Scene scene;
        auto window = scene.window({"EXPORTAR", "x"});
        window->documents = {scene.document};

        showAndSettle(*window);

        QCOMPARE(scene.runs, QStringList{"convert"});
        QVERIFY(!window->isVisible());
        QCOMPARE(window->presenter().completionCode(), 1);
        QVERIFY(std::filesystem::exists(scene.ini));
    }

    void everyCloseGoesThroughThePresenter_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Salir") << "quit button";
        QTest::newRow("Alt+S") << "alt+s";
        QTest::newRow("the close box") << "close box";
    }

    void everyCloseGoesThroughThePresenter() {
        QFETCH(QString, how);
        Scene scene;
        auto window = scene.window({"hola", "x"});
        showAndSettle(*window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));

        if (how == "quit button") {
            QTest::mouseClick(::button(*window, "quitButton"), Qt::LeftButton);
        } else if (how == "alt+s") {
            QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
        } else {
            QVERIFY(window->QWidget::close());
        }

        // A button's shortcut letter presses it as a click would, a moment later.
        QTRY_VERIFY(!window->isVisible());
        QVERIFY(window->asked.isEmpty());
        QVERIFY(readFile(scene.ini).find("Transformado=0") != std::string::npos);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
