#pragma once

#include <filesystem>
#include <string>

struct _xmlDoc;

namespace velmora {
class XmlEvents;
}

// Shared by the XML service's files; not part of its interface.
namespace velmora::xmlparse {

// Parses text that nobody vouches for and returns the document, which the caller frees with
// xmlFreeDoc. The text is checked against the input limits first; the parser loads nothing from
// outside, stops at the first entity declaration, and prints nothing: whatever it reports ends
// up in the Error thrown (DocumentDeclaresEntities, DocumentTooComplex, DocumentNotWellFormed).
_xmlDoc* parseUntrusted(const std::string& xml, const std::filesystem::path& file);

// The same parse with no tree: what the document holds goes to events as it is read.
void streamUntrusted(const std::string& xml, const std::filesystem::path& file, XmlEvents& events);

} // namespace velmora::xmlparse
