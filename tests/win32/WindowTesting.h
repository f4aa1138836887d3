#pragma once

#include "app/presenter/MainPresenter.h"
#include "app/win32/MainWindow.h"
#include "support/TestSupport.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Driving the Win32 face from inside its own process: its windows found, read and clicked
// through their messages, and its modal dialogs answered from a timer that their own message
// loops run.
namespace velmora::testing::win32 {

using namespace std::chrono_literals;

// Runs the thread's messages until done() holds or the time is up; whether it held.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds patience = 10s);
// Runs every message that is waiting, and the painting they cause.
void pumpPending();

std::string textOf(HWND window);
std::string itemText(HWND dialog, int id);
// A control's rectangle in its dialog's client area.
RECT itemRect(HWND dialog, int id);
RECT clientRect(HWND window);
// The font a control draws with.
LOGFONTW fontOf(HWND control);
// The colour of one pixel of a window's client area as it paints itself.
COLORREF pixelAt(HWND window, int x, int y);

// The text of a message box, its caption, and the icon it shows (0, MB_ICONWARNING,
// MB_ICONERROR, MB_ICONINFORMATION).
struct MessageBoxContent {
    std::string caption;
    std::string text;
    UINT icon = 0;
};
MessageBoxContent readMessageBox(HWND box);

// Presses a button the way a click does, after the current message has been handled.
void clickLater(HWND button);
// Presses a key (and lets it go) through the keyboard's own input queue: it reaches the window
// with the focus, as a key pressed by the user does. modifiers: VK_MENU for Alt, VK_CONTROL...
void pressKey(WORD key, std::vector<WORD> modifiers = {});

// Answers the modal windows that the code under test opens, in order. Each step waits for the
// next of the thread's windows with its caption (UTF-8) to come up, then acts on it; the act
// should end the window by posting, not sending, so that the window's own loop ends it. A
// window that comes up out of turn, or a step that waits too long, is recorded as a failure
// and the window is closed, so that no test hangs.
class ModalScript {
public:
    using Act = std::function<void(HWND window)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& then(std::string caption, Act act);
    // The main window and the other windows the script leaves alone.
    void ignore(HWND window) { ignored_.push_back(window); }

    bool finished() const { return next_ == steps_.size(); }
    const std::vector<std::string>& failures() const { return failures_; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void look();

    struct Step {
        std::string caption;
        Act act;
    };
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::vector<HWND> ignored_;
    std::vector<HWND> answered_;
    std::vector<std::string> failures_;
    std::chrono::steady_clock::time_point waitingSince_;
    bool acting_ = false;
};

// Acts of a script.
ModalScript::Act pressOk(); // IDOK: the OK of a message box, Continuar, Aceptar
ModalScript::Act readInto(MessageBoxContent& content, ModalScript::Act then = pressOk());

// A main window on a fresh folder: its ini file, its exchange folder, its runs and its file
// choosers, all the test's.
struct WindowUnderTest {
    TempDir folder;
    std::filesystem::path iniFile;
    std::filesystem::path exchange;
    app::WindowSetup setup;
    app::win32::MainWindow::FileChoosers choosers;

    // What the document chooser was asked and what it answers: a path, or nothing (cancelled).
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> documentRequests;
    std::optional<std::filesystem::path> documentAnswer;

    explicit WindowUnderTest(std::vector<std::string> arguments = {});
    // A document in the folder, that exists.
    std::filesystem::path existingDocument(const std::string& name = "export.xml");
    // Creates the window with the setup as it stands and shows it.
    app::win32::MainWindow& open();
    std::unique_ptr<app::win32::MainWindow> window;
};

} // namespace velmora::testing::win32
