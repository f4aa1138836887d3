#include "app/TPlantillas.h"

#include "app/GradientPanel.h"

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
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), shown, QMessageBox::Ok, parent);
    box.exec();
}

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

TPlantillas::TPlantillas(QString filenameXML, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      filenameXML_(std::move(filenameXML)), showMessage_(showPlainMessage) {
    setObjectName(QStringLiteral("Plantillas"));
    setWindowTitle(QStringLiteral("Planillas, Marcos o Jornadas Horarias"));
    setFont(dialogFont());
    resize(370, 282);
    buildControls();

    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TPlantillas::buildControls() {
    Draw3D4 = new GradientPanel(kSkyBlue, Qt::white, kInactiveCaption, this);
    Draw3D4->setObjectName(QStringLiteral("Draw3D4"));
    Draw3D4->setGeometry(0, 0, 369, 281);
    Draw3D4->setProperty("helpContext", kHelpContext);

    LabelPlantillas = label(Draw3D4, "LabelPlantillas",
                            QStringLiteral("Seleccione 1, o los 2 Marcos Horarios que quiere "
                                           "aplicar a su Horario en Horadia."),
                            QRect(16, 2, 321, 33), arial(13, true), true);
    LabelSelec = label(Draw3D4, "LabelSelec",
                       QStringLiteral("Para seleccionar mas de un Marco Horario, mantenga (Ctrl) "
                                      "pulsado y seleccione cada marco con 1 click del botón "
                                      "izquierdo del ratón."),
                       QRect(16, 36, 321, 50), arial(13, true, true), true);
    setTextColour(LabelSelec, Qt::red);
    LabelMarcos = label(Draw3D4, "LabelMarcos", QStringLiteral("MARCOS"), QRect(40, 86, 74, 16),
                        arial(16, true), false);
    setTextColour(LabelMarcos, kMaroon);
    Label1 = label(Draw3D4, "Label1", QStringLiteral("HORAS"), QRect(215, 86, 67, 18),
                   arial(16, true), false);
    setTextColour(Label1, kMaroon);

    ListBox2 = new QListWidget(Draw3D4);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setGeometry(16, 103, 127, 45);
    ListBox2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox2->setSortingEnabled(false);

    ListBox1 = new QListWidget(Draw3D4);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(152, 103, 193, 146);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setSortingEnabled(false);

    LabelNombre = label(Draw3D4, "LabelNombre", QStringLiteral("-"), QRect(9, 151, 120, 41),
                        arial(16, true, false, true), true);
    setTextColour(LabelNombre, kMaroon);
    LabelPlanFec1 = label(Draw3D4, "LabelPlanFec1", QStringLiteral("-"), QRect(9, 196, 120, 23),
                          arial(16, true), false);
    setTextColour(LabelPlanFec1, kMaroon);
    LabelPlanFec2 = label(Draw3D4, "LabelPlanFec2", QStringLiteral("-"), QRect(9, 226, 120, 23),
                          arial(16, true), false);
    setTextColour(LabelPlanFec2, kMaroon);

    ComboBoxPlantilla = new QComboBox(Draw3D4);
    ComboBoxPlantilla->setObjectName(QStringLiteral("ComboBoxPlantilla"));
    ComboBoxPlantilla->setGeometry(150, 254, 81, 21);
    ComboBoxPlantilla->hide();

    BitBtnContinuar = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                      QStringLiteral("Continuar"), Draw3D4);
    BitBtnContinuar->setObjectName(QStringLiteral("BitBtnContinuar"));
    BitBtnContinuar->setGeometry(255, 253, 89, 25);
    QFont bold = font();
    bold.setBold(true);
    BitBtnContinuar->setFont(bold);
    BitBtnContinuar->setDefault(true);
    BitBtnContinuar->setProperty("helpContext", kHelpContext);

    // Following both the selection and the focus line keeps the shown frame on the line last
    // clicked or moved to, whichever of the two changes last.
    connect(ListBox2, &QListWidget::itemSelectionChanged, this, &TPlantillas::ListBox2Click);
    connect(ListBox2, &QListWidget::currentRowChanged, this, &TPlantillas::ListBox2Click);
    connect(BitBtnContinuar, &QPushButton::clicked, this, &TPlantillas::BitBtnContinuarClick);
}

bool TPlantillas::framesListed() const {
    return ListBox2->count() > 0;
}

const std::optional<velmora::Error>& TPlantillas::readProblem() const {
    return listing_.problem();
}

void TPlantillas::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TPlantillas::FormActivate() {
    listing_ = velmora::FrameListing::load(std::filesystem::path(filenameXML_.toStdU16String()));
    const auto& keys = listing_.listedKeys();
    if (!keys.empty()) {
        ComboBoxPlantilla->clear();
        ListBox2->clear();
        for (const auto& key : keys) {
            ComboBoxPlantilla->addItem(fromUtf8(key));
            ListBox2->addItem(fromUtf8(key));
        }
    }
    ComboBoxPlantilla->setCurrentIndex(0);
    ComboBoxPlantillaChange();
}

void TPlantillas::ComboBoxPlantillaChange() {
    const velmora::FrameDetails details =
        listing_.details(ComboBoxPlantilla->currentText().toStdString());
    LabelNombre->setText(fromUtf8(details.name));
    LabelPlanFec1->setText(fromUtf8(details.dateLabel));
    LabelPlanFec2->setText(fromUtf8(details.secondLabel));
    if (details.slotLines) {
        ListBox1->clear();
        for (const auto& line : *details.slotLines) {
            ListBox1->addItem(fromUtf8(line));
        }
    }
}

void TPlantillas::ListBox2Click() {
    ComboBoxPlantilla->setCurrentIndex(ListBox2->currentRow());
    ComboBoxPlantillaChange();
}

void TPlantillas::BitBtnContinuarClick() {
    accept();
}

void TPlantillas::FormClose() {
    // Lines in list order: selectedItems() would give them in the order they were clicked.
    std::vector<std::string> selectedKeys;
    for (int row = 0; row < ListBox2->count(); ++row) {
        if (ListBox2->item(row)->isSelected()) {
            selectedKeys.push_back(ListBox2->item(row)->text().toStdString());
        }
    }
    const velmora::FrameSelection selection = velmora::closeSelection(selectedKeys);
    if (!selection.message.empty()) {
        showMessage_(this, fromUtf8(selection.message));
    }
    resultMH_ = selection.resultMH;
    resultado_ = fromUtf8(selection.resultado);
}

void TPlantillas::done(int result) {
    if (isVisible() && !closing_) {
        closing_ = true;
        FormClose();
        closing_ = false;
    }
    QDialog::done(result);
}
