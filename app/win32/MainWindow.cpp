#include "app/win32/MainWindow.h"

#include "app/win32/FileDialogs.h"
#include "app/win32/FrameDialog.h"
#include "app/win32/Glyphs.h"
#include "app/win32/NotesDialog.h"
#include "app/win32/Resources.h"
#include "app/win32/WideText.h"
#include "messages/WindowTexts.h"

namespace velmora::app::win32 {

namespace {

// Sent to the window once it is on the screen, so that automatic mode's run starts with the
// window already behind its first dialog.
constexpr UINT kShownMessage = WM_APP + 1;

struct Panel {
    int left, top, width, height;
    COLORREF start, middle, end;
};
constexpr COLORREF kUpperStart = RGB(0xF9, 0xD3, 0x7D);
constexpr COLORREF kUpperMiddle = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kUpperEnd = RGB(0xFF, 0xEE, 0xDD);
// The conversion's panel, the results' panel, and the bottom one on top of both, in pixels of
// the client area at 96 DPI.
constexpr Panel kPanels[] = {
    {0, 0, 315, 169, kUpperStart, kUpperMiddle, kUpperEnd},
    {316, 0, 317, 169, kUpperStart, kUpperMiddle, kUpperEnd},
    {0, 168, 633, 97, RGB(0xC2, 0xCD, 0xFE), RGB(0xCF, 0xF2, 0xFE), RGB(0xCC, 0xD8, 0xE6)},
};

struct Placement {
    int id;
    int left, top, width, height;
};
// Each control at its place in its panel, the panel's corner added.
constexpr Placement kPlacements[] = {
    {IDC_CONVERSION_TITLE, 0 + 24, 0 + 24, 265, 57}, {IDC_CONVERT, 0 + 96, 0 + 120, 89, 25},
    {IDC_RESULTS_TITLE, 316 + 8, 0 + 24, 305, 57},   {IDC_RESULTS, 316 + 96, 0 + 120, 89, 25},
    {IDC_QUIT, 0 + 256, 168 + 32, 89, 25},           {IDC_HELP_CONTENTS, 0 + 512, 168 + 56, 75, 25},
};
// The version label takes the size of its text.
constexpr POINT kVersionCorner{0 + 8, 168 + 72};

constexpr int kClientWidth = 632;
constexpr int kClientHeight = 266;

SIZE textSize(HWND control, HFONT font) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    const std::wstring text = wide(textOf(control));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

HICON programIcon(int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMORA),
                                         IMAGE_ICON, GetSystemMetrics(metricX),
                                         GetSystemMetrics(metricY), LR_SHARED));
}

} // namespace

MainWindow::FileChoosers MainWindow::windowsFileDialogs() {
    return {askForDocument, askWhereToSaveNotes};
}

MainWindow::MainWindow(WindowSetup setup, FileChoosers choosers, Scale scale)
    : choosers_(std::move(choosers)), scale_(scale), presenter_(*this, std::move(setup)) {
    createModeless(nullptr, IDD_MAIN);
    keyboard_ = std::make_unique<ModelessKeyboard>(handle());
}

MainWindow::~MainWindow() {
    guide_.reset();
    keyboard_.reset();
    if (handle() != nullptr) {
        endsLoop_ = false;
        DestroyWindow(handle());
    }
}

void MainWindow::initialise() {
    setText(handle(), messages::kMainWindowCaption);
    setItemText(handle(), IDC_CONVERSION_TITLE, messages::kConversionTitle);
    setItemText(handle(), IDC_RESULTS_TITLE, messages::kResultsTitle);
    setItemText(handle(), IDC_CONVERT, messages::kRunButton);
    setItemText(handle(), IDC_RESULTS, messages::kRunButton);
    setItemText(handle(), IDC_QUIT, messages::kQuitButton);
    setItemText(handle(), IDC_HELP_CONTENTS, messages::kHelpButton);
    setItemText(handle(), IDC_VERSION, messages::kVersionLabel);

    programIcon_ = programIcon(SM_CXICON, SM_CYICON);
    smallProgramIcon_ = programIcon(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon_));
    SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallProgramIcon_));

    titleFont_ = makeFont(scale_, L"Arial", 16, {.bold = true});
    versionFont_ = boldVersionOf(reinterpret_cast<HFONT>(SendMessageW(handle(), WM_GETFONT, 0, 0)));
    for (int id : {IDC_CONVERSION_TITLE, IDC_RESULTS_TITLE}) {
        SendDlgItemMessageW(handle(), id, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()),
                            FALSE);
    }
    SendDlgItemMessageW(handle(), IDC_VERSION, WM_SETFONT,
                        reinterpret_cast<WPARAM>(versionFont_.get()), FALSE);

    checkMark_ = checkMarkGlyph(scale_);
    closeMark_ = closeGlyph(scale_);
    for (int id : {IDC_CONVERT, IDC_RESULTS}) {
        SendDlgItemMessageW(handle(), id, BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(checkMark_.get()));
    }
    SendDlgItemMessageW(handle(), IDC_QUIT, BM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(closeMark_.get()));

    for (const Placement& p : kPlacements) {
        placeItem(handle(), p.id, scale_.rect(p.left, p.top, p.width, p.height));
    }
    const SIZE version = textSize(GetDlgItem(handle(), IDC_VERSION), versionFont_.get());
    placeItem(handle(), IDC_VERSION,
              {scale_.px(kVersionCorner.x), scale_.px(kVersionCorner.y),
               scale_.px(kVersionCorner.x) + version.cx, scale_.px(kVersionCorner.y) + version.cy});
    setClientSize(handle(), scale_.px(kClientWidth), scale_.px(kClientHeight));
    centreOnScreen(handle());
}

