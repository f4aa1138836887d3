#pragma once

#include "services/xml/XmlDocument.h"

#include <string>
#include <vector>

// Shared by the document and its nodes; not part of the XML service's interface.
namespace velmora::xmlpath {

// Evaluates an XPath 1.0 location path with `context` as the context node and returns the
// nodes it selects, in document order. An invalid path, or one that gives something other than
// nodes, is a fault of the program: std::logic_error.
std::vector<XmlNode> select(_xmlNode* context, const std::string& path);

} // namespace velmora::xmlpath
