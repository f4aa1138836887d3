#include "app/presenter/MainPresenter.h"
#include "app/win32/MainWindow.h"
#include "app/win32/WideText.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// The command line after the program's name, as it was given.
std::vector<std::string> commandLineArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i) {
        result.push_back(velmora::app::win32::utf8(arguments[i]));
    }
    LocalFree(arguments);
    return result;
}

std::filesystem::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace velmora::app;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    win32::MainWindow window(programSetup(programFolder(), commandLineArguments()));
    window.show();
    window.runUntilClosed();
    return 0;
}
