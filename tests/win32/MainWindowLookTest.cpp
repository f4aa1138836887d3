// What the main window shows: its caption, size and place, its panels' colours, its controls
// with their texts, fonts and places, and the program's icon and version.
#include "WindowTesting.h"

#include "app/win32/WideText.h"

#include "app/win32/Resources.h"
#include "velmora/Version.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace velmora::testing::win32 {
namespace {

class MainWindowLook : public ::testing::Test {
protected:
    void SetUp() override {
        subject_.open();
        pumpPending();
    }
    HWND main() const { return subject_.window->handle(); }

    WindowUnderTest subject_;
};

TEST_F(MainWindowLook, hasItsCaptionAFixedClientAreaAndStaysCentred) {
    EXPECT_EQ(textOf(main()), "Exportar e importar datos entre Horadia y Sauce ");
    const RECT client = clientRect(main());
    EXPECT_EQ(client.right, 632);
    EXPECT_EQ(client.bottom, 266);
    const LONG style = GetWindowLongW(main(), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the window must not be resizable";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);

    RECT frame;
    GetWindowRect(main(), &frame);
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(main(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 1);
}

struct ControlCase {
    int id;
    const char* text;
    RECT place; // left, top, right, bottom in the client area
};

TEST_F(MainWindowLook, placesEachControlWithItsText) {
    const ControlCase controls[] = {
        {IDC_CONVERSION_TITLE, "Transformar datos desde Sauce hacia Horadia ", {24, 24, 289, 81}},
        {IDC_CONVERT, "OK", {96, 120, 185, 145}},
        {IDC_RESULTS_TITLE, "Transformar datos desde Horadia hacia Sauce", {324, 24, 629, 81}},
        {IDC_RESULTS, "OK", {412, 120, 501, 145}},
        {IDC_QUIT, "&Salir", {256, 200, 345, 225}},
        {IDC_HELP_CONTENTS, "F1 Ayuda", {512, 224, 587, 249}},
    };
    for (const ControlCase& control : controls) {
        SCOPED_TRACE(control.text);
        EXPECT_EQ(itemText(main(), control.id), control.text);
        const RECT place = itemRect(main(), control.id);
        EXPECT_EQ(place.left, control.place.left);
        EXPECT_EQ(place.top, control.place.top);
        EXPECT_EQ(place.right, control.place.right);
        EXPECT_EQ(place.bottom, control.place.bottom);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(main(), control.id)));
    }
    // The version label takes the size of its text, from its corner on.
    EXPECT_EQ(itemText(main(), IDC_VERSION), "Velmora para HD24 V-1.0");
    const RECT version = itemRect(main(), IDC_VERSION);
    EXPECT_EQ(version.left, 8);
    EXPECT_EQ(version.top, 240);
    EXPECT_GT(version.right - version.left, 60);
    EXPECT_LT(version.bottom, 266);
}

TEST_F(MainWindowLook, writesThePanelTitlesInArialBoldAndTheVersionInRedBold) {
    for (int id : {IDC_CONVERSION_TITLE, IDC_RESULTS_TITLE}) {
        const LOGFONTW font = fontOf(GetDlgItem(main(), id));
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Arial");
        EXPECT_EQ(font.lfHeight, -16);
        EXPECT_EQ(font.lfWeight, FW_BOLD);
    }
    const LOGFONTW window = fontOf(GetDlgItem(main(), IDC_CONVERT));
    EXPECT_EQ(std::wstring(window.lfFaceName), L"MS Sans Serif");
    EXPECT_EQ(window.lfHeight, -11);
    const LOGFONTW version = fontOf(GetDlgItem(main(), IDC_VERSION));
    EXPECT_EQ(version.lfWeight, FW_BOLD);
    EXPECT_EQ(version.lfHeight, -11);

    // Red letters on the bottom panel: some pixel of the label is pure red.
    const RECT label = itemRect(main(), IDC_VERSION);
    bool red = false;
    for (int x = label.left; x < label.right && !red; ++x) {
        for (int y = label.top; y < label.bottom && !red; ++y) {
            red = pixelAt(main(), x, y) == RGB(0xFF, 0x00, 0x00);
        }
    }
    EXPECT_TRUE(red);
}

// A colour within a step of the one expected: the gradient is drawn in 8-bit steps.
::testing::AssertionResult closeTo(COLORREF shown, COLORREF expected) {
    const auto close = [](int a, int b) { return std::abs(a - b) <= 3; };
    if (close(GetRValue(shown), GetRValue(expected)) &&
        close(GetGValue(shown), GetGValue(expected)) &&
        close(GetBValue(shown), GetBValue(expected))) {
        return ::testing::AssertionSuccess();
    }
    char text[80];
    std::snprintf(text, sizeof text, "shown #%02X%02X%02X, expected #%02X%02X%02X",
                  GetRValue(shown), GetGValue(shown), GetBValue(shown), GetRValue(expected),
                  GetGValue(expected), GetBValue(expected));
    return ::testing::AssertionFailure() << text;
}

struct PixelCase {
    const char* where;
    int x, y;
    COLORREF colour;
};

TEST_F(MainWindowLook, paintsEachPanelFromTopToBottomInItsThreeColours) {
    const PixelCase pixels[] = {
        {"conversion panel, top", 5, 0, RGB(0xF9, 0xD3, 0x7D)},
        {"conversion panel, middle", 5, 84, RGB(0xFF, 0xFF, 0xFF)},
        {"conversion panel, bottom", 5, 167, RGB(0xFF, 0xEE, 0xDD)},
        {"results panel, top", 620, 0, RGB(0xF9, 0xD3, 0x7D)},
        {"results panel, middle", 620, 84, RGB(0xFF, 0xFF, 0xFF)},
        {"results panel, bottom", 620, 167, RGB(0xFF, 0xEE, 0xDD)},
        {"bottom panel, top", 5, 168, RGB(0xC2, 0xCD, 0xFE)},
        {"bottom panel, middle", 150, 216, RGB(0xCF, 0xF2, 0xFE)},
        {"bottom panel, bottom", 620, 264, RGB(0xCC, 0xD8, 0xE6)},
    };
    for (const PixelCase& pixel : pixels) {
        EXPECT_TRUE(closeTo(pixelAt(main(), pixel.x, pixel.y), pixel.colour)) << pixel.where;
    }
    // A quarter of the way down, halfway between the start and the middle colour.
    EXPECT_TRUE(closeTo(pixelAt(main(), 5, 42), RGB(0xFC, 0xE9, 0xBE)));
}

TEST_F(MainWindowLook, showsTheCheckMarkOnBothRunButtonsAndACrossOnSalir) {
    for (int id : {IDC_CONVERT, IDC_RESULTS, IDC_QUIT}) {
        EXPECT_NE(SendDlgItemMessageW(main(), id, BM_GETIMAGE, IMAGE_ICON, 0), 0) << id;
    }
    EXPECT_EQ(SendDlgItemMessageW(main(), IDC_CONVERT, BM_GETIMAGE, IMAGE_ICON, 0),
              SendDlgItemMessageW(main(), IDC_RESULTS, BM_GETIMAGE, IMAGE_ICON, 0));
    EXPECT_EQ(SendDlgItemMessageW(main(), IDC_HELP_CONTENTS, BM_GETIMAGE, IMAGE_ICON, 0), 0);
    // Solid green where the check mark's stroke bends, nothing in the corner.
    const auto glyph = reinterpret_cast<HICON>(
        SendDlgItemMessageW(main(), IDC_CONVERT, BM_GETIMAGE, IMAGE_ICON, 0));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(glyph, &info));
    BITMAPINFO format{};
    format.bmiHeader = {sizeof format.bmiHeader, 16, -16, 1, 32, BI_RGB};
    std::vector<std::uint32_t> pixels(16 * 16);
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(dc, info.hbmColor, 0, 16, pixels.data(), &format, DIB_RGB_COLORS), 16);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(pixels[11 * 16 + 6], 0xFF008000u);
    EXPECT_EQ(pixels[1 * 16 + 1] >> 24, 0u);
}

