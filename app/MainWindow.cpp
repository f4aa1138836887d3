#include "app/MainWindow.h"

#include "app/BusyCursor.h"
#include "app/ButtonGlyphs.h"
#include "app/ErrorReport.h"
#include "app/GradientPanel.h"
#include "app/HelpDesk.h"
#include "app/NotesMessageText.h"
#include "app/PathText.h"
#include "app/ProgramIcon.h"
#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "messages/Messages.h"
#include "messages/NotesFile.h"
#include "results/ResultsRun.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/FileSystem.h"
#include "services/files/IniFile.h"
#include "services/text/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <string>

namespace velmora::app {

namespace {

// The window's own font, MS Sans Serif of 11 pixels, or the default sans font at that size
// where MS Sans Serif is not installed.
QFont windowFont() {
    const QString wanted = QStringLiteral("MS Sans Serif");
    QFont font = QFontDatabase::hasFamily(wanted) ? QFont(wanted) : QApplication::font();
    font.setPixelSize(11);
    return font;
}

QFont panelTitleFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

QLabel* addLabel(QWidget* panel, const char* name, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, panel);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

QPushButton* addButton(QWidget* panel, const char* name, const QString& caption, const QIcon& glyph,
                       QRect geometry) {
    auto* button = new QPushButton(glyph, caption, panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setProperty(helpContextProperty, mainWindowHelp.context);
    return button;
}

GradientPanel* addPanel(QWidget* window, const char* name, QColor start, QColor middle, QColor end,
                        QRect geometry) {
    auto* panel = new GradientPanel(start, middle, end, window);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setProperty(helpContextProperty, mainWindowHelp.context);
    return panel;
}

// Keeps the ordinary pointer over the time-frame dialog while the run behind it shows the
// hour-glass.
class AskingWithNormalCursor : public velmora::FrameChooser {
public:
    explicit AskingWithNormalCursor(std::unique_ptr<velmora::FrameChooser> inner)
        : inner_(std::move(inner)) {}
    std::string chooseFrames(const std::filesystem::path& document,
                             const velmora::FrameListing& listing) override {
        NormalCursor normal;
        return inner_->chooseFrames(document, listing);
    }

private:
    std::unique_ptr<velmora::FrameChooser> inner_;
};

} // namespace

MainWindow::MainWindow(MainWindowSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      setup_(std::move(setup)) {
    createControls();
    automaticMode_ = setup_.arguments.size() == 3;
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Exportar e importar datos entre Horadia y Sauce "));
    setWindowIcon(programIcon());
    setFont(windowFont());
    setFixedSize(632, 266);
    setProperty(helpContextProperty, mainWindowHelp.context);

    const QColor upperStart(0xF9, 0xD3, 0x7D), upperMiddle(0xFF, 0xFF, 0xFF),
        upperEnd(0xFF, 0xEE, 0xDD);
    conversionPanel_ =
        addPanel(this, "conversionPanel", upperStart, upperMiddle, upperEnd, {0, 0, 315, 169});
    resultsPanel_ =
        addPanel(this, "resultsPanel", upperStart, upperMiddle, upperEnd, {316, 0, 317, 169});
    bottomPanel_ = addPanel(this, "bottomPanel", QColor(0xC2, 0xCD, 0xFE), QColor(0xCF, 0xF2, 0xFE),
                            QColor(0xCC, 0xD8, 0xE6), {0, 168, 633, 97});

    conversionTitle_ =
        addLabel(conversionPanel_, "conversionTitle",
                 tr("Transformar datos desde Sauce hacia Horadia "), {24, 24, 265, 57});
    conversionTitle_->setFont(panelTitleFont());
    conversionTitle_->setWordWrap(true);
    convertButton_ =
        addButton(conversionPanel_, "convertButton", tr("OK"), checkMarkIcon(), {96, 120, 89, 25});

    resultsTitle_ = addLabel(resultsPanel_, "resultsTitle",
                             tr("Transformar datos desde Horadia hacia Sauce"), {8, 24, 305, 57});
    resultsTitle_->setFont(panelTitleFont());
    resultsTitle_->setWordWrap(true);
    resultsButton_ =
        addButton(resultsPanel_, "resultsButton", tr("OK"), checkMarkIcon(), {96, 120, 89, 25});

    versionLabel_ = addLabel(bottomPanel_, "versionLabel", tr("Velmora para HD24 V-1.0"), {});
    QFont bold = font();
    bold.setBold(true);
    versionLabel_->setFont(bold);
    QPalette red = versionLabel_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    versionLabel_->setPalette(red);
    versionLabel_->adjustSize();
    versionLabel_->move(8, 72);
    quitButton_ = addButton(bottomPanel_, "quitButton", tr("&Salir"),
                            style()->standardIcon(QStyle::SP_DialogCloseButton), {256, 32, 89, 25});
    helpButton_ = addButton(bottomPanel_, "helpButton", tr("F1 Ayuda"), QIcon(), {512, 56, 75, 25});

    connect(convertButton_, &QPushButton::clicked, this, &MainWindow::startConversion);
    connect(resultsButton_, &QPushButton::clicked, this, &MainWindow::startResults);
    connect(quitButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(helpButton_, &QPushButton::clicked, this, &MainWindow::showHelpContents);
    addHelpKey(this, mainWindowHelp, setup_.help);

    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownBefore_) {
        shownBefore_ = true;
        // After the show has finished, so that the window is on screen behind the run's
        // first dialog.
        QTimer::singleShot(0, this, &MainWindow::startNamedRun);
    }
}

void MainWindow::startNamedRun() {
    if (!automaticMode_) {
        return;
    }
    const std::string named = velmora::text::asciiLower(setup_.arguments.at(1).toStdString());
    if (named == "importar") {
        startResults();
    }
    if (named == "exportar") {
        startConversion();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (automaticMode_) {
        // The notes first: once the completion code says the run is done, they are there.
        leaveNotesForCaller();
        writeCompletionCode();
    }
    event->accept();
}

// The calling program finds the notes of this run beside the ini file, or no notes file at all:
// never one that an earlier run left.
void MainWindow::leaveNotesForCaller() {
    const std::filesystem::path file =
        velmora::messages::automaticNotesFile(toPath(setup_.iniFile));
    if (!finishedRunNotes_.empty()) {
        try {
            velmora::messages::writeNotesFile(file, finishedRunNotes_);
        } catch (const std::exception& error) {
            setup_.dialogs->showError(this, errorReportText(error));
        }
        return;
    }
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
        setup_.dialogs->showError(
            this, tr("No se puede borrar el archivo \"%1\" (%2). Tiene los avisos de un proceso "
                     "anterior: bórrelo usted para que nadie los tome por los de este.")
                      .arg(QDir::toNativeSeparators(toQString(file)),
                           QString::fromStdString(velmora::messages::describeSystemError(error))));
    }
}

void MainWindow::writeCompletionCode() {
    try {
        writeProfileString(toPath(setup_.iniFile), "Transformadores", "Transformado",
                           std::to_string(completionCode_));
    } catch (const std::exception&) {
        // The program ends all the same: keeping the window open would only fail again at
        // every further attempt to close it.
        setup_.dialogs->showError(
            this, tr("Unable to write to %1").arg(QDir::toNativeSeparators(setup_.iniFile)));
    }
}

void MainWindow::showHelpContents() {
    setup_.help->showContents(this);
}

void MainWindow::startConversion() {
    runOnChosenDocument([this](const std::filesystem::path& document) {
        AskingWithNormalCursor frames(setup_.frameChooser(this, documentPath_));
        return velmora::ConversionRun(document, setup_.exchangeFolder, frames).run().notes;
    });
}

void MainWindow::startResults() {
    runOnChosenDocument([this](const std::filesystem::path& document) {
        velmora::ResultsRun run(document, setup_.exchangeFolder);
        run.run();
        return run.notes();
    });
}

void MainWindow::runOnChosenDocument(const CoreRun& coreRun) {
    chooseDocument();
    const std::filesystem::path document = toPath(documentPath_);
    if (!velmora::documentExists(document)) {
        setup_.dialogs->showMessage(this, tr("No existe archivo"));
        if (automaticMode_) {
            completionCode_ = -1;
            close();
        }
        return;
    }
    if (const auto notes = runReportingErrors(coreRun, document)) {
        finishRun(*notes);
    }
}

void MainWindow::chooseDocument() {
    if (auto chosen = setup_.dialogs->chooseDocument(this, dialogStartFolder(), documentPath_)) {
        documentPath_ = *chosen;
    }
}

QString MainWindow::dialogStartFolder() const {
    // The documents from Sauce are kept in the exchange folder's "sauce" folder, whatever the
    // letter case its name was given.
    std::error_code error;
    for (const auto& candidate : velmora::findFilesIgnoringCase(setup_.exchangeFolder, "sauce")) {
        if (std::filesystem::is_directory(candidate, error)) {
            return toQString(candidate);
        }
    }
    if (std::filesystem::is_directory(setup_.exchangeFolder, error)) {
        return toQString(setup_.exchangeFolder);
    }
    return {};
}

std::optional<RunNotes> MainWindow::runReportingErrors(const CoreRun& coreRun,
                                                       const std::filesystem::path& document) {
    try {
        BusyCursor busy;
        return coreRun(document);
    } catch (const std::exception& error) {
        setup_.dialogs->showError(this, errorReportText(error));
    } catch (...) {
        setup_.dialogs->showError(this, tr("El proceso se ha detenido por un error desconocido."));
    }
    return std::nullopt;
}

void MainWindow::finishRun(const RunNotes& notes) {
    completionCode_ = 1;
    finishedRunNotes_ = notes;
    showClosingMessage(notes);
    convertButton_->setEnabled(false);
    resultsButton_->setEnabled(false);
    if (automaticMode_) {
        close();
    }
}

void MainWindow::showClosingMessage(const RunNotes& notes) {
    const QString finished = tr("Proceso finalizado");
    if (notes.empty()) {
        setup_.dialogs->showMessage(this, finished);
        return;
    }
    // A timetable already made in Horadia follows a moved code to someone else, which the user
    // has to hear of before anything else. A calling program's run does not stop for it: the
    // notes it gets say it all the same.
    if (const auto warning = velmora::messages::movedCodesWarning(notes);
        warning && !automaticMode_) {
        setup_.dialogs->showWarning(this, QString::fromStdString(*warning));
    }
    setup_.dialogs->showNotesMessage(this, notesMessageFor(finished, notes),
                                     [this, &notes](QWidget* box) { saveNotesChosen(box, notes); });
}

void MainWindow::saveNotesChosen(QWidget* box, const RunNotes& notes) {
    const QString suggested =
        QFileInfo(documentPath_).absoluteDir().filePath(tr("Avisos de Velmora.txt"));
    const auto chosen = setup_.dialogs->chooseNotesFile(box, suggested);
    if (!chosen) {
        return;
    }
    try {
        velmora::messages::writeNotesFile(toPath(*chosen), notes);
    } catch (const std::exception& error) {
        setup_.dialogs->showError(box, errorReportText(error));
    }
}

} // namespace velmora::app
