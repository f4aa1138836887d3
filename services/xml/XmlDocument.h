#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

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

    // The first child element with this name, or a null node.
    XmlNode firstChildElement(const std::string& name) const;

    void setAttribute(const std::string& name, const std::string& value);
    void setText(const std::string& text);
    // Appends child as the last child of this node and returns it.
    XmlNode appendChild(XmlNode child);
    // Detaches child from this node and frees it. Throws when child is null or not a child.
    void removeChild(XmlNode child);
    // Appends a text node: the line breaks and indentation between elements.
    void appendText(const std::string& text);

    // The white space that lays out the document around this node: the text of the blank text
    // node just before it, of the blank text node that opens its content, and of the one that
    // closes its content; empty when there is none.
    std::string blankBefore() const;
    std::string blankInside() const;
    std::string blankAtEnd() const;
    // Removes the blank text node just before this node, or the one that closes its content,
    // if there is one.
    void removeBlankBefore();
    void removeBlankAtEnd();

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
// Misuse by the program itself (invalid names, removing a node that is not a child) throws
// std::logic_error; running out of memory std::bad_alloc.
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
    XmlNode createElement(const std::string& name);

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
