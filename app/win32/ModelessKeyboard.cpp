#include "app/win32/ModelessKeyboard.h"

#include <algorithm>
#include <vector>

namespace velmora::app::win32 {

namespace {

// A message hook has no place for context: the dialogs it serves are the thread's.
thread_local std::vector<HWND> modelessDialogs;
thread_local HHOOK messageHook = nullptr;

LRESULT CALLBACK beforeDispatch(int code, WPARAM removal, LPARAM message) {
    auto* msg = reinterpret_cast<MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && msg->message >= WM_KEYFIRST &&
        msg->message <= WM_KEYLAST) {
        for (HWND dialog : modelessDialogs) {
            if (IsWindow(dialog) && IsDialogMessageW(dialog, msg)) {
                // Handled: the loop that took it dispatches nothing.
                msg->message = WM_NULL;
                break;
            }
        }
    }
    return CallNextHookEx(messageHook, code, removal, message);
}

} // namespace

ModelessKeyboard::ModelessKeyboard(HWND dialog) : dialog_(dialog) {
    if (modelessDialogs.empty()) {
        messageHook =
            SetWindowsHookExW(WH_GETMESSAGE, beforeDispatch, nullptr, GetCurrentThreadId());
    }
    modelessDialogs.push_back(dialog_);
}

ModelessKeyboard::~ModelessKeyboard() {
    std::erase(modelessDialogs, dialog_);
    if (modelessDialogs.empty() && messageHook != nullptr) {
        UnhookWindowsHookEx(messageHook);
        messageHook = nullptr;
    }
}

} // namespace velmora::app::win32
