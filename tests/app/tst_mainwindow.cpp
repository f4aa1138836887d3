// The main window driven as a user and a calling program would drive it: command lines,
// file choices, messages, the completion file and the help, with the real runs behind it.
#include "app/HelpWindow.h"
#include "app/MainWindow.h"
#include "app/PathText.h"
#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "formats/ExchangeTables.h"
#include "messages/Messages.h"
#include "results/ResultsRun.h"
#include "services/Error.h"
#include "services/text/Text.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <functional>
#include <memory>

using namespace velmora::app;
using velmora::testing::readFile;
using velmora::testing::sauceXml;
using velmora::testing::TempDir;
using velmora::testing::writeFile;

namespace {

// Answers the window's questions from a script and keeps what it was told.
class ScriptedDialogs : public WindowDialogs {
public:
    QList<std::optional<QString>> answers; // in order; the dialog is cancelled once they run out
    // One press of the save button in the notes message for each, answering where to save.
    QList<std::optional<QString>> notesFileAnswers;
    QStringList startFolders;
    QStringList offered;
    QStringList suggestedNotesFiles;
    QStringList messages;
    QList<NotesMessage> notesMessages;
    QStringList warnings;
    QStringList errors;
    QStringList boxes;               // "message", "notes", "warning" or "error", in order shown
    QList<bool> hourGlassAtMessages; // for every box, in order

    std::optional<QString> chooseDocument(QWidget*, const QString& startFolder,
                                          const QString& lastChosen) override {
        startFolders << startFolder;
        offered << lastChosen;
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
    void showMessage(QWidget*, const QString& text) override {
        shown("message");
        messages << text;
    }
    void showNotesMessage(QWidget*, const NotesMessage& message,
                          const SaveNotes& saveNotes) override {
        shown("notes");
        notesMessages << message;
        QWidget box;
        for (auto presses = notesFileAnswers.size(); presses > 0; --presses) {
            saveNotes(&box);
        }
    }
    std::optional<QString> chooseNotesFile(QWidget*, const QString& suggested) override {
        suggestedNotesFiles << suggested;
        return notesFileAnswers.isEmpty() ? std::nullopt : notesFileAnswers.takeFirst();
    }
    void showWarning(QWidget*, const QString& text) override {
        shown("warning");
        warnings << text;
    }
    void showError(QWidget*, const QString& text) override {
        shown("error");
        errors << text;
    }
    int questions() const { return startFolders.size(); }

private:
    void shown(const char* box) {
        boxes << QString::fromLatin1(box);
        hourGlassAtMessages << (QApplication::overrideCursor() != nullptr);
    }
};

// The time-frame answer of the user, with the pointer they saw while answering.
struct FrameAnswer {
    std::string keys;
    QList<Qt::CursorShape> pointers;
};

class ScriptedFrames : public velmora::FrameChooser {
public:
    explicit ScriptedFrames(FrameAnswer& answer) : answer_(answer) {}
    std::string chooseFrames(const std::filesystem::path&, const velmora::FrameListing&) override {
        const QCursor* cursor = QApplication::overrideCursor();
        answer_.pointers << (cursor != nullptr ? cursor->shape() : Qt::ArrowCursor);
        return answer_.keys;
    }

private:
    FrameAnswer& answer_;
};

using Teachers = std::vector<velmora::testing::SauceRecordValues>;

const Teachers oneTeacher = {{"E1", "01/09/2015", "Ana Pérez", "AP"}};
// Two teachers known by one surname: the second one's code gets a number.
const Teachers twoGarcias = {{"E1", "01/09/2015", "García López, María", "GARCÍA"},
                             {"E2", "01/09/2012", "García Ruiz, José", "GARCÍA"}};

std::string schoolDocument(const std::vector<std::string>& frames,
                           const Teachers& teachers = oneTeacher) {
    std::vector<velmora::testing::SauceRecordValues> jornadas;
    std::vector<velmora::testing::SauceRecordValues> intervalos;
    int hour = 8;
    for (const auto& frame : frames) {
        jornadas.push_back({frame, "Jornada " + frame, "01/09/2026"});
        const std::string start = (hour < 10 ? "0" : "") + std::to_string(hour) + ":00";
        intervalos.push_back({"dato=CODIGO_SAUCE|S" + frame, "dato=NOMBRE|Primera",
                              "dato=INICIO|" + start, "dato=FIN|" + start.substr(0, 3) + "55",
                              "dato=ORDEN|1", "dato=CLAVE_JORNADA|" + frame});
        hour += 7;
    }
    return sauceXml({
        {"MATERIAS", {{"M1", "Matemáticas", "MATES", "C1", "120"}}},
        {"TAREAS", {{"156", "Lectiva", "LECT", "S"}}},
        {"PROFESORES", teachers},
        {"AULAS", {{"A1", "Aula 1", "AULA1"}}},
        {"CURSOS", {{"C1", "1º ESO", "", "ESO", "1"}}},
        {"GRUPOS", {{"G1", "1 ESO A", "C1"}}},
        {"JORNADAS", jornadas},
        {"INTERVALOS", intervalos},
    });
}

const std::string notWellFormed = "<?xml version=\"1.0\"?>\n<SERVICIO><SALIDAS>";

// A home for one test: the exchange folder with its "Sauce" folder, the program's folder for
// the ini and help files, a document, and the scripted user.
struct Scene {
    TempDir home;
    std::filesystem::path exchange = home / "HTEMP";
    std::filesystem::path program = home / "bin";
    std::filesystem::path document = exchange / "Sauce" / "export.xml";
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    FrameAnswer frames{velmora::text::padOrCut("M1", 10), {}};
    // The compiled help beside the program is used only once a test puts it there.
    QList<QStringList> helpStarted;
    std::shared_ptr<HelpDesk> help =
        std::make_shared<HelpDesk>(toQString(program / "SAUCE.chm"),
                                   [this](const QString& viewer, const QStringList& arguments) {
                                       helpStarted << (QStringList{viewer} + arguments);
                                       return true;
                                   });

