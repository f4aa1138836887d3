#include "services/text/Utf8.h"

#include <algorithm>

namespace velmora::utf8 {

namespace {

constexpr char32_t kReplacement = U'\uFFFD';

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the sequence a lead byte starts, 0 for a byte that cannot lead one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// The code point at s[at], and how many bytes it takes.
std::pair<char32_t, std::size_t> decodeAt(std::string_view s, std::size_t at) {
    const auto lead = static_cast<unsigned char>(s[at]);
    const std::size_t length = sequenceLength(lead);
    if (length == 1) {
        return {lead, 1};
    }
    if (length == 0 || at + length > s.size()) {
        return {kReplacement, 1};
    }
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(s[at + i]);
        if (!isContinuation(byte)) {
            return {kReplacement, 1};
        }
        c = (c << 6) | (byte & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return {kReplacement, 1};
    }
    return {c, length};
}

} // namespace

std::u32string decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t at = 0; at < s.size();) {
        const auto [c, length] = decodeAt(s, at);
        out += c;
        at += length;
    }
    return out;
}

char32_t next(std::string_view s, std::size_t& at) {
    const auto [c, length] = decodeAt(s, at);
    at += length;
    return c;
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string encode(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size());
    for (char32_t c : codePoints) {
        append(out, c);
    }
    return out;
}

std::size_t offsetOfChar(std::string_view s, std::size_t n) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < n && at < s.size(); ++i) {
        // An ASCII byte is a character of its own, the most common case by far.
        at += static_cast<unsigned char>(s[at]) < 0x80 ? 1 : decodeAt(s, at).second;
    }
    return at;
}

std::size_t offsetOfLastChar(std::string_view s) {
    std::size_t last = 0;
    for (std::size_t at = 0; at < s.size(); at += decodeAt(s, at).second) {
        last = at;
    }
    return last;
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace velmora::utf8
