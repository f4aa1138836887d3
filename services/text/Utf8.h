#pragma once

#include <string>
#include <string_view>

// UTF-8, the form of every text inside Velmora, to and from code points.
namespace velmora::utf8 {

// The code points of s; a byte sequence that is not UTF-8 gives U+FFFD.
std::u32string decode(std::string_view s);

// The code point at s[at], moving `at` past it; a malformed sequence is one byte of U+FFFD.
char32_t next(std::string_view s, std::size_t& at);

void append(std::string& out, char32_t c);
std::string encode(std::u32string_view codePoints);

// Byte offset of character index n in s (s.size() when s has fewer characters).
std::size_t offsetOfChar(std::string_view s, std::size_t n);

// Byte offset where the last character of s starts (0 for an empty s).
std::size_t offsetOfLastChar(std::string_view s);

bool isAscii(std::string_view s);

} // namespace velmora::utf8
