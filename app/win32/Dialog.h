#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora::app::win32 {

// A dialog made from a template of the resource script, with a C++ object behind it that
// answers its messages.
class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    HWND handle() const { return handle_; }

protected:
    // Shows the dialog modally over owner and returns its result once it has ended.
    INT_PTR runModal(HWND owner, int templateId);
    // Creates the dialog without waiting for it; it lives until it is destroyed.
    HWND createModeless(HWND owner, int templateId);

    // Answers one message, as a dialog procedure does: TRUE when handled.
    virtual INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Gives a message its result (for messages whose result is not the procedure's own).
    INT_PTR reply(LRESULT result);

private:
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
};

void setText(HWND window, std::string_view utf8);
void setItemText(HWND dialog, int id, std::string_view utf8);
std::string textOf(HWND window);

// Places a control at its rectangle in the dialog's client area.
void placeItem(HWND dialog, int id, const RECT& area);
// Gives a window a client area of this size, its frame around it.
void setClientSize(HWND window, int width, int height);
// Puts a window in the middle of the screen's work area.
void centreOnScreen(HWND window);
// Puts a window in the middle of another one.
void centreOver(HWND window, HWND other);

// The colours of a label that lies on a painted background: its text drawn in colour, its
// background left to the dialog's own painting.
INT_PTR transparentLabel(HDC dc, COLORREF colour);

// Redraws the part of a dialog's painted background under one control, and the control over
// it: for a label whose text has changed, which has no background of its own to clear.
void repaintOverBackground(HWND dialog, HWND control);

} // namespace velmora::app::win32
