#include "services/xml/XmlPath.h"

#include "services/xml/XmlErrorHook.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <memory>
#include <new>
#include <stdexcept>

namespace velmora::xmlpath {

namespace {

struct ContextFree {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct ObjectFree {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};

// libxml2 reports XPath errors through a callback without their text; the callback is kept
// quiet so nothing reaches the console, and the text is made here from the error code.
void keepQuiet(void*, xmlhook::ErrorPointer) {}

std::string describe(const xmlError& error) {
    switch (error.code) {
    case XML_XPATH_NUMBER_ERROR:
        return "a number is malformed";
    case XML_XPATH_UNFINISHED_LITERAL_ERROR:
        return "a quoted text is not closed";
    case XML_XPATH_START_LITERAL_ERROR:
        return "a quoted text was expected";
    case XML_XPATH_VARIABLE_REF_ERROR:
        return "a variable reference is malformed";
    case XML_XPATH_UNDEF_VARIABLE_ERROR:
        return "a variable is not defined";
    case XML_XPATH_INVALID_PREDICATE_ERROR:
        return "a condition in brackets is malformed";
    case XML_XPATH_UNCLOSED_ERROR:
        return "a bracket is not closed";
    case XML_XPATH_UNKNOWN_FUNC_ERROR:
        return "a function is unknown";
    case XML_XPATH_INVALID_OPERAND:
        return "an operand has the wrong type";
    case XML_XPATH_INVALID_TYPE:
        return "a value has the wrong type";
    case XML_XPATH_INVALID_ARITY:
        return "a function has the wrong number of arguments";
    case XML_XPATH_UNDEF_PREFIX_ERROR:
        return "a namespace prefix is not defined";
    case XML_XPATH_INVALID_CHAR_ERROR:
        return "it holds a character not allowed there";
    default:
        return "the expression is malformed";
    }
}

} // namespace

std::vector<XmlNode> select(_xmlNode* context, const std::string& path) {
    if (context == nullptr) {
        throw std::logic_error("The path " + path +
                               " cannot be evaluated on a missing XML element.");
    }
    std::unique_ptr<xmlXPathContext, ContextFree> xpath(xmlXPathNewContext(context->doc));
    if (!xpath) {
        throw std::bad_alloc();
    }
    xpath->node = context;
    xpath->error = keepQuiet;

    std::unique_ptr<xmlXPathObject, ObjectFree> result(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path.c_str()), xpath.get()));
    if (!result) {
        const std::string position =
            xpath->lastError.code != 0
                ? " (at character " + std::to_string(xpath->lastError.int1) + ")"
                : "";
        throw std::logic_error("The path " + path + " is not a valid XPath expression: " +
                               describe(xpath->lastError) + position + ".");
    }
    if (result->type != XPATH_NODESET) {
        throw std::logic_error("The path " + path + " gives a value, not a list of XML nodes.");
    }

    std::vector<XmlNode> nodes;
    const xmlNodeSet* set = result->nodesetval;
    const int count = set != nullptr ? set->nodeNr : 0;
    nodes.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        xmlNode* node = set->nodeTab[i];
        // Namespace nodes in a result are copies that die with it; nothing here asks for them.
        if (node->type == XML_NAMESPACE_DECL) {
            throw std::logic_error("The path " + path +
                                   " selects namespace nodes, which are not supported.");
        }
        nodes.emplace_back(node);
    }
    return nodes;
}

} // namespace velmora::xmlpath