    Scene() {
        std::filesystem::create_directories(exchange / "Sauce");
        std::filesystem::create_directories(program);
        writeFile(document, schoolDocument({"M1"}));
    }

    QString ini() const { return toQString(program / "Horadia.ini"); }
    std::filesystem::path notesFile() const { return program / "Velmora-avisos.txt"; }
    QString documentName() const { return toQString(document); }

    std::unique_ptr<MainWindow> window(QStringList arguments, QString iniFile = {}) {
        MainWindowSetup setup;
        setup.arguments = QStringList{toQString(program / "velmora")} + arguments;
        setup.iniFile = iniFile.isEmpty() ? ini() : iniFile;
        setup.help = help;
        setup.exchangeFolder = exchange;
        setup.dialogs = dialogs;
        setup.frameChooser = [this](QWidget*, const QString&) {
            return std::make_unique<ScriptedFrames>(frames);
        };
        return std::make_unique<MainWindow>(std::move(setup));
    }

    // The tables a conversion of the document leaves, as an earlier session left them.
    void convertBefore() {
        struct OneFrame : velmora::FrameChooser {
            std::string chooseFrames(const std::filesystem::path&,
                                     const velmora::FrameListing&) override {
                return {};
            }
        } noQuestion;
        velmora::ConversionRun(document, exchange, noQuestion).run();
    }

    // The tables a conversion leaves, with the timetable program's solution: these lessons.
    void prepareResults(const std::vector<velmora::testing::Record>& lessons = {}) {
        convertBefore();
        velmora::testing::writeTable(exchange, velmora::tables::SOLUC::layout, lessons);
    }

