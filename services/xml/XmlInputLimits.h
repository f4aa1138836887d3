#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

// What a service document may cost before the parser is let near it. A Sauce export is plain
// markup a few MB long (the largest school's well under one); these limits are far above any
// real one and low enough that no text, however it is built, makes the parser spend more than a
// bounded time and memory on it.
namespace velmora::xmllimits {

// A hundred times the export of the largest school there is.
inline constexpr std::uint64_t kMaxDocumentBytes = 128ull * 1024 * 1024;
// One text between two pieces of markup: a value of a record is a few words. The parser's own
// limit for a text it keeps in a tree is ten times this, so a tree and a stream of the same
// document are refused alike, by this, before either is read.
inline constexpr std::uint64_t kMaxTextBytes = 1024 * 1024;
inline constexpr std::uint64_t kMaxAttributesPerElement = 256;
inline constexpr std::uint64_t kMaxNamespaceDeclarations = 256;
// Every element of a declared type is checked against all its declared defaults, each time.
inline constexpr std::uint64_t kMaxAttributeDefaults = 16;
// The parser's own nesting limit (it holds because the document is never parsed with
// XML_PARSE_HUGE); here so that the error can say it.
inline constexpr std::uint64_t kMaxDepth = 256;

// Throws DocumentTooLarge, DocumentTooComplex, DocumentTextTooLong, or DocumentNotWellFormed
// (UnsupportedEncoding) when the text must not be parsed; file names it in the error.
void requireWithinLimits(std::string_view xml, const std::filesystem::path& file);

} // namespace velmora::xmllimits
