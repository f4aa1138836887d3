#pragma once

#include "services/xml/XmlDocument.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The attributes of an element as the parser gives them, valid during the call they come with.
class XmlAttributes {
public:
    XmlAttributes(const unsigned char** data, std::size_t count) : data_(data), count_(count) {}

    // The value of the attribute of this name outside any namespace, with its character and
    // entity references resolved; nothing when the element has none. Attributes that only a
    // DTD declares are not the element's own and are not found.
    std::optional<std::string> value(std::string_view name) const;

private:
    const unsigned char** data_; // five pointers each: name, prefix, namespace, value, value end
    std::size_t count_;
};

// What a document streamed through the parser tells its reader, in document order. No tree is
// built: a reader that keeps only what it needs reads a large document in a fraction of the
// time and memory.
class XmlEvents {
public:
    virtual ~XmlEvents() = default;
    // name: the local name; inNamespace: whether the element belongs to a namespace.
    virtual void startElement(std::string_view name, bool inNamespace,
                              const XmlAttributes& attributes) = 0;
    virtual void endElement() = 0;
    // Character data, CDATA included, in pieces of any size.
    virtual void text(std::string_view text) = 0;
};

// Streams a file as untrusted input, with the same limits, refusals and errors as
// XmlDocument::load. An exception thrown by the reader stops the parse and goes on to the caller.
// With an outline (see XmlOutline), what stands outside its bulk is counted as a tree loaded
// with it would count it, and refused beyond its limit.
void streamXmlFile(const std::filesystem::path& file, XmlEvents& events,
                   const XmlOutline* outline = nullptr);
// The same for a text; file: the name the errors give it.
void streamXmlText(const std::string& xml, const std::filesystem::path& file, XmlEvents& events,
                   const XmlOutline* outline = nullptr);

} // namespace velmora
