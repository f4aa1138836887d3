#pragma once

#include "app/presenter/MainPresenter.h"
#include "app/presenter/MainView.h"
#include "app/qt/HelpDesk.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace velmora::app {

class GradientPanel;

// The main window drawn with Qt: two runs on two panels, the help and the way out. It passes
// the user's clicks and keys to its presenter, which decides everything, and shows what the
// presenter asks for in Qt's windows and dialogs.
class MainWindow : public QWidget, public MainView {
    Q_OBJECT
public:
    explicit MainWindow(WindowSetup setup,
                        std::shared_ptr<HelpDesk> help = std::make_shared<HelpDesk>(),
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    const MainPresenter& presenter() const { return presenter_; }

    // What the presenter asks of the window.
    std::optional<std::filesystem::path>
    chooseDocument(const std::filesystem::path& startFolder,
                   const std::filesystem::path& lastChosen) override;
    FrameDialogOutcome chooseFrames(const std::filesystem::path& document) override;
    void showMessage(const std::string& text) override;
    void showWarning(const std::string& text) override;
    void showError(const std::string& text) override;
    void showNotes(const NotesMessage& message, const std::function<void()>& saveNotes) override;
    std::optional<std::filesystem::path>
    chooseNotesFile(const std::filesystem::path& suggested) override;
    void enableRuns(bool enabled) override;
    bool showCompiledHelp(const std::filesystem::path& helpFile, int context) override;
    void showGuide(const std::string& page) override;
    void setBusy(bool busy) override;
    void close() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    // The window a dialog belongs to: the modal one in front, if any, else this one.
    QWidget* dialogOwner();

    MainPresenter presenter_;
    std::shared_ptr<HelpDesk> help_;
    bool busy_ = false;

    GradientPanel* conversionPanel_ = nullptr;
    GradientPanel* resultsPanel_ = nullptr;
    GradientPanel* bottomPanel_ = nullptr;
    QLabel* conversionTitle_ = nullptr;
    QLabel* resultsTitle_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QPushButton* convertButton_ = nullptr;
    QPushButton* resultsButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};

} // namespace velmora::app
