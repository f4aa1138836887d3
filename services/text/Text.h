#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text is held as UTF-8 throughout the core. Wherever the timetable rules count characters
// (the first 10, the last one), they count Unicode code points, never bytes.
namespace velmora::text {

// Number of characters (code points) in s.
std::size_t length(std::string_view s);

// The first n characters of s (all of s when it is shorter).
std::string left(std::string_view s, std::size_t n);

// The characters of s from character index `from` (0-based), at most n of them.
std::string mid(std::string_view s, std::size_t from, std::size_t n = std::string_view::npos);

// The last character of s; empty when s is empty.
std::string lastChar(std::string_view s);

// s without the characters with codes 0 to 32 at both ends.
std::string trim(std::string_view s);
std::string_view trimmed(std::string_view s);

// s without the characters with codes 0 to 32 at its end.
std::string trimRight(std::string_view s);

// s with only the letters A-Z turned into a-z (or a-z into A-Z); every other character stays.
std::string asciiLower(std::string_view s);
std::string asciiUpper(std::string_view s);

// s under simple case folding, character by character: two texts fold to the same text when
// they differ only in letter case (ÑANDÚ and ñandú), and folding keeps the number of
// characters (STRASSE and straße stay different).
std::string foldCase(std::string_view s);

// True when a and b fold to the same text.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// s padded with blanks or cut to exactly n characters.
std::string padOrCut(std::string_view s, std::size_t n);

} // namespace velmora::text