    std::string iniText() const { return readFile(program / "Horadia.ini"); }
    bool iniWritten() const { return std::filesystem::exists(program / "Horadia.ini"); }
};

// A file of notes as saved: the details of the closing message, with the platform's line ends.
std::string savedNotes(QString details) {
#ifdef _WIN32
    details.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
#endif
    return details.toStdString();
}

std::string completionFile(const std::string& code) {
#ifdef _WIN32
    return "[Transformadores]\r\nTransformado=" + code + "\r\n";
#else
    return "[Transformadores]\nTransformado=" + code + "\n";
#endif
}

// Shows the window and lets its first-shown step (and a run it starts) happen.
void showAndSettle(MainWindow& window) {
    window.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QPushButton* button(MainWindow& window, const char* name) {
    auto* found = window.findChild<QPushButton*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("the window has no button %s", name);
    }
    return found;
}

// The page of the built-in guide that the window's help window shows, empty when there is none.
QUrl shownGuidePage(MainWindow& window) {
    const auto* help = window.findChild<HelpWindow*>();
    if (help == nullptr || !help->isVisible()) {
        return {};
    }
    // The page itself must have come out of the resources, not only its address.
    const auto* browser = help->findChild<QTextBrowser*>();
    if (browser == nullptr || browser->document()->isEmpty()) {
        return QUrl("about:empty-page");
    }
    return help->currentPage();
}

bool runButtonsEnabled(MainWindow& window) {
    return button(window, "convertButton")->isEnabled() &&
           button(window, "resultsButton")->isEnabled();
}

// What a user can answer in the file dialog that is no document.
void addNoDocumentRows() {
    QTest::addColumn<QString>("answer"); // "cancel", "missing" or "folder"
    QTest::newRow("dialog cancelled") << QStringLiteral("cancel");
    QTest::newRow("typed name of a missing file") << QStringLiteral("missing");
    QTest::newRow("a folder") << QStringLiteral("folder");
}

std::optional<QString> noDocumentAnswer(const Scene& scene, const QString& answer) {
    if (answer == "missing") {
        return toQString(scene.exchange / "Sauce" / "no-existe.xml");
    }
    if (answer == "folder") {
        return toQString(scene.exchange / "Sauce");
    }
    return std::nullopt;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void windowLooksAsDesigned() {
        Scene scene;
        auto window = scene.window({});
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Exportar e importar datos entre Horadia y Sauce "));
        QCOMPARE(window->size(), QSize(632, 266));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(window->property("helpContext").toInt(), 3);
        QCOMPARE(window->font().pixelSize(), 11);

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
            const auto* widget = window->findChild<QWidget*>(item.name);
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
        const auto* versionLabel = window->findChild<QLabel*>("versionLabel");
        QCOMPARE(versionLabel->text(), QStringLiteral("Velmora para HD24 V-1.0"));
        QCOMPARE(versionLabel->pos(), QPoint(8, 72));
        QVERIFY(versionLabel->font().bold());
        QCOMPARE(versionLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
        // Tall and wide enough for its text, as a label that sizes itself.
        QVERIFY(versionLabel->width() >=
                versionLabel->fontMetrics().horizontalAdvance(versionLabel->text()));
    }

    void otherCommandLinesAreInteractive_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("one, importar") << QStringList{"importar"};
        QTest::newRow("one, EXPORTAR") << QStringList{"EXPORTAR"};
        QTest::newRow("three") << QStringList{"exportar", "a", "b"};
    }

    void otherCommandLinesAreInteractive() {
        QFETCH(QStringList, arguments);
        Scene scene;
        const std::string before = "[Transformadores]\r\nTransformado=7\r\n";
        writeFile(scene.program / "Horadia.ini", before);
        auto window = scene.window(arguments);
        showAndSettle(*window);

        QVERIFY(!window->automaticMode());
        QCOMPARE(scene.dialogs->questions(), 0);
        QVERIFY(window->isVisible());
        QVERIFY(window->close());
        QCOMPARE(scene.iniText(), before);
    }

    void automaticModeRunsTheNamedRunAndLeavesOne_data() {
        QTest::addColumn<QString>("named");
        QTest::newRow("EXPORTAR in capitals") << QStringLiteral("EXPORTAR");
        QTest::newRow("Importar") << QStringLiteral("Importar");
    }

    void automaticModeRunsTheNamedRunAndLeavesOne() {
        QFETCH(QString, named);
        Scene scene;
        if (named == "Importar") {
            scene.prepareResults();
        }
        const auto result = velmora::resultPathFor(scene.document);
        const std::string otherLines = "; Horadia\r\n[Horadia]\r\nRuta=C:\\HTEMP\r\n\r\n";
        writeFile(scene.program / "Horadia.ini",
                  otherLines + "[transformadores]\r\nTransformado=0\r\nOtro=x\r\n");
        scene.dialogs->answers = {scene.documentName()};
        // The second argument is never read, even when it names a document.
        auto window = scene.window({named, scene.documentName()});
        showAndSettle(*window);

        QCOMPARE(scene.dialogs->questions(), 1);
        QCOMPARE(scene.dialogs->startFolders.first(), toQString(scene.exchange / "Sauce"));
        QCOMPARE(scene.dialogs->messages, QStringList{"Proceso finalizado"});
        QCOMPARE(scene.dialogs->hourGlassAtMessages, QList<bool>{false});
        QVERIFY(scene.dialogs->errors.isEmpty());
        QVERIFY(!window->isVisible());
        QCOMPARE(window->completionCode(), 1);
        QCOMPARE(scene.iniText(), otherLines + "[transformadores]\r\nTransformado=1\r\nOtro=x\r\n");
        if (named == "EXPORTAR") {
            QCOMPARE(velmora::testing::readRows(scene.exchange / "DIASHORAST.DBF").size(), 7u);
            QVERIFY(!std::filesystem::exists(result));
        } else {
            QVERIFY(std::filesystem::exists(result));
        }
    }

    void automaticModeWithoutADocumentLeavesMinusOne_data() { addNoDocumentRows(); }

    void automaticModeWithoutADocumentLeavesMinusOne() {
        QFETCH(QString, answer);
        Scene scene;
        scene.dialogs->answers = {noDocumentAnswer(scene, answer)};
        auto window = scene.window({"exportar", "x"});
        showAndSettle(*window);

        QCOMPARE(scene.dialogs->messages, QStringList{"No existe archivo"});
        QVERIFY(!window->isVisible());
        QCOMPARE(scene.iniText(), completionFile("-1"));
        QVERIFY(!std::filesystem::exists(scene.exchange / "ASIGNOMT.DBF"));
    }

    void automaticModeWithAnotherWordWaitsForTheUser_data() {
        QTest::addColumn<bool>("runFromButton");
        QTest::addColumn<QString>("code");
        QTest::newRow("closed by the user") << false << QStringLiteral("0");
        QTest::newRow("conversion from the button") << true << QStringLiteral("1");
    }

    void automaticModeWithAnotherWordWaitsForTheUser() {
        QFETCH(bool, runFromButton);
        QFETCH(QString, code);
        Scene scene;
        auto window = scene.window({"hola", "x"});
        showAndSettle(*window);
        QVERIFY(window->automaticMode());
        QCOMPARE(scene.dialogs->questions(), 0);
        QVERIFY(window->isVisible());
        QVERIFY(!scene.iniWritten());

        if (runFromButton) {
            scene.dialogs->answers = {scene.documentName()};
            QTest::mouseClick(button(*window, "convertButton"), Qt::LeftButton);
            QCOMPARE(scene.dialogs->messages, QStringList{"Proceso finalizado"});
            QVERIFY(!window->isVisible());
        } else {
            QTest::mouseClick(button(*window, "quitButton"), Qt::LeftButton);
            QVERIFY(!window->isVisible());
        }
        QCOMPARE(scene.iniText(), completionFile(code.toStdString()));
    }

    void aFinishedRunDisablesBothRuns_data() {
        QTest::addColumn<QString>("run");
        QTest::newRow("conversion") << QStringLiteral("convertButton");
        QTest::newRow("results") << QStringLiteral("resultsButton");
    }

    void aFinishedRunDisablesBothRuns() {
        QFETCH(QString, run);
        Scene scene;
        scene.prepareResults();
        auto window = scene.window({});
        showAndSettle(*window);
        scene.dialogs->answers = {scene.documentName()};

        QTest::mouseClick(button(*window, run.toLatin1().constData()), Qt::LeftButton);

        // Without notes the run closes as it always has: the plain message and nothing more.
        QCOMPARE(scene.dialogs->boxes, QStringList{"message"});
        QCOMPARE(scene.dialogs->messages, QStringList{"Proceso finalizado"});
        QVERIFY(window->isVisible());
        QVERIFY(!button(*window, "convertButton")->isEnabled());
        QVERIFY(!button(*window, "resultsButton")->isEnabled());
        QCOMPARE(window->completionCode(), 1);
        QVERIFY(window->close());
        QVERIFY(!scene.iniWritten());
    }

    void noDocumentLeavesTheRunsOpen_data() { addNoDocumentRows(); }

    void noDocumentLeavesTheRunsOpen() {
        QFETCH(QString, answer);
        Scene scene;
        auto window = scene.window({});
        showAndSettle(*window);
        scene.dialogs->answers = {noDocumentAnswer(scene, answer)};

        QTest::mouseClick(button(*window, "resultsButton"), Qt::LeftButton);

        QCOMPARE(scene.dialogs->messages, QStringList{"No existe archivo"});
        QVERIFY(window->isVisible());
        QVERIFY(runButtonsEnabled(*window));
        QCOMPARE(window->completionCode(), 0);

        // The user can try again with a document.
        scene.dialogs->answers = {scene.documentName()};
        QTest::mouseClick(button(*window, "convertButton"), Qt::LeftButton);
        QCOMPARE(scene.dialogs->messages, (QStringList{"No existe archivo", "Proceso finalizado"}));
        QVERIFY(!runButtonsEnabled(*window));
    }

    void aFailingRunIsReportedAndChangesNothing_data() {
        QTest::addColumn<QString>("named");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("conversion of a document that is not well-formed")
            << QStringLiteral("exportar") << QByteArray::fromStdString(notWellFormed);
        QTest::newRow("conversion of a document without time frames")
            << QStringLiteral("exportar") << QByteArray::fromStdString(sauceXml({}));
        QTest::newRow("results without the exchange tables")
            << QStringLiteral("importar") << QByteArray::fromStdString(schoolDocument({"M1"}));
    }

    void aFailingRunIsReportedAndChangesNothing() {
        QFETCH(QString, named);
        QFETCH(QByteArray, content);
        Scene scene;
        writeFile(scene.document, content.toStdString());
        const QString expected = [&] {
            try {
                if (named == "exportar") {
                    ScriptedFrames frames(scene.frames);
                    velmora::ConversionRun(scene.document, scene.exchange, frames).run();
                } else {
                    velmora::ResultsRun(scene.document, scene.exchange).run();
                }
            } catch (const std::exception& error) {
                return QString::fromStdString(velmora::messages::describe(error));
            }
            return QString();
        }();
        QVERIFY2(!expected.isEmpty(), "the run was expected to fail");
        scene.dialogs->answers = {scene.documentName()};
        auto window = scene.window({named, "x"});

        showAndSettle(*window);

        QCOMPARE(scene.dialogs->errors, QStringList{expected});
        QVERIFY(scene.dialogs->messages.isEmpty());
        QCOMPARE(scene.dialogs->hourGlassAtMessages, QList<bool>{false});
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(window->isVisible());
        QVERIFY(runButtonsEnabled(*window));
        QCOMPARE(window->completionCode(), 0);
        QVERIFY(window->close());
        QCOMPARE(scene.iniText(), completionFile("0"));
    }

    void aRunWithNotesNamesThemInItsClosingMessage_data() {
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("details");
        const QString advice =
            "\n\nEn los detalles está cada aviso, uno por uno, y puede guardarlos en un archivo de "
            "texto. La guía de Velmora (botón F1 Ayuda) explica qué hacer con cada clase de aviso.";
        QTest::newRow("conversion of two teachers with one surname")
            << QStringLiteral("convertButton")
            << "Hay avisos de cosas que se han cambiado o que no se han podido usar:\n"
               "- 1 código numerado para que no se repita" +
                   advice
            << QStringLiteral("1 código numerado para que no se repita:\n"
                              "  - Tabla PROFT, registro 2: el código de «GARCÍA» ya se había "
                              "dado a otro registro; se ha escrito «GARCÍA1».\n");
        QTest::newRow("results with a lesson not placed")
            << QStringLiteral("resultsButton")
            << "Hay avisos de cosas que se han cambiado o que no se han podido usar:\n"
               "- 1 clase sin colocar en el horario" +
                   advice
            << QStringLiteral("1 clase sin colocar en el horario:\n"
                              "  - Tabla SOLUC, registro 1: la clase no está colocada en el "
                              "horario (día 0) y no se ha pasado a Sauce.\n");
    }

    void aRunWithNotesNamesThemInItsClosingMessage() {
        QFETCH(QString, run);
        QFETCH(QString, summary);
        QFETCH(QString, details);
        Scene scene;
        if (run == "convertButton") {
            writeFile(scene.document, schoolDocument({"M1"}, twoGarcias));
        } else {
            scene.prepareResults({{{"PROF", "AP"}, {"DIA", "0"}, {"HORA", "1"}}});
        }
        auto window = scene.window({});
        showAndSettle(*window);
        scene.dialogs->answers = {scene.documentName()};

        QTest::mouseClick(button(*window, run.toLatin1().constData()), Qt::LeftButton);

        QCOMPARE(scene.dialogs->boxes, QStringList{"notes"});
        QCOMPARE(scene.dialogs->hourGlassAtMessages, QList<bool>{false});
        const NotesMessage& shown = scene.dialogs->notesMessages.at(0);
        QCOMPARE(shown.text, QStringLiteral("Proceso finalizado"));
        QCOMPARE(shown.summary, summary);
        QCOMPARE(shown.details, details);
        QVERIFY(!runButtonsEnabled(*window));
        QCOMPARE(window->completionCode(), 1);
        QVERIFY(window->close());
        QVERIFY(!std::filesystem::exists(scene.notesFile()));
    }

    void theNotesAreSavedWhereTheUserChooses_data() {
        QTest::addColumn<QString>("answer"); // "suggested", "cancel" or "unwritable"
        QTest::newRow("the suggested file") << QStringLiteral("suggested");
        QTest::newRow("cancelled") << QStringLiteral("cancel");
        QTest::newRow("a folder that does not exist") << QStringLiteral("unwritable");
    }

    void theNotesAreSavedWhereTheUserChooses() {
        QFETCH(QString, answer);
        Scene scene;
        writeFile(scene.document, schoolDocument({"M1"}, twoGarcias));
        const auto suggested = scene.exchange / "Sauce" / "Avisos de Velmora.txt";
        const auto unwritable = scene.home / "no-existe" / "avisos.txt";
        scene.dialogs->notesFileAnswers = {answer == "suggested"    ? toQString(suggested)
                                           : answer == "unwritable" ? toQString(unwritable)
                                                                    : std::optional<QString>()};
        auto window = scene.window({});
        showAndSettle(*window);
        scene.dialogs->answers = {scene.documentName()};

        QTest::mouseClick(button(*window, "convertButton"), Qt::LeftButton);

        QCOMPARE(scene.dialogs->suggestedNotesFiles, QStringList{toQString(suggested)});
        if (answer == "suggested") {
            QCOMPARE(readFile(suggested), savedNotes(scene.dialogs->notesMessages.at(0).details));
        } else {
            QVERIFY(!std::filesystem::exists(suggested));
        }
        if (answer == "unwritable") {
            QCOMPARE(scene.dialogs->boxes, (QStringList{"notes", "error"}));
            QCOMPARE(scene.dialogs->errors,
                     QStringList{"No se puede escribir el archivo \"" +
                                 QDir::toNativeSeparators(toQString(unwritable)) +
                                 "\" (no existe). Compruebe que la carpeta existe y que se puede "
                                 "escribir en ella."});
        } else {
            QCOMPARE(scene.dialogs->boxes, QStringList{"notes"});
        }
    }

    void aMovedCodeIsWarnedOfBeforeTheClosingMessage_data() {
        QTest::addColumn<bool>("automatic");
        QTest::newRow("a user at the window") << false;
        QTest::newRow("automatic mode") << true;
    }

    void aMovedCodeIsWarnedOfBeforeTheClosingMessage() {
        QFETCH(bool, automatic);
        Scene scene;
        writeFile(scene.document, schoolDocument({"M1"}, {twoGarcias[0]}));
        scene.convertBefore();
        // The new García comes first and takes the code the other one had.
        writeFile(scene.document, schoolDocument({"M1"}, {twoGarcias[1], twoGarcias[0]}));
        scene.dialogs->answers = {scene.documentName()};
        auto window = scene.window(automatic ? QStringList{"exportar", "x"} : QStringList{});
        showAndSettle(*window);
        if (!automatic) {
            QTest::mouseClick(button(*window, "convertButton"), Qt::LeftButton);
        }

        const QString moved = QStringLiteral(
            "Tabla PROFT: el código «GARCÍA» era de «E1 (García López, María)» y ahora es de «E2 "
            "(García Ruiz, José)». Lo que el horario de Horadia tenga con este código pasa al "
            "nuevo; revíselo antes de usarlo.");
        QCOMPARE(scene.dialogs->questions(), 1);
        QVERIFY(scene.dialogs->notesMessages.at(0).details.contains(moved));
        if (automatic) {
            QCOMPARE(scene.dialogs->boxes, QStringList{"notes"});
            QVERIFY(!window->isVisible());
            QCOMPARE(readFile(scene.notesFile()),
                     savedNotes(scene.dialogs->notesMessages.at(0).details));
        } else {
            QCOMPARE(scene.dialogs->boxes, (QStringList{"warning", "notes"}));
            QCOMPARE(
                scene.dialogs->warnings,
                QStringList{"Atención: un código de Horadia nombra ahora a otro profesor, aula, "
                            "grupo o materia que en la transformación anterior. Si ya tiene "
                            "un horario hecho en Horadia, lo que tenía con esos códigos pasa "
                            "a lo que ahora nombran. Revise los avisos antes de usar ese "
                            "horario:\n\n- Tabla PROFT, código «GARCÍA»: antes «E1 (García "
                            "López, María)», ahora «E2 (García Ruiz, José)»."});
        }
    }

    void automaticModeLeavesOnlyThisRunsNotes_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("noted"); // a notes file with this run's notes; none otherwise
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("code");
        QTest::newRow("a run with notes")
            << QByteArray::fromStdString(schoolDocument({"M1"}, twoGarcias)) << true
            << QStringList{"notes"} << QStringLiteral("1");
        QTest::newRow("a run without notes")
            << QByteArray::fromStdString(schoolDocument({"M1"})) << false << QStringList{"message"}
            << QStringLiteral("1");
        QTest::newRow("a failed run") << QByteArray::fromStdString(notWellFormed) << false
                                      << QStringList{"error"} << QStringLiteral("0");
    }