void MainWindow::show() {
    ShowWindow(handle(), SW_SHOW);
    UpdateWindow(handle());
    PostMessageW(handle(), kShownMessage, 0, 0);
}

void MainWindow::runUntilClosed() {
    endsLoop_ = true;
    MSG message;
    while (isOpen() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    endsLoop_ = false;
}

const HelpWindow* MainWindow::guideWindow() const {
    return guide_ != nullptr && guide_->isOpen() ? guide_.get() : nullptr;
}

void MainWindow::paintPanels(HDC dc) const {
    RECT client;
    GetClientRect(handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    for (const Panel& panel : kPanels) {
        fillVerticalGradient(dc, scale_.rect(panel.left, panel.top, panel.width, panel.height),
                             panel.start, panel.middle, panel.end);
    }
}

INT_PTR MainWindow::labelColours(HDC dc, HWND label) const {
    return transparentLabel(dc, GetDlgCtrlID(label) == IDC_VERSION ? RGB(0xFF, 0x00, 0x00)
                                                                   : GetSysColor(COLOR_WINDOWTEXT));
}

HWND MainWindow::topWindow() const {
    return topDialog_ != nullptr && topDialog_->handle() != nullptr ? topDialog_->handle()
                                                                    : handle();
}

std::optional<std::filesystem::path>
MainWindow::chooseDocument(const std::filesystem::path& startFolder,
                           const std::filesystem::path& lastChosen) {
    return choosers_.document(topWindow(), startFolder, lastChosen);
}

FrameDialogOutcome MainWindow::chooseFrames(const std::filesystem::path& document) {
    FrameDialog dialog(document, scale_,
                       [this] { presenter_.helpKeyPressed(HelpTopic::FrameDialog); });
    const Dialog* below = std::exchange(topDialog_, &dialog);
    FrameDialogOutcome outcome = dialog.run(handle());
    topDialog_ = below;
    return outcome;
}

void MainWindow::showBox(const std::string& text, UINT icon) {
    MessageBoxW(topWindow(), wide(text).c_str(), wide(messages::kApplicationTitle).c_str(),
                MB_OK | icon);
}

void MainWindow::showMessage(const std::string& text) {
    showBox(text, 0);
}

void MainWindow::showWarning(const std::string& text) {
    showBox(text, MB_ICONWARNING);
}

void MainWindow::showError(const std::string& text) {
    showBox(text, MB_ICONERROR);
}

void MainWindow::showNotes(const NotesMessage& message, const std::function<void()>& saveNotes) {
    NotesDialog dialog(message, saveNotes, scale_);
    const Dialog* below = std::exchange(topDialog_, &dialog);
    dialog.run(handle());
    topDialog_ = below;
}

std::optional<std::filesystem::path>
MainWindow::chooseNotesFile(const std::filesystem::path& suggested) {
    return choosers_.notesFile(topWindow(), suggested);
}

void MainWindow::enableRuns(bool enabled) {
    EnableWindow(GetDlgItem(handle(), IDC_CONVERT), enabled);
    EnableWindow(GetDlgItem(handle(), IDC_RESULTS), enabled);
}

bool MainWindow::showCompiledHelp(const std::filesystem::path& helpFile, int context) {
    return compiledHelp_.show(topWindow(), helpFile, context);
}

// The guide belongs to the window that asked for it, which a modal dialog keeps usable; asked
// from another window, a new one takes its place.
void MainWindow::showGuide(const std::string& page) {
    const HWND owner = topWindow();
    if (guide_ != nullptr && (!guide_->isOpen() || guide_->owner() != owner)) {
        guide_.reset();
    }
    if (guide_ == nullptr) {
        guide_ = std::make_unique<HelpWindow>(owner, scale_);
    }
    guide_->showPage(page);
}

void MainWindow::setBusy(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::close() {
    // After the step that asked for it has returned, as any other close.
    PostMessageW(handle(), WM_CLOSE, 0, 0);
}

INT_PTR MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        return TRUE;
    case kShownMessage:
        presenter_.windowShown();
        return TRUE;
    case WM_ERASEBKGND:
        paintPanels(reinterpret_cast<HDC>(wParam));
        return reply(TRUE);
    case WM_PRINTCLIENT:
        paintPanels(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return labelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (busy_) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return reply(TRUE);
        }
        return FALSE;
    case WM_HELP:
        presenter_.helpKeyPressed(HelpTopic::MainWindow);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CONVERT:
            presenter_.convertClicked();
            return TRUE;
        case IDC_RESULTS:
            presenter_.resultsClicked();
            return TRUE;
        case IDC_HELP_CONTENTS:
            presenter_.helpContentsClicked();
            return TRUE;
        case IDC_QUIT:
            SendMessageW(handle(), WM_CLOSE, 0, 0);
            return TRUE;
        }
        // Return and Escape do nothing here: the window is no dialog that they would end.
        return FALSE;
    case WM_CLOSE:
        presenter_.windowClosing();
        DestroyWindow(handle());
        return TRUE;
    case WM_DESTROY:
        if (endsLoop_) {
            PostQuitMessage(0);
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace velmora::app::win32
