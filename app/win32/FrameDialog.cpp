#include "app/win32/FrameDialog.h"

#include "app/win32/Glyphs.h"
#include "app/win32/Resources.h"
#include "app/win32/WideText.h"
#include "messages/WindowTexts.h"

#include <windowsx.h>

namespace velmora::app::win32 {

namespace {

constexpr COLORREF kMaroon = RGB(0x80, 0x00, 0x00);
constexpr COLORREF kRed = RGB(0xFF, 0x00, 0x00);
constexpr COLORREF kSkyBlue = RGB(0xA6, 0xCA, 0xF0);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

// Where each control lies, in pixels of the dialog's client area at 96 DPI.
struct Placement {
    int id;
    int left, top, width, height;
};
constexpr Placement kPlacements[] = {
    {IDC_FRAMES_INSTRUCTION, 16, 2, 321, 33}, {IDC_FRAMES_HINT, 16, 36, 321, 50},
    {IDC_FRAMES_HEADING, 40, 86, 74, 16},     {IDC_SLOTS_HEADING, 215, 86, 67, 18},
    {IDC_FRAME_LIST, 16, 103, 127, 45},       {IDC_SLOT_LIST, 152, 103, 193, 146},
    {IDC_FRAME_NAME, 9, 151, 120, 41},        {IDC_FRAME_DATE, 9, 196, 120, 23},
    {IDC_FRAME_SECOND_DATE, 9, 226, 120, 23}, {IDOK, 255, 253, 89, 25},
};
// The background panel that holds every control, a pixel short of the client area each way.
constexpr Placement kBackground{0, 0, 0, 369, 281};

void fillList(HWND list, const std::vector<std::string>& lines) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line).c_str()));
    }
}

} // namespace

FrameDialog::FrameDialog(std::filesystem::path document, const Scale& scale,
                         std::function<void()> askHelp)
    : model_(std::move(document)), scale_(scale), askHelp_(std::move(askHelp)) {}

FrameDialogOutcome FrameDialog::run(HWND owner) {
    runModal(owner, IDD_FRAMES);
    return model_.outcome(verdict_);
}

