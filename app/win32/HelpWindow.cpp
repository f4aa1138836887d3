#include "app/win32/HelpWindow.h"

#include "app/presenter/MainView.h"
#include "app/win32/Resources.h"
#include "messages/WindowTexts.h"

#include <richedit.h>

namespace velmora::app::win32 {

namespace {

// "avisos.html#movidos" as its page and the place in it; a bare "#movidos" has no page.
struct Target {
    std::string page;
    std::string anchor;
};

Target splitTarget(const std::string& target) {
    const auto hash = target.find('#');
    if (hash == std::string::npos) {
        return {target, {}};
    }
    return {target.substr(0, hash), target.substr(hash + 1)};
}

HMODULE loadRichText() {
    // The control lives in its own library, loaded once for the life of the program.
    static const HMODULE library = LoadLibraryW(L"msftedit.dll");
    return library;
}

} // namespace

HelpWindow::HelpWindow(HWND owner, const Scale& scale) : owner_(owner), scale_(scale) {
    loadRichText();
    createModeless(owner, IDD_HELP);
    keyboard_ = std::make_unique<ModelessKeyboard>(handle());
}

HelpWindow::~HelpWindow() {
    keyboard_.reset();
    if (handle() != nullptr) {
        DestroyWindow(handle());
    }
}

HWND HelpWindow::pageControl() const {
    return GetDlgItem(handle(), IDC_HELP_PAGE);
}

void HelpWindow::initialise() {
    setText(handle(), messages::kGuideWindowCaption);
    setItemText(handle(), IDC_HELP_HOME, messages::kGuideContentsButton);
    setItemText(handle(), IDC_HELP_BACK, messages::kGuideBackButton);
    setItemText(handle(), IDC_HELP_FORWARD, messages::kGuideForwardButton);
    setItemText(handle(), IDCANCEL, messages::kGuideCloseButton);
    HWND pageText = pageControl();
    SendMessageW(pageText, EM_SETEVENTMASK, 0, ENM_LINK);
    SendMessageW(pageText, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(scale_.px(8), scale_.px(8)));
    setClientSize(handle(), scale_.px(720), scale_.px(560));
    if (owner_ != nullptr) {
        centreOver(handle(), owner_);
    } else {
        centreOnScreen(handle());
    }
    layOut();
}

void HelpWindow::layOut() {
    RECT client;
    GetClientRect(handle(), &client);
    const int margin = scale_.px(6);
    const int buttonWidth = scale_.px(90);
    const int buttonHeight = scale_.px(25);
    int left = margin;
    for (int id : {IDC_HELP_HOME, IDC_HELP_BACK, IDC_HELP_FORWARD}) {
        placeItem(handle(), id, {left, margin, left + buttonWidth, margin + buttonHeight});
        left += buttonWidth + margin;
    }
    placeItem(handle(), IDCANCEL,
              {client.right - margin - buttonWidth, margin, client.right - margin,
               margin + buttonHeight});
    const int pageTop = margin * 2 + buttonHeight;
    placeItem(handle(), IDC_HELP_PAGE,
              {margin, pageTop, client.right - margin, client.bottom - margin});
    InvalidateRect(handle(), nullptr, TRUE);
}

void HelpWindow::showPage(const std::string& target) {
    follow(target);
    ShowWindow(handle(), SW_SHOWNORMAL);
    SetForegroundWindow(handle());
    SetFocus(pageControl());
}

// A new step in the history, as a link or the contents button makes one.
void HelpWindow::follow(const std::string& target) {
    Target split = splitTarget(target);
    if (split.page.empty()) {
        split.page = page_.name;
    }
    const std::string entry = split.anchor.empty() ? split.page : split.page + "#" + split.anchor;
    if (!history_.empty()) {
        history_.resize(current_ + 1);
    }
    history_.push_back(entry);
    current_ = history_.size() - 1;
    showEntry(entry);
}

void HelpWindow::showEntry(const std::string& target) {
    const Target split = splitTarget(target);
    if (split.page != page_.name) {
        std::optional<GuidePage> shown = showGuidePage(pageControl(), split.page);
        if (!shown) {
            // Every link of the guide leads to a page of it; any other target leads home.
            shown = showGuidePage(pageControl(), guideContentsPage);
        }
        page_ = std::move(*shown);
    }
    const auto anchor = page_.anchors.find(split.anchor);
    scrollTo(anchor != page_.anchors.end() ? anchor->second : 0);
    updateButtons();
}

// Puts the line that holds position at the top of the page's view.
void HelpWindow::scrollTo(LONG position) {
    HWND pageText = pageControl();
    CHARRANGE caret{position, position};
    SendMessageW(pageText, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const auto line = LONG(SendMessageW(pageText, EM_EXLINEFROMCHAR, 0, position));
    const auto first = LONG(SendMessageW(pageText, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(pageText, EM_LINESCROLL, 0, line - first);
}

void HelpWindow::updateButtons() {
    EnableWindow(GetDlgItem(handle(), IDC_HELP_BACK), current_ > 0);
    EnableWindow(GetDlgItem(handle(), IDC_HELP_FORWARD), current_ + 1 < history_.size());
}

INT_PTR HelpWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        return FALSE; // the focus goes where showPage puts it
    case WM_SIZE:
        layOut();
        return TRUE;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {scale_.px(420), scale_.px(240)};
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_HELP_PAGE && header->code == EN_LINK) {
            const auto* link = reinterpret_cast<const ENLINK*>(lParam);
            if (link->msg == WM_LBUTTONUP) {
                if (const GuidePage::Link* clicked = page_.linkAt(link->chrg.cpMin)) {
                    follow(clicked->target);
                }
            }
            return reply(0);
        }
        return FALSE;
    }
    case WM_HELP:
        // The window is the help already.
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_HELP_HOME:
            follow(guideContentsPage);
            return TRUE;
        case IDC_HELP_BACK:
            if (current_ > 0) {
                showEntry(history_[--current_]);
            }
            return TRUE;
        case IDC_HELP_FORWARD:
            if (current_ + 1 < history_.size()) {
                showEntry(history_[++current_]);
            }
            return TRUE;
        case IDCANCEL:
            DestroyWindow(handle());
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace velmora::app::win32
