#pragma once

#include <filesystem>
#include <string>

struct _xmlDoc;

// Shared by the XML service's files; not part of its interface.
namespace velmora::xmlparse {

// Parses text that nobody vouches for and returns the document, which the caller frees with
// xmlFreeDoc. The text is checked against the input limits first; the parser loads nothing from
// outside, stops at the first entity declaration, and prints nothing: whatever it reports ends
// up in the Error thrown (DocumentDeclaresEntities, DocumentTooComplex, DocumentNotWellFormed).
_xmlDoc* parseUntrusted(const std::string& xml, const std::filesystem::path& file);

} // namespace velmora::xmlparse