    void automaticModeLeavesOnlyThisRunsNotes() {
        QFETCH(QByteArray, document);
        QFETCH(bool, noted);
        QFETCH(QStringList, boxes);
        QFETCH(QString, code);
        Scene scene;
        writeFile(scene.document, document.toStdString());
        writeFile(scene.notesFile(), "Avisos de una transformación anterior\n");
        scene.dialogs->answers = {scene.documentName()};
        auto window = scene.window({"exportar", "x"});
        showAndSettle(*window);
        // A failed run leaves the window open, for the user to close.
        window->close();

        QCOMPARE(scene.dialogs->boxes, boxes);
        if (noted) {
            const std::string saved = readFile(scene.notesFile());
            QCOMPARE(saved, savedNotes(scene.dialogs->notesMessages.at(0).details));
            QVERIFY(QString::fromStdString(saved).contains("se ha escrito «GARCÍA1»"));
        } else {
            QVERIFY(!std::filesystem::exists(scene.notesFile()));
        }
        QCOMPARE(scene.iniText(), completionFile(code.toStdString()));
    }

    void automaticModeReportsNotesItCannotLeave_data() {
        QTest::addColumn<bool>("withNotes");
        QTest::newRow("notes, and no program folder to write them in") << true;
        QTest::newRow("an old notes file that cannot be removed") << false;
    }

