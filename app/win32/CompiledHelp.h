#pragma once

#include <windows.h>

#include <filesystem>

namespace velmora::app::win32 {

// HTML Help, the viewer of compiled help files. It lives in hhctrl.ocx, which is loaded only
// when help is first asked for, so that a Windows without it still runs Velmora (and shows the
// built-in guide instead).
class CompiledHelp {
public:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data);

    CompiledHelp() = default;
    ~CompiledHelp();
    CompiledHelp(const CompiledHelp&) = delete;
    CompiledHelp& operator=(const CompiledHelp&) = delete;

    // Opens file at a help context number, or at its table of contents for context 0. False
    // when HTML Help is not there or did not open the file.
    bool show(HWND owner, const std::filesystem::path& file, int context);

    // HTML Help's entry point, loaded on first use; nothing when it is missing.
    HtmlHelpFunction htmlHelp();

private:
    HMODULE library_ = nullptr;
    HtmlHelpFunction htmlHelp_ = nullptr;
};

} // namespace velmora::app::win32
