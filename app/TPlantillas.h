#pragma once

#include "conversion/FrameSelection.h"

#include <QDialog>
#include <QString>

#include <functional>

class GradientPanel;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

// The time-frame selection dialog: lists the frames of the Sauce document, shows the name and
// slots of the current one, and on closing checks that one or two frames are selected and
// builds resultado from their keys. It reads the file itself, apart from the run's document.
class TPlantillas : public QDialog {
    Q_OBJECT
public:
    // Shows one of the closing check's messages; the dialog is still on the screen.
    using MessageHook = std::function<void(QWidget* parent, const QString& text)>;

    static constexpr int kHelpContext = 3;

    explicit TPlantillas(QString filenameXML, QWidget* owner = nullptr);

    bool resultMH() const { return resultMH_; }
    QString resultado() const { return resultado_; }

    // Whether the file read on opening gave frames to choose from, and if not, what went wrong
    // reading it (empty when it was read but lists fewer than two frames).
    bool framesListed() const;
    const std::optional<velmora::Error>& readProblem() const;

    void setMessageHook(MessageHook hook) { showMessage_ = std::move(hook); }

    // Runs the closing check whichever way the dialog closes: Continuar, Enter, the close box,
    // Alt+F4 or Escape. The close is never refused. Closing a dialog that is not shown does
    // nothing more.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void FormActivate();
    void ComboBoxPlantillaChange();
    void ListBox2Click();
    void BitBtnContinuarClick();
    void FormClose();

    QString filenameXML_;
    velmora::FrameListing listing_;
    bool activated_ = false;
    bool closing_ = false;
    bool resultMH_ = false;
    QString resultado_;
    MessageHook showMessage_;

    GradientPanel* Draw3D4 = nullptr;
    QLabel* LabelPlantillas = nullptr;
    QLabel* LabelSelec = nullptr;
    QLabel* LabelMarcos = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox2 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QLabel* LabelNombre = nullptr;
    QLabel* LabelPlanFec1 = nullptr;
    QLabel* LabelPlanFec2 = nullptr;
    QComboBox* ComboBoxPlantilla = nullptr;
    QPushButton* BitBtnContinuar = nullptr;
};
