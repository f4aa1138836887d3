#include "app/qt/FrameDialog.h"

#include "app/qt/GradientPanel.h"
#include "app/qt/HelpDesk.h"
#include "app/qt/WindowDialogs.h"
#include "messages/WindowTexts.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <string>
#include <vector>

namespace velmora::app {

namespace {

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kSkyBlue(0xA6, 0xCA, 0xF0);
// Qt has no role for the title bar colour of an inactive window; this is the classic one.
const QColor kInactiveCaption(0xBF, 0xCD, 0xDB);

QFont arial(int pixels, bool bold, bool italic = false, bool underline = false) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

// The dialog's own font was MS Sans Serif, which has no stand-in here: the default sans font at
// the same size takes its place.
QFont dialogFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
              const QFont& font, bool wordWrap) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setWordWrap(wordWrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void showPlainMessage(QWidget* parent, const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    showMessageBox(parent, QMessageBox::NoIcon, shown);
}

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString fromUtf8(const char* s) {
    return QString::fromUtf8(s);
}

} // namespace

FrameDialog::FrameDialog(const std::filesystem::path& document, QWidget* owner,
                         std::function<void()> askForHelp)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      model_(document), showMessage_(showPlainMessage) {
    setObjectName(QStringLiteral("frameDialog"));
    setWindowTitle(fromUtf8(messages::kFrameDialogCaption));
    setFont(dialogFont());
    resize(370, 282);
    createControls();
    if (askForHelp) {
        addHelpKey(this, std::move(askForHelp));
    }

    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void FrameDialog::createControls() {
    backgroundPanel_ = new GradientPanel(kSkyBlue, Qt::white, kInactiveCaption, this);
    backgroundPanel_->setObjectName(QStringLiteral("backgroundPanel"));
    backgroundPanel_->setGeometry(0, 0, 369, 281);
    backgroundPanel_->setProperty(helpContextProperty, windowHelpContext);

    instructionLabel_ =
        label(backgroundPanel_, "instructionLabel", fromUtf8(messages::kFrameInstruction),
              QRect(16, 2, 321, 33), arial(13, true), true);
    multipleChoiceHint_ =
        label(backgroundPanel_, "multipleChoiceHint", fromUtf8(messages::kFrameMultipleChoiceHint),
              QRect(16, 36, 321, 50), arial(13, true, true), true);
    setTextColour(multipleChoiceHint_, Qt::red);
    framesHeading_ = label(backgroundPanel_, "framesHeading", fromUtf8(messages::kFramesHeading),
                           QRect(40, 86, 74, 16), arial(16, true), false);
    setTextColour(framesHeading_, kMaroon);
    slotsHeading_ = label(backgroundPanel_, "slotsHeading", fromUtf8(messages::kSlotsHeading),
                          QRect(215, 86, 67, 18), arial(16, true), false);
    setTextColour(slotsHeading_, kMaroon);

    frameList_ = new QListWidget(backgroundPanel_);
    frameList_->setObjectName(QStringLiteral("frameList"));
    frameList_->setGeometry(16, 103, 127, 45);
    frameList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    frameList_->setSortingEnabled(false);

    slotList_ = new QListWidget(backgroundPanel_);
    slotList_->setObjectName(QStringLiteral("slotList"));
    slotList_->setGeometry(152, 103, 193, 146);
    slotList_->setSelectionMode(QAbstractItemView::SingleSelection);
    slotList_->setSortingEnabled(false);

    frameNameLabel_ = label(backgroundPanel_, "frameNameLabel", QStringLiteral("-"),
                            QRect(9, 151, 120, 41), arial(16, true, false, true), true);
    setTextColour(frameNameLabel_, kMaroon);
    frameDateLabel_ = label(backgroundPanel_, "frameDateLabel", QStringLiteral("-"),
                            QRect(9, 196, 120, 23), arial(16, true), false);
    setTextColour(frameDateLabel_, kMaroon);
    secondDateLabel_ = label(backgroundPanel_, "secondDateLabel", QStringLiteral("-"),
                             QRect(9, 226, 120, 23), arial(16, true), false);
    setTextColour(secondDateLabel_, kMaroon);

    currentFrame_ = new QComboBox(backgroundPanel_);
    currentFrame_->setObjectName(QStringLiteral("currentFrame"));
    currentFrame_->setGeometry(150, 254, 81, 21);
    currentFrame_->hide();

    continueButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                      fromUtf8(messages::kContinueButton), backgroundPanel_);
    continueButton_->setObjectName(QStringLiteral("continueButton"));
    continueButton_->setGeometry(255, 253, 89, 25);
    QFont bold = font();
    bold.setBold(true);
    continueButton_->setFont(bold);
    continueButton_->setDefault(true);
    continueButton_->setProperty(helpContextProperty, windowHelpContext);

    // Following both the selection and the focus line keeps the shown frame on the line last
    // clicked or moved to, whichever of the two changes last.
    connect(frameList_, &QListWidget::itemSelectionChanged, this, &FrameDialog::followFrameList);
    connect(frameList_, &QListWidget::currentRowChanged, this, &FrameDialog::followFrameList);
    connect(continueButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void FrameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!listed_) {
        listed_ = true;
        listDocumentFrames();
    }
}

void FrameDialog::listDocumentFrames() {
    model_.load();
    for (const auto& key : model_.frameKeys()) {
        currentFrame_->addItem(fromUtf8(key));
        frameList_->addItem(fromUtf8(key));
    }
    currentFrame_->setCurrentIndex(0);
    showCurrentFrame();
}

void FrameDialog::showCurrentFrame() {
    // No current item (-1) is a row beyond the list.
    const FrameDetails details =
        model_.detailsAt(static_cast<std::size_t>(currentFrame_->currentIndex()));
    frameNameLabel_->setText(fromUtf8(details.name));
    frameDateLabel_->setText(fromUtf8(details.dateLabel));
    secondDateLabel_->setText(fromUtf8(details.secondLabel));
    if (details.slotLines) {
        slotList_->clear();
        for (const auto& line : *details.slotLines) {
            slotList_->addItem(fromUtf8(line));
        }
    }
}

void FrameDialog::followFrameList() {
    currentFrame_->setCurrentIndex(frameList_->currentRow());
    showCurrentFrame();
}

void FrameDialog::checkSelection() {
    std::vector<std::size_t> selectedRows;
    for (int row = 0; row < frameList_->count(); ++row) {
        if (frameList_->item(row)->isSelected()) {
            selectedRows.push_back(static_cast<std::size_t>(row));
        }
    }
    verdict_ = model_.close(selectedRows);
    if (!verdict_.message.empty()) {
        showMessage_(this, fromUtf8(verdict_.message));
    }
}

void FrameDialog::done(int result) {
    if (isVisible() && !closing_) {
        closing_ = true;
        checkSelection();
        closing_ = false;
    }
    QDialog::done(result);
}

} // namespace velmora::app
