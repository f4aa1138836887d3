#include "app/FrameDialog.h"

#include "app/GradientPanel.h"
#include "app/HelpDesk.h"
#include "app/WindowDialogs.h"
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
    QMessageBox box(QMessageBox::NoIcon, applicationTitle, shown, QMessageBox::Ok, parent);
    box.exec();
}

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

FrameDialog::FrameDialog(QString documentPath, QWidget* owner, std::shared_ptr<HelpDesk> help)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      documentPath_(std::move(documentPath)), showMessage_(showPlainMessage) {
    setObjectName(QStringLiteral("frameDialog"));
    setWindowTitle(tr("Planillas, Marcos o Jornadas Horarias"));
    setFont(dialogFont());
    resize(370, 282);
    createControls();
    addHelpKey(this, frameDialogHelp,
               help != nullptr ? std::move(help) : std::make_shared<HelpDesk>());

    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void FrameDialog::createControls() {
    backgroundPanel_ = new GradientPanel(kSkyBlue, Qt::white, kInactiveCaption, this);
    backgroundPanel_->setObjectName(QStringLiteral("backgroundPanel"));
    backgroundPanel_->setGeometry(0, 0, 369, 281);
    backgroundPanel_->setProperty(helpContextProperty, frameDialogHelp.context);

    instructionLabel_ = label(backgroundPanel_, "instructionLabel",
                              tr("Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su "
                                 "Horario en Horadia."),
                              QRect(16, 2, 321, 33), arial(13, true), true);
    multipleChoiceHint_ = label(backgroundPanel_, "multipleChoiceHint",
                                tr("Para seleccionar mas de un Marco Horario, mantenga (Ctrl) "
                                   "pulsado y seleccione cada marco con 1 click del botón "
                                   "izquierdo del ratón."),
                                QRect(16, 36, 321, 50), arial(13, true, true), true);
    setTextColour(multipleChoiceHint_, Qt::red);
    framesHeading_ = label(backgroundPanel_, "framesHeading", tr("MARCOS"), QRect(40, 86, 74, 16),
                           arial(16, true), false);
    setTextColour(framesHeading_, kMaroon);
    slotsHeading_ = label(backgroundPanel_, "slotsHeading", tr("HORAS"), QRect(215, 86, 67, 18),
                          arial(16, true), false);
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
                                      tr("Continuar"), backgroundPanel_);
    continueButton_->setObjectName(QStringLiteral("continueButton"));
    continueButton_->setGeometry(255, 253, 89, 25);
    QFont bold = font();
    bold.setBold(true);
    continueButton_->setFont(bold);
    continueButton_->setDefault(true);
    continueButton_->setProperty(helpContextProperty, frameDialogHelp.context);

    // Following both the selection and the focus line keeps the shown frame on the line last
    // clicked or moved to, whichever of the two changes last.
    connect(frameList_, &QListWidget::itemSelectionChanged, this, &FrameDialog::followFrameList);
    connect(frameList_, &QListWidget::currentRowChanged, this, &FrameDialog::followFrameList);
    connect(continueButton_, &QPushButton::clicked, this, &QDialog::accept);
}

bool FrameDialog::framesListed() const {
    return frameList_->count() > 0;
}

const std::optional<velmora::Error>& FrameDialog::readProblem() const {
    return listing_.problem();
}

void FrameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!listed_) {
        listed_ = true;
        listDocumentFrames();
    }
}

void FrameDialog::listDocumentFrames() {
    listing_ = velmora::FrameListing::load(std::filesystem::path(documentPath_.toStdU16String()));
    const auto& keys = listing_.listedKeys();
    if (!keys.empty()) {
        currentFrame_->clear();
        frameList_->clear();
        for (const auto& key : keys) {
            currentFrame_->addItem(fromUtf8(key));
            frameList_->addItem(fromUtf8(key));
        }
    }
    currentFrame_->setCurrentIndex(0);
    showCurrentFrame();
}

void FrameDialog::showCurrentFrame() {
    const velmora::FrameDetails details =
        listing_.details(currentFrame_->currentText().toStdString());
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
    // Lines in list order: selectedItems() would give them in the order they were clicked.
    std::vector<std::string> selectedKeys;
    for (int row = 0; row < frameList_->count(); ++row) {
        if (frameList_->item(row)->isSelected()) {
            selectedKeys.push_back(frameList_->item(row)->text().toStdString());
        }
    }
    const velmora::FrameSelection selection = velmora::closeSelection(selectedKeys);
    if (selection.problem == velmora::SelectionProblem::TooManyFrames) {
        showMessage_(this, fromUtf8(velmora::messages::kTooManyFrames));
    } else if (selection.problem == velmora::SelectionProblem::NoFrame) {
        showMessage_(this, fromUtf8(velmora::messages::kNoFrameSelected));
    }
    choiceIsValid_ = selection.resultMH;
    chosenKeys_ = fromUtf8(selection.resultado);
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
