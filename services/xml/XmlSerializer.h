#pragma once

// libxml2's serializer driven onto a sink of bytes, for XmlDocument's saves: the whole document
// at once, or the document around one element whose content is handed over piece by piece.
// Every byte comes from libxml2, so both ways write the same text for the same tree.

#include "services/xml/XmlDocument.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::xmlsave {

// Where the bytes go; false when they could not be written, which ends the save.
using ByteSink = std::function<bool(std::string_view bytes)>;

// The document as loaded: its own encoding and declaration, no re-indenting. Characters that
// the encoding lacks (€ in ISO-8859-1) are written as character references. False when the
// encoding is unknown or a write fails.
bool writeDocument(_xmlDoc* doc, const ByteSink& sink);

// The document's bytes before and after the content of one of its elements.
struct Surroundings {
    std::string before; // up to and with the element's start tag
    std::string after;  // from the element's end tag on
};

// What the document is written as around `element`, which must be empty (std::logic_error
// otherwise); nothing when the document's encoding cannot be written, or when it writes the
// element's place in a way that cannot be told apart from the rest.
std::optional<Surroundings> surroundingsOf(_xmlDoc* doc, _xmlNode* element);

// Writes `around.before`, then what writeContent hands to its stream, then `around.after`.
// Elements handed over must be children of `detached`, the holder of the document's elements
// that are appended nowhere. False when a write fails.
bool writeAround(_xmlDoc* doc, _xmlNode* detached, const ByteSink& sink, const Surroundings& around,
                 const std::function<void(XmlContentStream&)>& writeContent);

} // namespace velmora::xmlsave
