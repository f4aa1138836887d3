#include "services/Text.h"

#include <algorithm>

// The UTF-8 helpers: plain code, the same on every platform. Case folding and the code page
// live in TextIcu.cpp (Linux) and TextWin32.cpp (Windows).
namespace velmora::text {

namespace {

bool isTrailByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// How many bytes the sequence started by lead should have; 1 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 1;
}

// Offset of the character after the one at offset. A broken sequence counts as one character
// for its lead byte and the trail bytes that follow it, as ICU counts it.
std::size_t nextOffset(std::string_view s, std::size_t offset) {
    const std::size_t end =
        std::min(s.size(), offset + sequenceLength(static_cast<unsigned char>(s[offset])));
    ++offset;
    while (offset < end && isTrailByte(static_cast<unsigned char>(s[offset]))) {
        ++offset;
    }
    return offset;
}

// Byte offset of character index n in s (s.size() when s has fewer characters).
std::size_t offsetOfChar(std::string_view s, std::size_t n) {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < n && offset < s.size(); ++i) {
        offset = nextOffset(s, offset);
    }
    return offset;
}

bool isControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::size_t length(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t offset = 0; offset < s.size(); offset = nextOffset(s, offset)) {
        ++count;
    }
    return count;
}

std::string left(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, offsetOfChar(s, n)));
}

std::string mid(std::string_view s, std::size_t from, std::size_t n) {
    const std::size_t start = offsetOfChar(s, from);
    const std::string_view rest = s.substr(start);
    if (n == std::string_view::npos) {
        return std::string(rest);
    }
    return std::string(rest.substr(0, offsetOfChar(rest, n)));
}

std::string lastChar(std::string_view s) {
    if (s.empty()) {
        return {};
    }
    // Back over the trail bytes to a lead byte whose sequence ends exactly at the end;
    // anything else leaves the last byte on its own.
    std::size_t start = s.size() - 1;
    for (std::size_t back = 1; back <= 4 && back <= s.size(); ++back) {
        const std::size_t candidate = s.size() - back;
        const auto c = static_cast<unsigned char>(s[candidate]);
        if (!isTrailByte(c)) {
            if (sequenceLength(c) == back) {
                start = candidate;
            }
            break;
        }
    }
    return std::string(s.substr(start));
}

std::string trim(std::string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && isControlOrBlank(s[begin])) {
        ++begin;
    }
    while (end > begin && isControlOrBlank(s[end - 1])) {
        --end;
    }
    return std::string(s.substr(begin, end - begin));
}

std::string trimRight(std::string_view s) {
    std::size_t end = s.size();
    while (end > 0 && isControlOrBlank(s[end - 1])) {
        --end;
    }
    return std::string(s.substr(0, end));
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string padOrCut(std::string_view s, std::size_t n) {
    std::string out = left(s, n);
    const std::size_t have = length(out);
    out.append(n - have, ' ');
    return out;
}

} // namespace velmora::text
