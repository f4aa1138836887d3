#include "services/xml/XmlDocument.h"

#include <libxml/tree.h>
#include <libxml/xmlstring.h>

#include <new>
#include <stdexcept>

namespace velmora {

namespace {

const xmlChar* xml(const std::string& s) {
    return reinterpret_cast<const xmlChar*>(s.c_str());
}

std::string fromXml(const xmlChar* s) {
    return s != nullptr ? std::string(reinterpret_cast<const char*>(s)) : std::string();
}

std::string describe(const xmlNode* node) {
    if (node == nullptr) {
        return "a missing XML node";
    }
    return "the XML element " + fromXml(node->name);
}

void requireNode(const xmlNode* node, const std::string& operation) {
    if (node == nullptr) {
        throw std::logic_error("Cannot " + operation + " on a missing XML element.");
    }
}

void requireName(const std::string& name, const std::string& what) {
    if (xmlValidateName(xml(name), 0) != 0) {
        throw std::logic_error("\"" + name + "\" is not a valid XML " + what + " name.");
    }
}

void requireUtf8(const std::string& text, const std::string& what) {
    if (xmlCheckUTF8(xml(text)) == 0 || text.find('\0') != std::string::npos) {
        throw std::logic_error("The " + what + " \"" + text + "\" is not valid UTF-8 text.");
    }
}

xmlNode* newText(xmlDoc* doc, const std::string& text) {
    xmlNode* node = xmlNewDocTextLen(doc, xml(text), static_cast<int>(text.size()));
    if (node == nullptr) {
        throw std::bad_alloc();
    }
    return node;
}

bool isBlankText(const xmlNode* node) {
    return node != nullptr && node->type == XML_TEXT_NODE && xmlIsBlankNode(node) != 0;
}

void removeIfBlank(xmlNode* node) {
    if (isBlankText(node)) {
        xmlUnlinkNode(node);
        xmlFreeNode(node);
    }
}

bool isSelfOrAncestor(const xmlNode* candidate, const xmlNode* node) {
    for (; node != nullptr; node = node->parent) {
        if (node == candidate) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string XmlNode::name() const {
    return node_ != nullptr ? fromXml(node_->name) : std::string();
}

XmlNode XmlNode::firstChildElement(const std::string& name) const {
    if (node_ == nullptr) {
        return XmlNode();
    }
    for (xmlNode* child = node_->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && xmlStrEqual(child->name, xml(name)) != 0) {
            return XmlNode(child);
        }
    }
    return XmlNode();
}

void XmlNode::setAttribute(const std::string& name, const std::string& value) {
    requireNode(node_, "set the attribute " + name);
    requireName(name, "attribute");
    requireUtf8(value, "value of the attribute " + name);
    // The value is literal text: markup characters are escaped on saving.
    xmlUnsetProp(node_, xml(name));
    xmlAttr* attribute = xmlNewProp(node_, xml(name), nullptr);
    if (attribute == nullptr) {
        throw std::bad_alloc();
    }
    if (!value.empty()) {
        xmlNode* content = newText(node_->doc, value);
        content->parent = reinterpret_cast<xmlNode*>(attribute);
        attribute->children = content;
        attribute->last = content;
    }
}

void XmlNode::setText(const std::string& text) {
    requireNode(node_, "set the text");
    requireUtf8(text, "text");
    // Clearing first and adding a text node keeps "<&>" as characters; xmlNodeSetContent alone
    // would read them as markup.
    xmlNodeSetContent(node_, nullptr);
    if (text.empty()) {
        return;
    }
    xmlNode* content = newText(node_->doc, text);
    if (xmlAddChild(node_, content) == nullptr) {
        xmlFreeNode(content);
        throw std::bad_alloc();
    }
}

XmlNode XmlNode::appendChild(XmlNode child) {
    requireNode(node_, "append an element");
    xmlNode* added = child.raw();
    if (added == nullptr) {
        throw std::logic_error("A missing XML element cannot be appended to " + describe(node_) +
                               ".");
    }
    if (added->doc != node_->doc) {
        throw std::logic_error("Cannot append " + describe(added) + " to " + describe(node_) +
                               ": it belongs to another document.");
    }
    if (isSelfOrAncestor(added, node_)) {
        throw std::logic_error("Cannot append " + describe(added) + " inside itself.");
    }
    xmlUnlinkNode(added);
    // xmlAddChild may merge a text node into its neighbour and free it; the result is the node
    // that now holds the content.
    xmlNode* result = xmlAddChild(node_, added);
    if (result == nullptr) {
        throw std::logic_error("Cannot append " + describe(added) + " to " + describe(node_) + ".");
    }
    return XmlNode(result);
}

void XmlNode::removeChild(XmlNode child) {
    requireNode(node_, "remove an element");
    xmlNode* removed = child.raw();
    if (removed == nullptr) {
        throw std::logic_error("Cannot remove a missing XML element from " + describe(node_) + ".");
    }
    if (removed->parent != node_) {
        throw std::logic_error("Cannot remove " + describe(removed) + " from " + describe(node_) +
                               ": it is not one of its children.");
    }
    xmlUnlinkNode(removed);
    xmlFreeNode(removed);
}

void XmlNode::appendText(const std::string& text) {
    requireNode(node_, "append text");
    requireUtf8(text, "text");
    // A text node appended after another merges into it (and is freed there).
    xmlAddChild(node_, newText(node_->doc, text));
}

std::string XmlNode::blankBefore() const {
    const xmlNode* previous = node_ != nullptr ? node_->prev : nullptr;
    return isBlankText(previous) ? fromXml(previous->content) : std::string();
}

std::string XmlNode::blankInside() const {
    const xmlNode* first = node_ != nullptr ? node_->children : nullptr;
    return isBlankText(first) ? fromXml(first->content) : std::string();
}

std::string XmlNode::blankAtEnd() const {
    const xmlNode* last = node_ != nullptr ? node_->last : nullptr;
    return isBlankText(last) ? fromXml(last->content) : std::string();
}

void XmlNode::removeBlankBefore() {
    removeIfBlank(node_ != nullptr ? node_->prev : nullptr);
}

void XmlNode::removeBlankAtEnd() {
    removeIfBlank(node_ != nullptr ? node_->last : nullptr);
}

} // namespace velmora