    void automaticModeReportsNotesItCannotLeave() {
        QFETCH(bool, withNotes);
        Scene scene;
        QString ini = scene.ini();
        if (withNotes) {
            writeFile(scene.document, schoolDocument({"M1"}, twoGarcias));
            ini = toQString(scene.home / "no-existe" / "Horadia.ini");
        } else {
            // A folder in its place stands for a file that cannot be removed.
            std::filesystem::create_directory(scene.notesFile());
            writeFile(scene.notesFile() / "dentro.txt", "x");
        }
        const QString notesFile =
            QDir::toNativeSeparators(toQString(toPath(ini).parent_path() / "Velmora-avisos.txt"));
        scene.dialogs->answers = {scene.documentName()};
        auto window = scene.window({"exportar", "x"}, ini);
        showAndSettle(*window);

        QVERIFY(!window->isVisible());
        if (withNotes) {
            QCOMPARE(scene.dialogs->boxes, (QStringList{"notes", "error", "error"}));
            QCOMPARE(scene.dialogs->errors,
                     (QStringList{"No se puede escribir el archivo \"" + notesFile +
                                      "\" (no existe). Compruebe que la carpeta existe y que se "
                                      "puede escribir en ella.",
                                  "Unable to write to " + QDir::toNativeSeparators(ini)}));
        } else {
            QCOMPARE(scene.dialogs->boxes, (QStringList{"message", "error"}));
            QCOMPARE(scene.dialogs->errors.size(), 1);
            const QString& error = scene.dialogs->errors.at(0);
            QVERIFY2(error.startsWith("No se puede borrar el archivo \"" + notesFile + "\" ("),
                     qPrintable(error));
            QVERIFY2(error.endsWith("). Tiene los avisos de un proceso anterior: bórrelo usted "
                                    "para que nadie los tome por los de este."),
                     qPrintable(error));
            QCOMPARE(scene.iniText(), completionFile("1"));
        }
    }

