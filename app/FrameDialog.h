#pragma once

#include "conversion/FrameSelection.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace velmora::app {

class GradientPanel;
class HelpDesk;

// The time-frame selection dialog: lists the frames of the Sauce document, shows the name and
// slots of the current one, and on closing checks that one or two frames are selected and
// joins their keys. It reads the file itself, apart from the run's document.
class FrameDialog : public QDialog {
    Q_OBJECT
public:
    // Shows one of the closing check's messages; the dialog is still on the screen.
    using MessageHook = std::function<void(QWidget* parent, const QString& text)>;

    // help answers F1 in the dialog; the guide alone when none is given.
    explicit FrameDialog(QString documentPath, QWidget* owner = nullptr,
                         std::shared_ptr<HelpDesk> help = nullptr);

    // Whether the selection at closing was one or two frames, and their keys in list order,
    // each padded or cut to 10 characters (empty when the selection was refused).
    bool choiceIsValid() const { return choiceIsValid_; }
    QString chosenKeys() const { return chosenKeys_; }

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
    void createControls();
    void listDocumentFrames();
    void showCurrentFrame();
    void followFrameList();
    void checkSelection();

    QString documentPath_;
    velmora::FrameListing listing_;
    bool listed_ = false;
    bool closing_ = false;
    bool choiceIsValid_ = false;
    QString chosenKeys_;
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
