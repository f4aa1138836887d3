#include "app/win32/CompiledHelp.h"

#include <htmlhelp.h>

namespace velmora::app::win32 {

CompiledHelp::~CompiledHelp() {
    if (htmlHelp_ != nullptr) {
        htmlHelp_(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
    if (library_ != nullptr) {
        FreeLibrary(library_);
    }
}

CompiledHelp::HtmlHelpFunction CompiledHelp::htmlHelp() {
    if (library_ == nullptr) {
        library_ = LoadLibraryW(L"hhctrl.ocx");
        if (library_ != nullptr) {
            // Through a function type of no arguments, which any function pointer may pass.
            htmlHelp_ = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(library_, "HtmlHelpW")));
        }
    }
    return htmlHelp_;
}

bool CompiledHelp::show(HWND owner, const std::filesystem::path& file, int context) {
    const HtmlHelpFunction function = htmlHelp();
    if (function == nullptr) {
        return false;
    }
    const HWND viewer = context == 0
                            ? function(owner, file.c_str(), HH_DISPLAY_TOC, 0)
                            : function(owner, file.c_str(), HH_HELP_CONTEXT, DWORD_PTR(context));
    return viewer != nullptr;
}

} // namespace velmora::app::win32