TEST_F(MainWindowLook, carriesTheProgramsIconInItsTitleBarAndTaskbar) {
    EXPECT_NE(SendMessageW(main(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(main(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_TRUE(GetWindowLongW(main(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

// On a screen of 144 DPI (150 %) every length grows by half, so that the texts, which Windows
// draws bigger there, still fit. Wine's screen has 96 DPI: the window is made as for the other.
TEST(MainWindowOnADenserScreen, growsEveryLengthWithTheScreensDpi) {
    WindowUnderTest subject;
    subject.window = std::make_unique<app::win32::MainWindow>(subject.setup, subject.choosers,
                                                              app::win32::Scale(144));
    const HWND main = subject.window->handle();
    const RECT client = clientRect(main);
    EXPECT_EQ(client.right, 948);
    EXPECT_EQ(client.bottom, 399);
    const RECT convert = itemRect(main, IDC_CONVERT);
    EXPECT_EQ(convert.left, 144);
    EXPECT_EQ(convert.top, 180);
    EXPECT_EQ(convert.right - convert.left, 134);
    const RECT help = itemRect(main, IDC_HELP_CONTENTS);
    EXPECT_EQ(help.left, 768);
    EXPECT_EQ(help.top, 336);
    EXPECT_EQ(fontOf(GetDlgItem(main, IDC_CONVERSION_TITLE)).lfHeight, -24);
    ShowWindow(main, SW_SHOW);
    // The bottom panel starts at 252 instead of 168.
    EXPECT_TRUE(closeTo(pixelAt(main, 5, 251), RGB(0xFF, 0xEE, 0xDD)));
    EXPECT_TRUE(closeTo(pixelAt(main, 5, 252), RGB(0xC2, 0xCD, 0xFE)));
}

TEST(ProgramResources, giveTheProjectsVersionAndAskForNoAdministrator) {
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(program, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program, 0, DWORD(block.size()), block.data()));
    wchar_t* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\0c0a04b0\\ProductVersion",
                               reinterpret_cast<void**>(&value), &length));
    EXPECT_EQ(app::win32::utf8(value), velmora::programVersion);

    const HRSRC manifest = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, manifest))),
                           SizeofResource(nullptr, manifest));
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(text.find("<dpiAware"), std::string::npos);
    EXPECT_NE(text.find(std::string("version=\"") + velmora::programVersion), std::string::npos);
}

TEST(ProgramResources, loadTheCommonControlsOfTheManifest) {
    // Wine's comctl32 answers version 5 to DllGetVersion even when 6 is loaded: the module
    // that serves the program says which one it got.
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(controls, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) {
        c = wchar_t(towlower(c));
    }
    EXPECT_NE(lower.find(L"winsxs"), std::wstring::npos) << app::win32::utf8(path);
}

} // namespace
} // namespace velmora::testing::win32
