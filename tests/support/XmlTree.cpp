#include "support/XmlTree.h"

#include "services/xml/XmlErrorHook.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

namespace velmora::testing {

namespace {

const xmlChar* xml(const std::string& s) {
    return reinterpret_cast<const xmlChar*>(s.c_str());
}

std::string fromXml(const xmlChar* s) {
    return s != nullptr ? std::string(reinterpret_cast<const char*>(s)) : std::string();
}

// Text that libxml2 allocated, freed once copied.
std::string takeXml(xmlChar* s) {
    std::string out = fromXml(s);
    xmlFree(s);
    return out;
}

struct ContextFree {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct ObjectFree {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};

// libxml2 reports XPath errors through a callback as well; kept quiet, so that only the
// exception says what went wrong.
void keepQuiet(void*, xmlhook::ErrorPointer) {}

std::vector<XmlNode> select(xmlNode* context, const std::string& path) {
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
        xmlXPathEvalExpression(xml(path), xpath.get()));
    if (!result) {
        throw std::logic_error("The path " + path +
                               " is not a valid XPath expression (libxml2 error " +
                               std::to_string(xpath->lastError.code) + ").");
    }
    if (result->type != XPATH_NODESET) {
        throw std::logic_error("The path " + path + " gives a value, not a list of XML nodes.");
    }
    std::vector<XmlNode> nodes;
    const xmlNodeSet* set = result->nodesetval;
    for (int i = 0; set != nullptr && i < set->nodeNr; ++i) {
        // Namespace nodes in a result are copies that die with it.
        if (set->nodeTab[i]->type == XML_NAMESPACE_DECL) {
            throw std::logic_error("The path " + path + " selects namespace nodes.");
        }
        nodes.emplace_back(set->nodeTab[i]);
    }
    return nodes;
}

// The attribute without a namespace of that name, as written in the document (no DTD defaults).
const xmlAttr* findAttribute(const XmlNode& element, const std::string& name) {
    const xmlNode* node = element.raw();
    if (node == nullptr || node->type != XML_ELEMENT_NODE) {
        return nullptr;
    }
    for (const xmlAttr* attribute = node->properties; attribute != nullptr;
         attribute = attribute->next) {
        if (attribute->ns == nullptr && xmlStrEqual(attribute->name, xml(name)) != 0) {
            return attribute;
        }
    }
    return nullptr;
}

xmlDoc* docOf(const XmlDocument& document) {
    const xmlNode* root = document.root().raw();
    return root != nullptr ? root->doc : nullptr;
}

} // namespace

std::vector<XmlNode> selectNodes(const XmlDocument& document, const std::string& path) {
    return select(reinterpret_cast<xmlNode*>(docOf(document)), path);
}

std::vector<XmlNode> selectNodes(const XmlNode& context, const std::string& path) {
    return select(context.raw(), path);
}

std::string textOf(const XmlNode& node) {
    return node.isNull() ? std::string() : takeXml(xmlNodeGetContent(node.raw()));
}

bool hasAttribute(const XmlNode& element, const std::string& name) {
    return findAttribute(element, name) != nullptr;
}

std::string attributeOf(const XmlNode& element, const std::string& name) {
    const xmlAttr* attribute = findAttribute(element, name);
    return attribute != nullptr
               ? takeXml(xmlNodeGetContent(reinterpret_cast<const xmlNode*>(attribute)))
               : std::string();
}

std::string declaredEncoding(const XmlDocument& document) {
    const xmlDoc* doc = docOf(document);
    return doc != nullptr ? fromXml(doc->encoding) : std::string();
}

std::vector<SauceRecord> treeSectionRecords(const XmlDocument& document, const std::string& name) {
    std::vector<SauceRecord> records;
    for (const XmlNode& record :
         selectNodes(document, "/SERVICIO/SALIDAS/listasal[@seq=\"" + name + "\"]/listasal")) {
        std::vector<std::string> texts;
        std::vector<std::optional<std::string>> datos;
        for (const XmlNode& value : selectNodes(record, "salida")) {
            texts.push_back(textOf(value));
            datos.push_back(hasAttribute(value, "dato") ? std::optional(attributeOf(value, "dato"))
                                                        : std::nullopt);
        }
        records.emplace_back(std::move(texts), std::move(datos), records.size() + 1);
    }
    return records;
}

} // namespace velmora::testing
