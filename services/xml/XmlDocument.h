#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _xmlNode;
struct _xmlDoc;

namespace velmora {

class FileDraft;

// A node of an XmlDocument. It does not own the node: it is valid while its document lives
// and the node stays in that document's tree.
class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(_xmlNode* node) : node_(node) {}

    bool isNull() const { return node_ == nullptr; }
    std::string name() const;

    // XPath 1.0 location path evaluated with this node as the context node.
    std::vector<XmlNode> selectNodes(const std::string& path) const;
    // The first child element with this name, or a null node.
    XmlNode firstChildElement(const std::string& name) const;
    // Every child element with this name, in document order: what the relative path "name"
    // selects, without evaluating a path for each record of a large document.
    std::vector<XmlNode> childElements(const std::string& name) const;

    std::string text() const; // all text inside the node, concatenated (UTF-8)
    bool hasAttribute(const std::string& name) const;
    std::string attribute(const std::string& name) const; // empty when missing

    void setAttribute(const std::string& name, const std::string& value);
    void setText(const std::string& text);
    // Appends child as the last child of this node and returns it.
    XmlNode appendChild(XmlNode child);
    // Detaches child from this node and frees it. Throws when child is null or not a child.
    void removeChild(XmlNode child);
    // Puts replacement (a new element of the same document) where this node stands and frees
    // this node; returns the replacement.
    XmlNode replaceWith(XmlNode replacement);
    // Appends a text node: the line breaks and indentation between elements.
    void appendText(const std::string& text);

    // The white space that lays out the document around this node: the text of the blank text
    // node just before it, and of the blank text node that opens its content; empty when there
    // is none.
    std::string blankBefore() const;
    std::string blankInside() const;
    // Removes the blank text node just before this node, if there is one.
    void removeBlankBefore();

    _xmlNode* raw() const { return node_; }

private:
    _xmlNode* node_ = nullptr;
};

// Where a streamed save (XmlDocument::saveStreaming) sends the content of its element, piece by
// piece in document order; each piece is serialized, in the file's own encoding, as it comes.
class XmlContentStream {
public:
    virtual ~XmlContentStream() = default;
    // Text as it stands: the line breaks and indentation between elements.
    virtual void writeText(const std::string& text) = 0;
    // An element made by the document's createElement and appended nowhere, with everything it
    // holds; it is freed once written, and must not be used again.
    virtual void writeElement(XmlNode element) = 0;
};

// Where a document keeps its bulk, and how much may stand outside it: the root's children named
// `bulk` hold nearly all of a large document. A tree loaded with the outline leaves their
// content out (all but the blank text that opens it, which shows how the document is laid
// out), for a caller that will replace it anyway; and outside that content, at most
// maxNodesOutside elements, attributes, texts, comments and instructions may stand, so that no
// document, however it is built, makes that tree grow beyond reason. A streamed document is
// counted in the same way, so that both ways of reading refuse the same documents
// (DocumentTooMuchOutside).
struct XmlOutline {
    std::string bulk;
    std::uint64_t maxNodesOutside = 0;
};

// A parsed XML document, owned. Files are parsed as untrusted input: nothing is loaded from
// outside, entity declarations are refused, and the text must keep within the input limits
// (services/xml/XmlInputLimits.h), so that no document costs more than a bounded time and memory.
// Misuse by the program itself (invalid names, invalid paths, removing a node that is not a
// child) throws std::logic_error; running out of memory std::bad_alloc.
class XmlDocument {
public:
    // Throws an Error naming the file, with the line and column of the first problem, when the
    // file is not a regular file, cannot be read, is empty, goes over the limits, declares
    // entities or is not well-formed XML.
    static XmlDocument load(const std::filesystem::path& file);
    // The same, with the bulk's content left out and what stands outside it limited.
    static XmlDocument load(const std::filesystem::path& file, const XmlOutline& outline);
    // file: the name the errors give the text.
    static XmlDocument parse(const std::string& xml, const std::filesystem::path& file);

    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;
    ~XmlDocument();

    XmlNode root() const;
    std::vector<XmlNode> selectNodes(const std::string& path) const;
    XmlNode createElement(const std::string& name);

    // The encoding the document declared ("ISO-8859-1", ...), empty for none (UTF-8).
    std::string encoding() const;

    // Writes the whole document in its own encoding. The file is written beside the target
    // and renamed over it, so a failed save leaves any earlier file intact. Failures are
    // Errors (ResultNotSaved, or those of FileDraft) naming the file.
    void save(const std::filesystem::path& file) const;
    // Saves as save() does, except that element, which must be empty, is written with a start and
    // an end tag and with the content that writeContent hands to the stream as the file reaches
    // it: content that would take far more memory as a tree than as text never stands whole.
    // The bytes are those save() writes for the same tree.
    void saveStreaming(const std::filesystem::path& file, XmlNode element,
                       const std::function<void(XmlContentStream&)>& writeContent);
    // The same two, written into a draft that the caller finishes and puts in place.
    void saveInto(FileDraft& draft) const;
    void saveStreamingInto(FileDraft& draft, XmlNode element,
                           const std::function<void(XmlContentStream&)>& writeContent);

private:
    explicit XmlDocument(_xmlDoc* doc);
    // The holder of the elements createElement made, made on first use.
    _xmlNode* detachedHolder();
    struct Deleter {
        void operator()(_xmlDoc* doc) const;
    };
    struct NodeDeleter {
        void operator()(_xmlNode* node) const;
    };
    std::unique_ptr<_xmlDoc, Deleter> doc_;
    // Holds the elements made by createElement until they are appended somewhere, so one that
    // never is goes with the document. Declared after doc_: it must be freed first.
    std::unique_ptr<_xmlNode, NodeDeleter> detached_;
};

} // namespace velmora
