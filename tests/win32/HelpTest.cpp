// Help on Windows: F1 and "F1 Ayuda" open the guide built into the program at the right page,
// the guide's pages as the rich-text control shows them, their links, and HTML Help for a
// compiled help file beside the program.
#include "WindowTesting.h"

#include "app/win32/WideText.h"

#include "app/win32/CompiledHelp.h"
#include "app/win32/GuidePage.h"
#include "app/win32/Resources.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace velmora::testing::win32 {
namespace {

using app::win32::HelpWindow;

struct HelpCase {
    const char* name;
    bool byKey; // F1 in the window; otherwise the "F1 Ayuda" button
    const char* page;
};

class HelpFromMainWindow : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpFromMainWindow, opensTheGuideAtItsPage) {
    WindowUnderTest subject;
    app::win32::MainWindow& window = subject.open();
    pumpPending();
    if (GetParam().byKey) {
        SetForegroundWindow(window.handle());
        SetFocus(GetDlgItem(window.handle(), IDC_RESULTS));
        pressKey(VK_F1);
    } else {
        clickLater(GetDlgItem(window.handle(), IDC_HELP_CONTENTS));
    }
    ASSERT_TRUE(pumpUntil([&] { return window.guideWindow() != nullptr; }));
    const HelpWindow& guide = *window.guideWindow();
    EXPECT_EQ(guide.page().name, GetParam().page);
    EXPECT_EQ(guide.owner(), window.handle());
    EXPECT_TRUE(IsWindowVisible(guide.handle()));
    EXPECT_EQ(textOf(guide.handle()), "Ayuda de Velmora");
}

