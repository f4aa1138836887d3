#include "app/win32/Dialog.h"

#include "app/win32/WideText.h"
#include "messages/Messages.h"
#include "messages/WindowTexts.h"

#include <exception>

namespace velmora::app::win32 {

INT_PTR Dialog::runModal(HWND owner, int templateId) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                           procedure, reinterpret_cast<LPARAM>(this));
}

HWND Dialog::createModeless(HWND owner, int templateId) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                              procedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::reply(LRESULT result) {
    SetWindowLongPtrW(handle_, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK Dialog::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->handle_ = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    if (self == nullptr) {
        return FALSE;
    }
    INT_PTR handled = FALSE;
    // No exception may cross Windows' own code on its way out: what escapes an answer is
    // reported here, and the window goes on.
    try {
        handled = self->onMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        MessageBoxW(dialog, wide(messages::describe(error)).c_str(),
                    wide(messages::kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxW(dialog, wide(messages::kUnknownError).c_str(),
                    wide(messages::kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
    }
    if (message == WM_NCDESTROY) {
        self->handle_ = nullptr;
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
    }
    return handled;
}

void setText(HWND window, std::string_view utf8) {
    SetWindowTextW(window, wide(utf8).c_str());
}

void setItemText(HWND dialog, int id, std::string_view utf8) {
    setText(GetDlgItem(dialog, id), utf8);
}

std::string textOf(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return utf8(text);
}

void placeItem(HWND dialog, int id, const RECT& area) {
    MoveWindow(GetDlgItem(dialog, id), area.left, area.top, area.right - area.left,
               area.bottom - area.top, FALSE);
}

void setClientSize(HWND window, int width, int height) {
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

void centreIn(HWND window, const RECT& area) {
    RECT frame;
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void centreOnScreen(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    centreIn(window, monitor.rcWork);
}

void centreOver(HWND window, HWND other) {
    RECT area;
    GetWindowRect(other, &area);
    centreIn(window, area);
}

INT_PTR transparentLabel(HDC dc, COLORREF colour) {
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

void repaintOverBackground(HWND dialog, HWND control) {
    RECT area;
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(dialog, &area, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

} // namespace velmora::app::win32
