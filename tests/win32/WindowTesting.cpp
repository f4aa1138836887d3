#include "WindowTesting.h"

#include "app/win32/WideText.h"

#include <algorithm>

namespace velmora::testing::win32 {

using app::win32::utf8;
using app::win32::wide;

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (done()) {
                return true;
            }
        }
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void pumpPending() {
    // A few rounds: handling one message often posts the next (a click, then its command).
    for (int round = 0; round < 5; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

std::string textOf(HWND window) {
    return app::win32::textOf(window);
}

std::string itemText(HWND dialog, int id) {
    return textOf(GetDlgItem(dialog, id));
}

RECT itemRect(HWND dialog, int id) {
    RECT area;
    GetWindowRect(GetDlgItem(dialog, id), &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

RECT clientRect(HWND window) {
    RECT area;
    GetClientRect(window, &area);
    return area;
}

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

COLORREF pixelAt(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

namespace {

struct IconSearch {
    HICON shown = nullptr;
};

BOOL CALLBACK findIcon(HWND child, LPARAM found) {
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        reinterpret_cast<IconSearch*>(found)->shown =
            reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

// The text control of a message box carries this identifier on every Windows, and in Wine.
constexpr int kMessageBoxText = 0xFFFF;

} // namespace

MessageBoxContent readMessageBox(HWND box) {
    MessageBoxContent content{textOf(box), itemText(box, kMessageBoxText), 0};
    IconSearch search;
    EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&search));
    const std::pair<LPCWSTR, UINT> icons[] = {{IDI_WARNING, MB_ICONWARNING},
                                              {IDI_ERROR, MB_ICONERROR},
                                              {IDI_INFORMATION, MB_ICONINFORMATION}};
    for (const auto& [icon, kind] : icons) {
        if (search.shown != nullptr && search.shown == LoadIconW(nullptr, icon)) {
            content.icon = kind;
        }
    }
    return content;
}

void clickLater(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void pressKey(WORD key, std::vector<WORD> modifiers) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD virtualKey, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD modifier : modifiers) {
        add(modifier, false);
    }
    add(key, false);
    add(key, true);
    std::reverse(modifiers.begin(), modifiers.end());
    for (WORD modifier : modifiers) {
        add(modifier, true);
    }
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {

thread_local ModalScript* runningScript = nullptr;

// How long a step waits for its window before the test is failed.
constexpr auto kStepPatience = 20s;

struct ModalSearch {
    const std::vector<HWND>* skipped;
    HWND found = nullptr;
};

// A window that blocks its owner: a message box, a dialog, a file dialog.
BOOL CALLBACK findModal(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<ModalSearch*>(search);
    const HWND owner = GetWindow(window, GW_OWNER);
    if (IsWindowVisible(window) && IsWindowEnabled(window) && owner != nullptr &&
        !IsWindowEnabled(owner) &&
        std::find(s->skipped->begin(), s->skipped->end(), window) == s->skipped->end()) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

ModalScript::ModalScript() : waitingSince_(std::chrono::steady_clock::now()) {
    runningScript = this;
    SetTimer(nullptr, 0, 20, tick);
}

ModalScript::~ModalScript() {
    runningScript = nullptr;
    // The thread's timers go with the messages still waiting for them.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
}

ModalScript& ModalScript::then(std::string caption, Act act) {
    steps_.push_back({std::move(caption), std::move(act)});
    waitingSince_ = std::chrono::steady_clock::now();
    return *this;
}

void CALLBACK ModalScript::tick(HWND, UINT, UINT_PTR timer, DWORD) {
    if (runningScript == nullptr) {
        KillTimer(nullptr, timer);
        return;
    }
    runningScript->look();
}

void ModalScript::look() {
    if (acting_) {
        return;
    }
    std::erase_if(answered_, [](HWND window) { return !IsWindowVisible(window); });
    std::vector<HWND> skipped = ignored_;
    skipped.insert(skipped.end(), answered_.begin(), answered_.end());
    ModalSearch search{&skipped};
    EnumThreadWindows(GetCurrentThreadId(), findModal, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        if (!finished() && std::chrono::steady_clock::now() - waitingSince_ > kStepPatience) {
            failures_.push_back("no window \"" + steps_[next_].caption + "\" came up");
            waitingSince_ = std::chrono::steady_clock::now();
        }
        return;
    }
    const std::string caption = textOf(search.found);
    answered_.push_back(search.found);
    if (finished() || steps_[next_].caption != caption) {
        const MessageBoxContent content = readMessageBox(search.found);
        failures_.push_back("window \"" + caption + "\" came up out of turn: " + content.text);
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        return;
    }
    acting_ = true;
    steps_[next_++].act(search.found);
    acting_ = false;
    waitingSince_ = std::chrono::steady_clock::now();
}

ModalScript::Act pressOk() {
    return [](HWND window) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
}

ModalScript::Act readInto(MessageBoxContent& content, ModalScript::Act then) {
    return [&content, then](HWND window) {
        content = readMessageBox(window);
        then(window);
    };
}

WindowUnderTest::WindowUnderTest(std::vector<std::string> arguments)
    : iniFile(folder / "Horadia.ini"), exchange(folder / "HTEMP") {
    std::filesystem::create_directories(exchange);
    setup.arguments = std::move(arguments);
    setup.iniFile = iniFile;
    setup.exchangeFolder = exchange;
    setup.runs.convert = [](const std::filesystem::path&, FrameChooser&) { return RunNotes{}; };
    setup.runs.results = [](const std::filesystem::path&) { return RunNotes{}; };
    choosers.document = [this](HWND, const std::filesystem::path& start,
                               const std::filesystem::path& last) {
        documentRequests.emplace_back(start, last);
        return documentAnswer;
    };
    choosers.notesFile = [](HWND, const std::filesystem::path&) {
        return std::optional<std::filesystem::path>{};
    };
}

std::filesystem::path WindowUnderTest::existingDocument(const std::string& name) {
    const std::filesystem::path document = folder / name;
    writeFile(document, "<SERVICIO><SALIDAS/></SERVICIO>");
    return document;
}

app::win32::MainWindow& WindowUnderTest::open() {
    window = std::make_unique<app::win32::MainWindow>(setup, choosers);
    window->show();
    return *window;
}

} // namespace velmora::testing::win32
