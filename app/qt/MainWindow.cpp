#include "app/qt/MainWindow.h"

#include "app/qt/ButtonGlyphs.h"
#include "app/qt/FrameDialog.h"
#include "app/qt/GradientPanel.h"
#include "app/qt/PathText.h"
#include "app/qt/ProgramIcon.h"
#include "app/qt/WindowDialogs.h"
#include "messages/WindowTexts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace velmora::app {

namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

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
    button->setProperty(helpContextProperty, windowHelpContext);
    return button;
}

GradientPanel* addPanel(QWidget* window, const char* name, QColor start, QColor middle, QColor end,
                        QRect geometry) {
    auto* panel = new GradientPanel(start, middle, end, window);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setProperty(helpContextProperty, windowHelpContext);
    return panel;
}

} // namespace

MainWindow::MainWindow(WindowSetup setup, std::shared_ptr<HelpDesk> help, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      presenter_(*this, std::move(setup)), help_(std::move(help)) {
    createControls();
}

MainWindow::~MainWindow() {
    setBusy(false);
}

void MainWindow::createControls() {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(text(messages::kMainWindowCaption));
    setWindowIcon(programIcon());
    setFont(windowFont());
    setFixedSize(632, 266);
    setProperty(helpContextProperty, windowHelpContext);

    const QColor upperStart(0xF9, 0xD3, 0x7D), upperMiddle(0xFF, 0xFF, 0xFF),
        upperEnd(0xFF, 0xEE, 0xDD);
    conversionPanel_ =
        addPanel(this, "conversionPanel", upperStart, upperMiddle, upperEnd, {0, 0, 315, 169});
    resultsPanel_ =
        addPanel(this, "resultsPanel", upperStart, upperMiddle, upperEnd, {316, 0, 317, 169});
    bottomPanel_ = addPanel(this, "bottomPanel", QColor(0xC2, 0xCD, 0xFE), QColor(0xCF, 0xF2, 0xFE),
                            QColor(0xCC, 0xD8, 0xE6), {0, 168, 633, 97});

    conversionTitle_ = addLabel(conversionPanel_, "conversionTitle",
                                text(messages::kConversionTitle), {24, 24, 265, 57});
    conversionTitle_->setFont(panelTitleFont());
    conversionTitle_->setWordWrap(true);
    convertButton_ = addButton(conversionPanel_, "convertButton", text(messages::kRunButton),
                               checkMarkIcon(), {96, 120, 89, 25});

    resultsTitle_ =
        addLabel(resultsPanel_, "resultsTitle", text(messages::kResultsTitle), {8, 24, 305, 57});
    resultsTitle_->setFont(panelTitleFont());
    resultsTitle_->setWordWrap(true);
    resultsButton_ = addButton(resultsPanel_, "resultsButton", text(messages::kRunButton),
                               checkMarkIcon(), {96, 120, 89, 25});

    versionLabel_ = addLabel(bottomPanel_, "versionLabel", text(messages::kVersionLabel), {});
    QFont bold = font();
    bold.setBold(true);
    versionLabel_->setFont(bold);
    QPalette red = versionLabel_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    versionLabel_->setPalette(red);
    versionLabel_->adjustSize();
    versionLabel_->move(8, 72);
    quitButton_ = addButton(bottomPanel_, "quitButton", text(messages::kQuitButton),
                            style()->standardIcon(QStyle::SP_DialogCloseButton), {256, 32, 89, 25});
    helpButton_ = addButton(bottomPanel_, "helpButton", text(messages::kHelpButton), QIcon(),
                            {512, 56, 75, 25});

    connect(convertButton_, &QPushButton::clicked, this, [this] { presenter_.convertClicked(); });
    connect(resultsButton_, &QPushButton::clicked, this, [this] { presenter_.resultsClicked(); });
    connect(quitButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(helpButton_, &QPushButton::clicked, this, [this] { presenter_.helpContentsClicked(); });
    addHelpKey(this, [this] { presenter_.helpKeyPressed(HelpTopic::MainWindow); });

    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // After the show has finished, so that the window is on screen behind the run's first
    // dialog. The presenter heeds only the first show.
    QTimer::singleShot(0, this, [this] { presenter_.windowShown(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    presenter_.windowClosing();
    event->accept();
}

QWidget* MainWindow::dialogOwner() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : this;
}

std::optional<std::filesystem::path>
MainWindow::chooseDocument(const std::filesystem::path& startFolder,
                           const std::filesystem::path& lastChosen) {
    const auto chosen = askForDocument(this, toQString(startFolder), toQString(lastChosen));
    if (!chosen) {
        return std::nullopt;
    }
    return toPath(*chosen);
}

FrameDialogOutcome MainWindow::chooseFrames(const std::filesystem::path& document) {
    FrameDialog dialog(document, this,
                       [this] { presenter_.helpKeyPressed(HelpTopic::FrameDialog); });
    dialog.exec();
    return dialog.outcome();
}

void MainWindow::showMessage(const std::string& shown) {
    showMessageBox(dialogOwner(), QMessageBox::NoIcon, text(shown));
}

void MainWindow::showWarning(const std::string& shown) {
    showMessageBox(dialogOwner(), QMessageBox::Warning, text(shown));
}

void MainWindow::showError(const std::string& shown) {
    showMessageBox(dialogOwner(), QMessageBox::Critical, text(shown));
}

void MainWindow::showNotes(const NotesMessage& message, const std::function<void()>& saveNotes) {
    showNotesBox(this, message, saveNotes);
}

std::optional<std::filesystem::path>
MainWindow::chooseNotesFile(const std::filesystem::path& suggested) {
    const auto chosen = askForNotesFile(dialogOwner(), toQString(suggested));
    if (!chosen) {
        return std::nullopt;
    }
    return toPath(*chosen);
}

void MainWindow::enableRuns(bool enabled) {
    convertButton_->setEnabled(enabled);
    resultsButton_->setEnabled(enabled);
}

bool MainWindow::showCompiledHelp(const std::filesystem::path& helpFile, int context) {
    return help_->showCompiledHelp(toQString(helpFile), context);
}

void MainWindow::showGuide(const std::string& page) {
    // F1 in the frame dialog asks while that dialog is modal: the guide belongs to it then.
    help_->showGuide(dialogOwner(), text(page));
}

void MainWindow::setBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::close() {
    QWidget::close();
}

} // namespace velmora::app
