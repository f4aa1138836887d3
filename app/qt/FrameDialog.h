#pragma once

#include "app/presenter/FrameDialogModel.h"
#include "app/presenter/MainView.h"

#include <QDialog>
#include <QString>

#include <filesystem>
#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace velmora::app {

class GradientPanel;

// The time-frame selection dialog drawn with Qt: its model lists the frames of the Sauce
// document, gives the details of the current one and checks the selection when the dialog
// closes; the dialog shows them and passes the user's clicks and keys on.
class FrameDialog : public QDialog {
    Q_OBJECT
public:
    // Shows one of the closing check's messages; the dialog is still on the screen.
    using MessageHook = std::function<void(QWidget* parent, const QString& text)>;

    // askForHelp answers F1 in the dialog.
    explicit FrameDialog(const std::filesystem::path& document, QWidget* owner = nullptr,
                         std::function<void()> askForHelp = {});

    // What the dialog ended with: the closing check's verdict, and whether the file it read
    // gave frames to choose from.
    FrameDialogOutcome outcome() const { return model_.outcome(verdict_); }

    void setMessageHook(MessageHook hook) { showMessage_ = std::move(hook); }

    // Runs the closing check whichever way the dialog closes: Continuar, Enter, the close box,
    // Alt+F4 or Escape. The close is never refused. Closing a dialog that is not shown does
    // nothing more.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void listDocumentFrames();
    void showCurrentFrame();
    void followFrameList();
    void checkSelection();

    FrameDialogModel model_;
    FrameDialogModel::Verdict verdict_;
    bool listed_ = false;
    bool closing_ = false;
    MessageHook showMessage_;

    GradientPanel* backgroundPanel_ = nullptr;
    QLabel* instructionLabel_ = nullptr;
    QLabel* multipleChoiceHint_ = nullptr;
    QLabel* framesHeading_ = nullptr;
    QLabel* slotsHeading_ = nullptr;
    QListWidget* frameList_ = nullptr;
    QListWidget* slotList_ = nullptr;
    QLabel* frameNameLabel_ = nullptr;
    QLabel* frameDateLabel_ = nullptr;
    QLabel* secondDateLabel_ = nullptr;
    // Hidden: holds the current frame, which the labels and the slot list show.
    QComboBox* currentFrame_ = nullptr;
    QPushButton* continueButton_ = nullptr;
};

} // namespace velmora::app
