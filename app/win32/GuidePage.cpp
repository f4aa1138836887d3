#include "app/win32/GuidePage.h"

#include "app/win32/Resources.h"
#include "app/win32/WideText.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace velmora::app::win32 {

namespace {

// The marks the build leaves around links and named places (app/win32/guide/links.lua).
constexpr wchar_t kLinkStart = 0xE000;
constexpr wchar_t kTextStart = 0xE001;
constexpr wchar_t kLinkEnd = 0xE002;
constexpr wchar_t kAnchorStart = 0xE003;

struct Resource {
    const char* bytes = nullptr;
    std::size_t size = 0;
};

std::optional<Resource> pageResource(const std::string& name) {
    const HRSRC found = FindResourceW(nullptr, wide(name).c_str(), MAKEINTRESOURCEW(RT_GUIDE_PAGE));
    if (found == nullptr) {
        return std::nullopt;
    }
    const HGLOBAL loaded = LoadResource(nullptr, found);
    return Resource{static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found)};
}

struct StreamSource {
    Resource rest;
};

DWORD CALLBACK readRichText(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t count = std::min(source->rest.size, std::size_t(wanted));
    std::memcpy(buffer, source->rest.bytes, count);
    source->rest.bytes += count;
    source->rest.size -= count;
    *given = LONG(count);
    return 0;
}

void select(HWND richText, LONG start, LONG end) {
    CHARRANGE range{start, end};
    SendMessageW(richText, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

// A stretch of the text, between marks, that is taken out.
struct Cut {
    LONG start;
    LONG end;
};

// Reads the marks out of the text as the build left them: links and named places at the
// positions their text will have once the marks are gone, and the marks to take out.
void readMarks(const std::wstring& text, GuidePage& page, std::vector<Cut>& cuts) {
    LONG removed = 0;
    std::size_t at = 0;
    while ((at = text.find_first_of(std::wstring{kLinkStart, kAnchorStart}, at)) !=
           std::wstring::npos) {
        const std::size_t textStart = text.find(kTextStart, at);
        if (textStart == std::wstring::npos) {
            break;
        }
        const std::string name = utf8(std::wstring_view(text).substr(at + 1, textStart - at - 1));
        cuts.push_back({LONG(at), LONG(textStart + 1)});
        const LONG shownAt = LONG(at) - removed;
        removed += LONG(textStart + 1 - at);
        if (text[at] == kAnchorStart) {
            page.anchors.emplace(name, shownAt);
            at = textStart + 1;
            continue;
        }
        const std::size_t linkEnd = text.find(kLinkEnd, textStart);
        if (linkEnd == std::wstring::npos) {
            break;
        }
        cuts.push_back({LONG(linkEnd), LONG(linkEnd + 1)});
        page.links.push_back({shownAt, LONG(linkEnd) - removed, name});
        removed += 1;
        at = linkEnd + 1;
    }
}

} // namespace

const GuidePage::Link* GuidePage::linkAt(LONG position) const {
    for (const Link& link : links) {
        if (position >= link.start && position < link.end) {
            return &link;
        }
    }
    return nullptr;
}

std::wstring richTextOf(HWND richText) {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto count =
        LONG(SendMessageW(richText, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring text(std::size_t(count) + 1, L'\0');
    GETTEXTEX request{DWORD(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    const auto copied =
        LRESULT(SendMessageW(richText, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                             reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::size_t(copied));
    return text;
}

std::optional<GuidePage> showGuidePage(HWND richText, const std::string& name) {
    const std::optional<Resource> resource = pageResource(name);
    if (!resource) {
        return std::nullopt;
    }
    SendMessageW(richText, WM_SETREDRAW, FALSE, 0);
    StreamSource source{*resource};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, readRichText};
    SendMessageW(richText, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));

    GuidePage page;
    page.name = name;
    std::vector<Cut> cuts;
    readMarks(richTextOf(richText), page, cuts);
    // From the end backwards, so that each cut leaves the positions of those before it alone.
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
        select(richText, cut->start, cut->end);
        SendMessageW(richText, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    }
    for (const GuidePage::Link& link : page.links) {
        select(richText, link.start, link.end);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_LINK;
        format.dwEffects = CFE_LINK;
        SendMessageW(richText, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    select(richText, 0, 0);
    SendMessageW(richText, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(richText, nullptr, TRUE);
    return page;
}

} // namespace velmora::app::win32