void FrameDialog::initialise() {
    setText(handle(), messages::kFrameDialogCaption);
    // Only the close box in the title bar.
    EnableMenuItem(GetSystemMenu(handle(), FALSE), SC_MINIMIZE, MF_GRAYED);
    setItemText(handle(), IDC_FRAMES_INSTRUCTION, messages::kFrameInstruction);
    setItemText(handle(), IDC_FRAMES_HINT, messages::kFrameMultipleChoiceHint);
    setItemText(handle(), IDC_FRAMES_HEADING, messages::kFramesHeading);
    setItemText(handle(), IDC_SLOTS_HEADING, messages::kSlotsHeading);
    setItemText(handle(), IDOK, messages::kContinueButton);

    instructionFont_ = makeFont(scale_, L"Arial", 13, {.bold = true});
    hintFont_ = makeFont(scale_, L"Arial", 13, {.bold = true, .italic = true});
    headingFont_ = makeFont(scale_, L"Arial", 16, {.bold = true});
    nameFont_ = makeFont(scale_, L"Arial", 16, {.bold = true, .underline = true});
    boldFont_ = boldVersionOf(reinterpret_cast<HFONT>(SendMessageW(handle(), WM_GETFONT, 0, 0)));
    const std::pair<int, HFONT> fonts[] = {{IDC_FRAMES_INSTRUCTION, instructionFont_.get()},
                                           {IDC_FRAMES_HINT, hintFont_.get()},
                                           {IDC_FRAMES_HEADING, headingFont_.get()},
                                           {IDC_SLOTS_HEADING, headingFont_.get()},
                                           {IDC_FRAME_NAME, nameFont_.get()},
                                           {IDC_FRAME_DATE, headingFont_.get()},
                                           {IDC_FRAME_SECOND_DATE, headingFont_.get()},
                                           {IDOK, boldFont_.get()}};
    for (const auto& [id, font] : fonts) {
        SendDlgItemMessageW(handle(), id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    checkMark_ = checkMarkGlyph(scale_);
    SendDlgItemMessageW(handle(), IDOK, BM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(checkMark_.get()));
    for (const Placement& p : kPlacements) {
        placeItem(handle(), p.id, scale_.rect(p.left, p.top, p.width, p.height));
    }
    setClientSize(handle(), scale_.px(370), scale_.px(282));
    centreOnScreen(handle());
    listFrames();
}

// The document is read once, as the dialog opens; the first frame's details show, with no line
// selected yet.
void FrameDialog::listFrames() {
    model_.load();
    if (!model_.frameKeys().empty()) {
        fillList(GetDlgItem(handle(), IDC_FRAME_LIST), model_.frameKeys());
    }
    showDetails(0);
}

void FrameDialog::showDetails(std::size_t row) {
    const FrameDetails details = model_.detailsAt(row);
    const std::pair<int, const std::string*> labels[] = {
        {IDC_FRAME_NAME, &details.name},
        {IDC_FRAME_DATE, &details.dateLabel},
        {IDC_FRAME_SECOND_DATE, &details.secondLabel}};
    for (const auto& [id, text] : labels) {
        setItemText(handle(), id, *text);
        repaintOverBackground(handle(), GetDlgItem(handle(), id));
    }
    if (details.slotLines) {
        fillList(GetDlgItem(handle(), IDC_SLOT_LIST), *details.slotLines);
    }
}

// However the dialog closes (Continuar, Return, Escape, the close box, Alt+F4), the selection is
// checked, and what is wrong with it said while the dialog is still on the screen.
void FrameDialog::closeChecked() {
    HWND frames = GetDlgItem(handle(), IDC_FRAME_LIST);
    const auto count = int(SendMessageW(frames, LB_GETSELCOUNT, 0, 0));
    std::vector<int> selected(std::size_t(count > 0 ? count : 0));
    if (count > 0) {
        SendMessageW(frames, LB_GETSELITEMS, WPARAM(count),
                     reinterpret_cast<LPARAM>(selected.data()));
    }
    const std::vector<std::size_t> rows(selected.begin(), selected.end());
    verdict_ = model_.close(rows);
    if (!verdict_.message.empty()) {
        MessageBoxW(handle(), wide(verdict_.message).c_str(),
                    wide(messages::kApplicationTitle).c_str(), MB_OK);
    }
    EndDialog(handle(), IDOK);
}

INT_PTR FrameDialog::labelColours(HDC dc, HWND label) const {
    switch (GetDlgCtrlID(label)) {
    case IDC_FRAMES_INSTRUCTION:
        return transparentLabel(dc, GetSysColor(COLOR_WINDOWTEXT));
    case IDC_FRAMES_HINT:
        return transparentLabel(dc, kRed);
    default:
        return transparentLabel(dc, kMaroon);
    }
}

void FrameDialog::paintBackground(HDC dc) const {
    RECT client;
    GetClientRect(handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    fillVerticalGradient(
        dc, scale_.rect(kBackground.left, kBackground.top, kBackground.width, kBackground.height),
        kSkyBlue, kWhite, GetSysColor(COLOR_INACTIVECAPTION));
}

INT_PTR FrameDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        return TRUE;
    case WM_ERASEBKGND:
        paintBackground(reinterpret_cast<HDC>(wParam));
        return reply(TRUE);
    case WM_PRINTCLIENT:
        paintBackground(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_SIZE:
        // The panel keeps its size: what the frame uncovers is repainted.
        InvalidateRect(handle(), nullptr, TRUE);
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return labelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_HELP:
        askHelp_();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FRAME_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                // The line last clicked or moved to is the current frame.
                const auto caret =
                    LRESULT(SendMessageW(reinterpret_cast<HWND>(lParam), LB_GETCARETINDEX, 0, 0));
                if (caret != LB_ERR) {
                    showDetails(std::size_t(caret));
                }
            }
            return TRUE;
        case IDOK:
        case IDCANCEL:
            closeChecked();
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace velmora::app::win32
