#pragma once

#include "app/presenter/MainPresenter.h"
#include "app/presenter/MainView.h"
#include "app/win32/CompiledHelp.h"
#include "app/win32/Dialog.h"
#include "app/win32/Gdi.h"
#include "app/win32/HelpWindow.h"
#include "app/win32/ModelessKeyboard.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace velmora::app::win32 {

// The main window of velmora.exe: two runs on two panels, the help and the way out. It only
// draws, asks and reports; what it does is decided by the presenter, which it tells of every
// click, key and close.
class MainWindow final : public Dialog, public MainView {
public:
    // How the window asks for files. The program uses Windows' file dialogs; a test answers
    // itself.
    struct FileChoosers {
        std::function<std::optional<std::filesystem::path>(HWND owner,
                                                           const std::filesystem::path& startFolder,
                                                           const std::filesystem::path& lastChosen)>
            document;
        std::function<std::optional<std::filesystem::path>(HWND owner,
                                                           const std::filesystem::path& suggested)>
            notesFile;
    };
    static FileChoosers windowsFileDialogs();

    // scale: the screen's, unless a test asks for another.
    explicit MainWindow(WindowSetup setup, FileChoosers choosers = windowsFileDialogs(),
                        Scale scale = Scale::ofScreen());
    ~MainWindow() override;

    // Shows the window; once it is on the screen, automatic mode starts its run.
    void show();
    // Runs the thread's message loop until the window has closed.
    void runUntilClosed();
    bool isOpen() const { return handle() != nullptr; }

    const MainPresenter& presenter() const { return presenter_; }
    // The guide's window, while one is open.
    const HelpWindow* guideWindow() const;

    // MainView
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

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void paintPanels(HDC dc) const;
    INT_PTR labelColours(HDC dc, HWND label) const;
    void showBox(const std::string& text, UINT icon);
    // The window that the run's next modal step belongs to: the main window, or the run's
    // dialog open on top of it.
    HWND topWindow() const;

    FileChoosers choosers_;
    Scale scale_;
    Font titleFont_;
    Font versionFont_;
    Icon checkMark_;
    Icon closeMark_;
    HICON programIcon_ = nullptr;
    HICON smallProgramIcon_ = nullptr;
    const Dialog* topDialog_ = nullptr;
    bool busy_ = false;
    bool endsLoop_ = false;
    CompiledHelp compiledHelp_;
    std::unique_ptr<HelpWindow> guide_;
    std::unique_ptr<ModelessKeyboard> keyboard_;
    MainPresenter presenter_;
};

} // namespace velmora::app::win32
