#include "services/text/Text.h"

#include "services/text/Unicode.h"
#include "services/text/Utf8.h"

namespace velmora::text {

namespace {

bool isControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::size_t length(std::string_view s) {
    if (utf8::isAscii(s)) {
        return s.size();
    }
    std::size_t count = 0;
    for (std::size_t at = 0; at < s.size(); at = utf8::offsetOfChar(s.substr(at), 1) + at) {
        ++count;
    }
    return count;
}

std::string left(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, utf8::offsetOfChar(s, n)));
}

std::string mid(std::string_view s, std::size_t from, std::size_t n) {
    const std::string_view rest = s.substr(utf8::offsetOfChar(s, from));
    if (n == std::string_view::npos) {
        return std::string(rest);
    }
    return std::string(rest.substr(0, utf8::offsetOfChar(rest, n)));
}

std::string lastChar(std::string_view s) {
    return std::string(s.substr(utf8::offsetOfLastChar(s)));
}

std::string trim(std::string_view s) {
    return std::string(trimmed(s));
}

std::string_view trimmed(std::string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && isControlOrBlank(s[begin])) {
        ++begin;
    }
    while (end > begin && isControlOrBlank(s[end - 1])) {
        --end;
    }
    return s.substr(begin, end - begin);
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

std::string foldCase(std::string_view s) {
    if (utf8::isAscii(s)) {
        return asciiLower(s);
    }
    std::u32string characters = utf8::decode(s);
    for (char32_t& c : characters) {
        c = unicode::foldCase(c);
    }
    return utf8::encode(characters);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return foldCase(a) == foldCase(b);
}

std::string padOrCut(std::string_view s, std::size_t n) {
    std::string out = left(s, n);
    const std::size_t have = length(out);
    out.append(n - have, ' ');
    return out;
}

} // namespace velmora::text
