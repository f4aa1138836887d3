#include "services/xml/XmlDocument.h"

#include "services/files/DocumentFile.h"
#include "services/xml/XmlInputLimits.h"
#include "services/xml/XmlParser.h"

#include <libxml/tree.h>
#include <new>
#include <stdexcept>

namespace velmora {

void XmlDocument::Deleter::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

void XmlDocument::NodeDeleter::operator()(_xmlNode* node) const {
    xmlFreeNode(node);
}

XmlDocument::XmlDocument(_xmlDoc* doc) : doc_(doc) {}

XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;

XmlDocument& XmlDocument::operator=(XmlDocument&& other) noexcept {
    if (this != &other) {
        // The detached elements use the document's dictionary: free them before it.
        detached_.reset();
        doc_ = std::move(other.doc_);
        detached_ = std::move(other.detached_);
    }
    return *this;
}

XmlDocument::~XmlDocument() = default;

XmlDocument XmlDocument::load(const std::filesystem::path& file) {
    return parse(readDocumentFile(file, xmllimits::kMaxDocumentBytes), file);
}

XmlDocument XmlDocument::load(const std::filesystem::path& file, const XmlOutline& outline) {
    return XmlDocument(xmlparse::parseUntrusted(
        readDocumentFile(file, xmllimits::kMaxDocumentBytes), file, &outline));
}

XmlDocument XmlDocument::parse(const std::string& xml, const std::filesystem::path& file) {
    return XmlDocument(xmlparse::parseUntrusted(xml, file));
}

XmlNode XmlDocument::root() const {
    return XmlNode(xmlDocGetRootElement(doc_.get()));
}

XmlNode XmlDocument::createElement(const std::string& name) {
    if (xmlValidateName(reinterpret_cast<const xmlChar*>(name.c_str()), 0) != 0) {
        throw std::logic_error("\"" + name + "\" is not a valid XML element name.");
    }
    if (!doc_) {
        throw std::logic_error("The XML element " + name +
                               " cannot be created: the document is gone.");
    }
    xmlNode* holder = detachedHolder();
    xmlNode* element =
        xmlNewDocNode(doc_.get(), nullptr, reinterpret_cast<const xmlChar*>(name.c_str()), nullptr);
    if (element == nullptr || xmlAddChild(holder, element) == nullptr) {
        xmlFreeNode(element);
        throw std::bad_alloc();
    }
    return XmlNode(element);
}

_xmlNode* XmlDocument::detachedHolder() {
    if (!detached_) {
        detached_.reset(xmlNewDocFragment(doc_.get()));
        if (!detached_) {
            throw std::bad_alloc();
        }
    }
    return detached_.get();
}

} // namespace velmora
