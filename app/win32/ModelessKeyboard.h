#pragma once

#include <windows.h>

namespace velmora::app::win32 {

// Gives a modeless dialog its keyboard (Tab, Return, Escape, the underlined letters) in every
// message loop of the thread while the guard lives: the program's own loop, and the modal
// loops of the file dialog, the frame dialog and the message boxes, which know nothing of it.
class ModelessKeyboard {
public:
    explicit ModelessKeyboard(HWND dialog);
    ~ModelessKeyboard();
    ModelessKeyboard(const ModelessKeyboard&) = delete;
    ModelessKeyboard& operator=(const ModelessKeyboard&) = delete;

private:
    HWND dialog_;
};

} // namespace velmora::app::win32
