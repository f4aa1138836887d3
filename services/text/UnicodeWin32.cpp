#include "services/text/Unicode.h"

#include <string>
#include <windows.h>

// The Windows backend: code pages through MultiByteToWideChar, normalization through
// NormalizeString, case through LCMapStringEx. Where Windows answers differently from ICU the
// answer is put right here, so that both platforms read and write the same bytes.
namespace velmora::unicode {

namespace {

constexpr char32_t kReplacement = U'\uFFFD';

std::wstring utf16(const std::u32string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x10000) {
            const char32_t v = c - 0x10000;
            out += static_cast<wchar_t>(0xD800 + (v >> 10));
            out += static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

std::u32string utf32(std::wstring_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = static_cast<char32_t>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out += 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        } else {
            out += unit;
        }
    }
    return out;
}

// Nothing when Windows cannot normalize the text (an unpaired surrogate, say).
std::optional<std::wstring> normalized(NORM_FORM form, const std::wstring& text) {
    if (text.empty()) {
        return text;
    }
    const int size = static_cast<int>(text.size());
    int estimate = ::NormalizeString(form, text.data(), size, nullptr, 0);
    // The first answer is an estimate; Windows asks for more room when it falls short.
    for (int attempt = 0; attempt < 4 && estimate > 0; ++attempt) {
        std::wstring out(static_cast<std::size_t>(estimate), L'\0');
        const int written = ::NormalizeString(form, text.data(), size, out.data(), estimate);
        if (written > 0) {
            out.resize(static_cast<std::size_t>(written));
            return out;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return std::nullopt;
        }
        estimate = -written;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::array<char32_t, 256>> singleByteCodePage(int codePage) {
    CPINFO info{};
    if (codePage <= 0 || !::GetCPInfo(static_cast<UINT>(codePage), &info) ||
        info.MaxCharSize != 1) {
        return std::nullopt;
    }
    std::array<char32_t, 256> characters{};
    for (int byte = 0; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        wchar_t out = 0;
        const int written = ::MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS,
                                                  &in, 1, &out, 1);
        characters[static_cast<std::size_t>(byte)] =
            written == 1 ? static_cast<char32_t>(out) : kReplacement;
    }
    return characters;
}

std::u32string decompose(char32_t c) {
    const auto nfd = normalized(NormalizationD, utf16(std::u32string(1, c)));
    return nfd ? utf32(*nfd) : std::u32string(1, c);
}

std::u32string compose(const std::u32string& text) {
    const auto nfc = normalized(NormalizationC, utf16(text));
    return nfc ? utf32(*nfc) : text;
}

char32_t foldCase(char32_t c) {
    // Simple case folding differs from lower case in a few letters.
    switch (c) {
    case U'\u00B5': // micro sign: Greek mu
        return U'\u03BC';
    case U'\u017F': // long s
        return U's';
    case U'\u03C2': // final sigma
        return U'\u03C3';
    case U'\u1E9E': // capital sharp s: its simple folding is ß
        return U'\u00DF';
    default:
        break;
    }
    const std::wstring wide = utf16(std::u32string(1, c));
    wchar_t lower[2] = {};
    const int written =
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(),
                        static_cast<int>(wide.size()), lower, 2, nullptr, nullptr, 0);
    if (written != static_cast<int>(wide.size())) {
        return c;
    }
    const std::u32string folded =
        utf32(std::wstring_view(lower, static_cast<std::size_t>(written)));
    return folded.size() == 1 ? folded.front() : c;
}

} // namespace velmora::unicode
