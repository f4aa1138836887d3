#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::app::win32 {

// A page of the guide as a rich-text control shows it, with its links and the places they
// lead to.
struct GuidePage {
    struct Link {
        LONG start;         // where its text begins in the control
        LONG end;           // and where it ends
        std::string target; // "marcos.html", "#movidos"
    };
    std::string name; // "ventana.html"
    std::vector<Link> links;
    std::map<std::string, LONG> anchors; // the named places of the page, by name

    // The link whose text holds the character at position; nothing when none does.
    const Link* linkAt(LONG position) const;
};

// Puts the page of the guide called name (a file name of app/guide, "ventana.html") into a
// rich-text control, its links marked as links; nothing when the program has no such page.
std::optional<GuidePage> showGuidePage(HWND richText, const std::string& name);

// The whole text of a rich-text control, a paragraph ending in '\r' as the control counts it.
std::wstring richTextOf(HWND richText);

} // namespace velmora::app::win32