    void aCancelledDialogRunsOnTheLastDocument() {
        Scene scene;
        writeFile(scene.document, notWellFormed);
        auto window = scene.window({});
        showAndSettle(*window);
        scene.dialogs->answers = {scene.documentName()};
        QTest::mouseClick(button(*window, "convertButton"), Qt::LeftButton);
        QCOMPARE(scene.dialogs->errors.size(), 1);

        writeFile(scene.document, schoolDocument({"M1"}));
        QTest::mouseClick(button(*window, "convertButton"), Qt::LeftButton); // cancelled

        QCOMPARE(scene.dialogs->offered, (QStringList{QString(), scene.documentName()}));
        QCOMPARE(window->documentFileName(), scene.documentName());
        QCOMPARE(scene.dialogs->messages, QStringList{"Proceso finalizado"});
        QCOMPARE(velmora::testing::readRows(scene.exchange / "DIASHORAST.DBF").size(), 7u);
    }

    void theFrameQuestionIsAskedWithTheNormalPointer() {
        Scene scene;
        writeFile(scene.document, schoolDocument({"M1", "T1"}));
        scene.frames.keys = velmora::text::padOrCut("M1", 10) + velmora::text::padOrCut("T1", 10);
        auto window = scene.window({});
        showAndSettle(*window);
        scene.dialogs->answers = {scene.documentName()};

        QTest::mouseClick(button(*window, "convertButton"), Qt::LeftButton);

        QCOMPARE(scene.frames.pointers, QList<Qt::CursorShape>{Qt::ArrowCursor});
        QCOMPARE(scene.dialogs->messages, QStringList{"Proceso finalizado"});
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void anUnwritableCompletionFileIsReportedAndTheProgramEnds() {
        Scene scene;
        const QString ini = toQString(scene.home / "missing" / "Horadia.ini");
        auto window = scene.window({"hola", "x"}, ini);
        showAndSettle(*window);

        window->close();

        QCOMPARE(scene.dialogs->errors,
                 QStringList{"Unable to write to " + QDir::toNativeSeparators(ini)});
        QVERIFY(!window->isVisible());
    }

    void helpOpensAtTheWindowsTopicAndTheContents_data() {
        QTest::addColumn<bool>("compiledHelp"); // SAUCE.chm beside the program
        QTest::newRow("the built-in guide") << false;
        QTest::newRow("the compiled help file") << true;
    }

    void helpOpensAtTheWindowsTopicAndTheContents() {
        QFETCH(bool, compiledHelp);
        Scene scene;
        const QString helpFile = toQString(scene.program / "SAUCE.chm");
        if (compiledHelp) {
            writeFile(scene.program / "SAUCE.chm", "ITSF");
        }
        auto window = scene.window({});
        showAndSettle(*window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        button(*window, "resultsButton")->setFocus();

        QTest::keyClick(window.get(), Qt::Key_F1);
        const QUrl pageAfterF1 = shownGuidePage(*window);
        QTest::mouseClick(button(*window, "helpButton"), Qt::LeftButton);
        const QUrl pageAfterButton = shownGuidePage(*window);

        if (compiledHelp) {
            QCOMPARE(scene.helpStarted, (QList<QStringList>{{"hh.exe", "-mapid", "3", helpFile},
                                                            {"hh.exe", helpFile}}));
            QVERIFY(pageAfterF1.isEmpty());
        } else {
            QVERIFY(scene.helpStarted.isEmpty());
            QCOMPARE(pageAfterF1, QUrl("qrc:/guia/ventana.html"));
            QCOMPARE(pageAfterButton, QUrl("qrc:/guia/index.html"));
            QCOMPARE(window->findChildren<HelpWindow*>().size(), 1);
        }
        QVERIFY(scene.dialogs->errors.isEmpty());
    }

    void theWindowShowsTheProgramsIcon() {
        Scene scene;
        auto window = scene.window({});
        const QList<QSize> sizes = window->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(32, 32)));
        QVERIFY(sizes.contains(QSize(256, 256)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
