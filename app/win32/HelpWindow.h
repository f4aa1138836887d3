#pragma once

#include "app/win32/Dialog.h"
#include "app/win32/Gdi.h"
#include "app/win32/GuidePage.h"
#include "app/win32/ModelessKeyboard.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::app::win32 {

// The window that shows the guide built into the program: its pages, their links, the way
// back and forward through the pages seen, and the way home to the table of contents. It
// belongs to the window that asked for it.
class HelpWindow final : public Dialog {
public:
    HelpWindow(HWND owner, const Scale& scale);
    ~HelpWindow() override;

    // Whether the window is still there (the user may have closed it).
    bool isOpen() const { return handle() != nullptr; }
    HWND owner() const { return owner_; }

    // Shows a page ("ventana.html", "avisos.html#movidos") and brings the window to the front.
    void showPage(const std::string& target);

    // What the window shows, for the tests that read it.
    const GuidePage& page() const { return page_; }
    HWND pageControl() const;

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void layOut();
    void follow(const std::string& target);
    void showEntry(const std::string& target);
    void scrollTo(LONG position);
    void updateButtons();

    HWND owner_;
    Scale scale_;
    GuidePage page_;
    std::vector<std::string> history_;
    std::size_t current_ = 0;
    std::unique_ptr<ModelessKeyboard> keyboard_;
};

} // namespace velmora::app::win32
