#pragma once

#include "formats/SauceRecord.h"
#include "services/xml/XmlDocument.h"

#include <string>
#include <vector>

// Reading a loaded document's tree back, which only the tests and the fuzz targets do: the
// program streams the documents it reads, and only writes into the tree of the one it saves.
namespace velmora::testing {

// Evaluates an XPath 1.0 location path with the document, or the node, as the context node and
// returns the nodes it selects, in document order. An invalid path, or one that gives something
// other than nodes, is a fault of the test: std::logic_error.
std::vector<XmlNode> selectNodes(const XmlDocument& document, const std::string& path);
std::vector<XmlNode> selectNodes(const XmlNode& context, const std::string& path);

// All text inside the node, concatenated (UTF-8).
std::string textOf(const XmlNode& node);
// The attribute without a namespace of that name, as written in the document; empty when the
// element has none.
bool hasAttribute(const XmlNode& element, const std::string& name);
std::string attributeOf(const XmlNode& element, const std::string& name);

// The encoding the document declared ("ISO-8859-1", ...), empty for none (UTF-8).
std::string declaredEncoding(const XmlDocument& document);

// The records of a section as the loaded tree gives them,
// /SERVICIO/SALIDAS/listasal[@seq="NAME"]/listasal, in document order: what ServiceSections
// streams from the same document must equal them. name: a section's name, without quotes.
std::vector<SauceRecord> treeSectionRecords(const XmlDocument& document, const std::string& name);

} // namespace velmora::testing
