#include "app/win32/NotesDialog.h"

#include "app/win32/Resources.h"
#include "app/win32/WideText.h"
#include "messages/WindowTexts.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace velmora::app::win32 {

namespace {

constexpr int kMargin = 12;
constexpr int kIconSide = 32;
constexpr int kButtonHeight = 25;
// The notes run to dozens of long sentences: they get an area they can be read in.
constexpr int kDetailsWidth = 560;
constexpr int kDetailsHeight = 280;

// The edit control ends its lines with "\r\n".
std::string withWindowsLineEnds(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

int buttonWidth(HWND button, const Scale& scale) {
    SIZE ideal{};
    // The button's own measure of its caption, where the control offers it.
    if (SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) &&
        ideal.cx > 0) {
        return std::max(int(ideal.cx) + scale.px(16), scale.px(89));
    }
    return scale.px(130);
}

} // namespace

NotesDialog::NotesDialog(const NotesMessage& message, std::function<void()> saveNotes,
                         const Scale& scale)
    : message_(message), saveNotes_(std::move(saveNotes)), scale_(scale) {}

void NotesDialog::run(HWND owner) {
    runModal(owner, IDD_NOTES);
}

void NotesDialog::initialise() {
    setText(handle(), messages::kApplicationTitle);
    SendDlgItemMessageW(handle(), IDC_NOTES_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_INFORMATION)), 0);
    setItemText(handle(), IDC_NOTES_TEXT, message_.text);
    setItemText(handle(), IDC_NOTES_SUMMARY, message_.summary);
    setItemText(handle(), IDC_NOTES_DETAILS, withWindowsLineEnds(message_.details));
    setItemText(handle(), IDC_NOTES_SAVE, messages::kSaveNotesButton);
    setItemText(handle(), IDC_NOTES_SHOW_DETAILS, messages::kShowDetailsButton);
    setItemText(handle(), IDOK, messages::kOkButton);
    layOut();
}

int NotesDialog::textHeight(int id, int width) const {
    HWND label = GetDlgItem(handle(), id);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring text = wide(textOf(label));
    RECT area{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return area.bottom;
}

// Icon on the left, the message and the summary beside it, the buttons under them and the
// details, when shown, at the bottom.
void NotesDialog::layOut() {
    const int margin = scale_.px(kMargin);
    const int width = scale_.px(kDetailsWidth) + 2 * margin;
    const int textLeft = margin + scale_.px(kIconSide) + margin;
    const int textWidth = width - textLeft - margin;
    placeItem(handle(), IDC_NOTES_ICON,
              {margin, margin, margin + scale_.px(kIconSide), margin + scale_.px(kIconSide)});
    int top = margin;
    const int messageHeight = textHeight(IDC_NOTES_TEXT, textWidth);
    placeItem(handle(), IDC_NOTES_TEXT, {textLeft, top, textLeft + textWidth, top + messageHeight});
    top += messageHeight + margin;
    const int summaryHeight = textHeight(IDC_NOTES_SUMMARY, textWidth);
    placeItem(handle(), IDC_NOTES_SUMMARY,
              {textLeft, top, textLeft + textWidth, top + summaryHeight});
    top = std::max(top + summaryHeight, margin + scale_.px(kIconSide)) + margin;

    const int buttonHeight = scale_.px(kButtonHeight);
    int left = margin;
    for (int id : {IDC_NOTES_SHOW_DETAILS, IDC_NOTES_SAVE}) {
        const int w = buttonWidth(GetDlgItem(handle(), id), scale_);
        placeItem(handle(), id, {left, top, left + w, top + buttonHeight});
        left += w + scale_.px(6);
    }
    const int okWidth = buttonWidth(GetDlgItem(handle(), IDOK), scale_);
    placeItem(handle(), IDOK, {width - margin - okWidth, top, width - margin, top + buttonHeight});
    top += buttonHeight + margin;

    HWND details = GetDlgItem(handle(), IDC_NOTES_DETAILS);
    ShowWindow(details, detailsShown_ ? SW_SHOW : SW_HIDE);
    if (detailsShown_) {
        placeItem(handle(), IDC_NOTES_DETAILS,
                  {margin, top, width - margin, top + scale_.px(kDetailsHeight)});
        top += scale_.px(kDetailsHeight) + margin;
    }
    setItemText(handle(), IDC_NOTES_SHOW_DETAILS,
                detailsShown_ ? messages::kHideDetailsButton : messages::kShowDetailsButton);
    setClientSize(handle(), width, top);
    // Grown or shrunk by its details, it stays whole on the screen.
    centreOnScreen(handle());
    InvalidateRect(handle(), nullptr, TRUE);
}

INT_PTR NotesDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        // OK first, as in a message box: Return closes the message.
        SetFocus(GetDlgItem(handle(), IDOK));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NOTES_SHOW_DETAILS:
            detailsShown_ = !detailsShown_;
            layOut();
            return TRUE;
        case IDC_NOTES_SAVE:
            saveNotes_();
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(handle(), IDOK);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace velmora::app::win32
