#include "services/Text.h"

#include "services/Error.h"

#include <windows.h>

// Case folding and the Windows-1252 code page through Windows' own API: the Windows backend,
// where there is no ICU. It gives the same text as the ICU backend for every letter of the
// code page.
namespace velmora::text {

namespace {

constexpr UINT kWindows1252 = 1252;

std::wstring wideFromBytes(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (needed == 0 ||
        ::MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), needed) != needed) {
        throw Error("No se puede leer el texto: Windows no reconoce sus caracteres.");
    }
    return wide;
}

std::string utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int needed =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(needed), '\0');
    if (needed == 0 || ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), needed,
                                             nullptr, nullptr) != needed) {
        throw Error("No se puede convertir el texto a UTF-8.");
    }
    return out;
}

bool isHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A character outside the Basic Multilingual Plane is two UTF-16 units; the code page lacks
// every such character, and it must become one '?', not two.
std::wstring withPairsAsOneCharacter(std::wstring wide) {
    std::wstring out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (isHighSurrogate(wide[i]) && i + 1 < wide.size() && isLowSurrogate(wide[i + 1])) {
            out += L'\xFFFD';
            ++i;
        } else {
            out += wide[i];
        }
    }
    return out;
}

// Windows lower-cases; Unicode case folding differs from that in a few letters, which are
// put right here so that both backends fold alike.
std::wstring foldLowerCase(std::wstring_view lower) {
    std::wstring out;
    out.reserve(lower.size());
    for (wchar_t c : lower) {
        switch (c) {
        case L'\x00DF': // ß, and ẞ lower-cased to it
            out += L"ss";
            break;
        case L'\x00B5': // µ micro sign: Greek mu
            out += L'\x03BC';
            break;
        case L'\x017F': // ſ long s
            out += L's';
            break;
        case L'\x03C2': // ς final sigma
            out += L'\x03C3';
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::wstring lowerCase(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int needed = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), size,
                                       nullptr, 0, nullptr, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    if (needed == 0 || ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), size,
                                       out.data(), needed, nullptr, nullptr, 0) != needed) {
        throw Error("No se puede pasar el texto a minúsculas.");
    }
    return out;
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return foldCase(a) == foldCase(b);
}

std::string foldCase(std::string_view s) {
    return utf8FromWide(foldLowerCase(lowerCase(wideFromBytes(CP_UTF8, s))));
}

std::string toWindows1252(std::string_view utf8) {
    const std::wstring wide = withPairsAsOneCharacter(wideFromBytes(CP_UTF8, utf8));
    if (wide.empty()) {
        return {};
    }
    // No best fit: a character the code page lacks becomes '?', as it does through ICU,
    // never a look-alike of Windows' own choosing.
    const int size = static_cast<int>(wide.size());
    const int needed = ::WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                             nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(needed), '\0');
    if (needed == 0 || ::WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                             out.data(), needed, "?", nullptr) != needed) {
        throw Error("No se puede convertir el texto a Windows-1252.");
    }
    return out;
}

std::string fromWindows1252(std::string_view bytes) {
    return utf8FromWide(wideFromBytes(kWindows1252, bytes));
}

} // namespace velmora::text