INSTANTIATE_TEST_SUITE_P(KeyAndButton, HelpFromMainWindow,
                         ::testing::Values(HelpCase{"f1Key", true, "ventana.html"},
                                           HelpCase{"helpButton", false, "index.html"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The names of the guide's pages the program carries.
std::vector<std::string> guidePages() {
    std::vector<std::string> pages;
    EnumResourceNamesW(
        nullptr, MAKEINTRESOURCEW(RT_GUIDE_PAGE),
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            std::string page = app::win32::utf8(name);
            for (char& c : page) {
                c = char(std::tolower(static_cast<unsigned char>(c)));
            }
            reinterpret_cast<std::vector<std::string>*>(found)->push_back(page);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&pages));
    return pages;
}

CHARFORMAT2W formatAt(HWND richText, LONG position) {
    CHARRANGE range{position, position + 1};
    SendMessageW(richText, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(richText, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

// Every page of app/guide, each link of it leading to a page of the guide or a place in one.
TEST(Guide, carriesEveryPageOfTheGuideWithItsLinksLeadingSomewhere) {
    const std::vector<std::string> pages = guidePages();
    for (const std::filesystem::path& html : std::filesystem::directory_iterator(
             std::filesystem::path(VELMORA_SOURCE_DIR) / "app" / "guide")) {
        EXPECT_NE(std::find(pages.begin(), pages.end(), html.filename().string()), pages.end())
            << html;
    }
    HelpWindow window(nullptr, app::win32::Scale(96));
    for (const std::string& name : pages) {
        SCOPED_TRACE(name);
        const auto page = app::win32::showGuidePage(window.pageControl(), name);
        ASSERT_TRUE(page);
        const std::wstring text = app::win32::richTextOf(window.pageControl());
        EXPECT_EQ(text.find_first_of(L"\uE000\uE001\uE002\uE003"), std::wstring::npos)
            << "no mark of the build is left";
        for (const auto& link : page->links) {
            EXPECT_LT(link.start, link.end);
            EXPECT_TRUE(formatAt(window.pageControl(), link.start).dwEffects & CFE_LINK);
            const auto hash = link.target.find('#');
            const std::string target = link.target.substr(0, hash);
            const std::string anchor =
                hash == std::string::npos ? "" : link.target.substr(hash + 1);
            if (!target.empty()) {
                EXPECT_NE(std::find(pages.begin(), pages.end(), target), pages.end())
                    << link.target;
            } else {
                EXPECT_TRUE(page->anchors.contains(anchor)) << link.target;
            }
        }
    }
}

TEST(Guide, showsTheGuidesAccentsHeadingsAndBold) {
    HelpWindow window(nullptr, app::win32::Scale(96));
    window.showPage("ventana.html");
    const std::wstring text = app::win32::richTextOf(window.pageControl());
    EXPECT_EQ(text.rfind(L"Contenido\rLa ventana de Velmora\r", 0), 0u)
        << app::win32::utf8(text.substr(0, 60));
    EXPECT_NE(text.find(L"Pulse OK en la parte de la izquierda. Se abre la ventana «Seleccionar "
                        L"Archivo XML obtenido de SAUCE»"),
              std::wstring::npos);
    const LONG heading = LONG(text.find(L"La ventana de Velmora"));
    const LONG body = LONG(text.find(L"La ventana tiene"));
    const LONG bold = LONG(text.find(L"Salir"));
    const CHARFORMAT2W headingFormat = formatAt(window.pageControl(), heading);
    const CHARFORMAT2W bodyFormat = formatAt(window.pageControl(), body);
    EXPECT_TRUE(headingFormat.dwEffects & CFE_BOLD);
    EXPECT_GT(headingFormat.yHeight, bodyFormat.yHeight);
    EXPECT_EQ(headingFormat.crTextColor, RGB(0x80, 0x00, 0x00));
    EXPECT_FALSE(bodyFormat.dwEffects & CFE_BOLD);
    EXPECT_TRUE(formatAt(window.pageControl(), bold).dwEffects & CFE_BOLD);
}

// Clicks the middle of a link's text as the mouse does.
void clickLink(HWND richText, const app::win32::GuidePage::Link& link) {
    POINTL at{};
    SendMessageW(richText, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at),
                 (link.start + link.end) / 2);
    const LPARAM where = MAKELPARAM(at.x + 1, at.y + 4);
    SendMessageW(richText, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(richText, WM_LBUTTONUP, 0, where);
}

const app::win32::GuidePage::Link& linkTo(const app::win32::GuidePage& page,
                                          const std::string& target) {
    for (const auto& link : page.links) {
        if (link.target == target) {
            return link;
        }
    }
    throw std::runtime_error("no link to " + target + " on " + page.name);
}

TEST(Guide, followsLinksAndGoesBackForwardAndHome) {
    HelpWindow window(nullptr, app::win32::Scale(96));
    window.showPage("index.html");
    const HWND back = GetDlgItem(window.handle(), IDC_HELP_BACK);
    const HWND forward = GetDlgItem(window.handle(), IDC_HELP_FORWARD);
    EXPECT_FALSE(IsWindowEnabled(back));

    clickLink(window.pageControl(), linkTo(window.page(), "avisos.html"));
    EXPECT_EQ(window.page().name, "avisos.html");
    const LONG top = LONG(SendMessageW(window.pageControl(), EM_GETFIRSTVISIBLELINE, 0, 0));
    clickLink(window.pageControl(), linkTo(window.page(), "#movidos"));
    EXPECT_EQ(window.page().name, "avisos.html");
    // The place the link names is on screen, the page having moved down to it.
    EXPECT_GT(LONG(SendMessageW(window.pageControl(), EM_GETFIRSTVISIBLELINE, 0, 0)), top);
    POINTL place{};
    SendMessageW(window.pageControl(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&place),
                 window.page().anchors.at("movidos"));
    const RECT shown = clientRect(window.pageControl());
    EXPECT_GE(place.y, shown.top);
    EXPECT_LT(place.y, shown.bottom);

    SendMessageW(back, BM_CLICK, 0, 0);
    SendMessageW(back, BM_CLICK, 0, 0);
    EXPECT_EQ(window.page().name, "index.html");
    EXPECT_FALSE(IsWindowEnabled(back));
    EXPECT_TRUE(IsWindowEnabled(forward));
    SendMessageW(forward, BM_CLICK, 0, 0);
    EXPECT_EQ(window.page().name, "avisos.html");
    SendDlgItemMessageW(window.handle(), IDC_HELP_HOME, BM_CLICK, 0, 0);
    EXPECT_EQ(window.page().name, "index.html");
    EXPECT_FALSE(IsWindowEnabled(forward));
    EXPECT_TRUE(IsWindowEnabled(back));
}

TEST(Guide, closesOnEscape) {
    HelpWindow window(nullptr, app::win32::Scale(96));
    window.showPage("index.html");
    pumpPending();
    SetForegroundWindow(window.handle());
    SetFocus(window.pageControl());
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(pumpUntil([&] { return !window.isOpen(); }));
}

TEST(CompiledHelp, findsHtmlHelpInItsLibrary) {
    app::win32::CompiledHelp help;
    EXPECT_NE(help.htmlHelp(), nullptr);
}

TEST(CompiledHelp, fallsBackToTheGuideWhenTheHelpFileBesideTheProgramCannotBeOpened) {
    WindowUnderTest subject;
    subject.setup.compiledHelpFile = subject.folder / "SAUCE.chm";
    writeFile(subject.setup.compiledHelpFile, "no es un archivo de ayuda");
    app::win32::MainWindow& window = subject.open();
    pumpPending();
    clickLater(GetDlgItem(window.handle(), IDC_HELP_CONTENTS));
    ASSERT_TRUE(pumpUntil([&] { return window.guideWindow() != nullptr; }));
    EXPECT_EQ(window.guideWindow()->page().name, "index.html");
}

} // namespace
} // namespace velmora::testing::win32
