#pragma once

#include <filesystem>
#include <string>

struct _xmlDoc;

namespace velmora {
class XmlEvents;
struct XmlOutline;
} // namespace velmora

// Shared by the XML service's files; not part of its interface.
namespace velmora::xmlparse {

// Parses text that nobody vouches for and returns the document, which the caller frees with
// xmlFreeDoc. The text is checked against the input limits first; the parser loads nothing from
// outside, stops at the first entity declaration, and prints nothing: whatever it reports ends
// up in the Error thrown (DocumentDeclaresEntities, DocumentTooComplex, DocumentNotWellFormed).
// With an outline, the bulk's content is left out of the tree and what stands outside it is
// counted (DocumentTooMuchOutside).
_xmlDoc* parseUntrusted(const std::string& xml, const std::filesystem::path& file,
                        const XmlOutline* outline = nullptr);

// The same parse with no tree: what the document holds goes to events as it is read. With an
// outline, what stands outside the bulk's content is counted as a tree's would be.
void streamUntrusted(const std::string& xml, const std::filesystem::path& file, XmlEvents& events,
                     const XmlOutline* outline = nullptr);

} // namespace velmora::xmlparse
