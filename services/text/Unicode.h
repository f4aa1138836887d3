#pragma once

#include <array>
#include <optional>
#include <string>

// The few facts about characters that Velmora takes from the platform's own Unicode support:
// ICU on Linux, the Windows API on Windows. Everything built on them is the same code on both.
namespace velmora::unicode {

// The characters of a single-byte code page, by byte: 1252, 850, 437... Nothing when the
// platform does not know the code page or it is not single-byte. A byte the page leaves
// undefined maps to U+FFFD.
std::optional<std::array<char32_t, 256>> singleByteCodePage(int codePage);

// The canonical decomposition of c (a letter and its accents), or c itself when it has none.
std::u32string decompose(char32_t c);

// The canonical composition of a text (a letter followed by its accents becomes one character
// where Unicode has one).
std::u32string compose(const std::u32string& text);

// Simple case folding: one character to one character, so that texts of the same length fold
// to texts of the same length.
char32_t foldCase(char32_t c);

} // namespace velmora::unicode
