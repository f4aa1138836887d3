#include "services/xml/XmlSerializer.h"

#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>
#include <libxml/xmlstring.h>
#include <memory>
#include <new>
#include <random>
#include <stdexcept>

namespace velmora::xmlsave {

namespace {

const xmlChar* xml(const std::string& s) {
    return reinterpret_cast<const xmlChar*>(s.c_str());
}

const char* encodingOf(const xmlDoc* doc) {
    return reinterpret_cast<const char*>(doc->encoding);
}

// Where libxml2's output goes: the caller's sink, or nowhere while the encoder writes what it
// opens every output with (the byte order mark of UTF-16), which must not stand in mid-file.
struct OutputSink {
    const ByteSink* sink = nullptr;
    bool discarding = false;
    bool failed = false;
};

int writeToSink(void* context, const char* buffer, int length) {
    auto* output = static_cast<OutputSink*>(context);
    if (output->discarding) {
        return length;
    }
    if (output->failed ||
        !(*output->sink)(std::string_view(buffer, static_cast<std::size_t>(length)))) {
        output->failed = true;
        return -1;
    }
    return length;
}

int appendToString(void* context, const char* buffer, int length) {
    static_cast<std::string*>(context)->append(buffer, static_cast<std::size_t>(length));
    return length;
}

// An output buffer that encodes into the document's encoding and hands the bytes to write;
// null when the encoding is unknown.
xmlOutputBuffer* encodingOutput(const char* encoding, xmlOutputWriteCallback write, void* context) {
    xmlCharEncodingHandler* encoder = nullptr;
    if (encoding != nullptr) {
        encoder = xmlFindCharEncodingHandler(encoding);
        if (encoder == nullptr) {
            return nullptr;
        }
    }
    xmlOutputBuffer* output = xmlOutputBufferCreateIO(write, nullptr, context, encoder);
    if (output == nullptr) {
        xmlCharEncCloseFunc(encoder);
    }
    return output;
}

bool serialize(xmlDoc* doc, xmlOutputWriteCallback write, void* context) {
    const char* encoding = encodingOf(doc);
    xmlOutputBuffer* output = encodingOutput(encoding, write, context);
    // Writes, flushes and frees the buffer; negative on any write error.
    return output != nullptr && xmlSaveFormatFileTo(output, doc, encoding, 0) >= 0;
}

// The bytes `text` (ASCII) becomes in the encoding, without what the encoder opens with.
std::optional<std::string> encoded(const char* encoding, const std::string& text) {
    std::string bytes;
    xmlOutputBuffer* output = encodingOutput(encoding, appendToString, &bytes);
    if (output == nullptr) {
        return std::nullopt;
    }
    xmlOutputBufferWrite(output, 1, " ");
    xmlOutputBufferFlush(output);
    const std::size_t opening = bytes.size();
    xmlOutputBufferWrite(output, static_cast<int>(text.size()), text.c_str());
    if (xmlOutputBufferClose(output) < 0) {
        return std::nullopt;
    }
    return bytes.substr(opening);
}

// An element name no document has: it marks where the streamed content goes.
std::string markerName() {
    std::random_device random;
    std::string name = "velmora-content-";
    for (int part = 0; part < 4; ++part) {
        name += std::to_string(random());
    }
    return name;
}

struct NodeFree {
    void operator()(xmlNode* node) const { xmlFreeNode(node); }
};
using OwnedNode = std::unique_ptr<xmlNode, NodeFree>;

struct SaveClose {
    void operator()(xmlSaveCtxt* save) const { xmlSaveClose(save); }
};

// Serializes each piece as it is handed over, with the save settings the whole document is
// written with (its encoding, no formatting), so the pieces read as the tree would.
class SinkContentStream final : public XmlContentStream {
public:
    SinkContentStream(xmlDoc* doc, xmlNode* detached, const ByteSink& sink)
        : doc_(doc), detached_(detached), sink_{&sink, true, false} {
        save_.reset(xmlSaveToIO(writeToSink, nullptr, &sink_, encodingOf(doc), 0));
        if (!save_) {
            throw std::bad_alloc();
        }
        xmlSaveFlush(save_.get());
        sink_.discarding = false;
    }

    void writeText(const std::string& text) override {
        if (xmlCheckUTF8(xml(text)) == 0 || text.find('\0') != std::string::npos) {
            throw std::logic_error("The text \"" + text + "\" is not valid UTF-8 text.");
        }
        const OwnedNode node(xmlNewDocTextLen(doc_, xml(text), static_cast<int>(text.size())));
        if (!node) {
            throw std::bad_alloc();
        }
        xmlSaveTree(save_.get(), node.get());
        stopIfFailed();
    }

    void writeElement(XmlNode element) override {
        xmlNode* node = element.raw();
        if (node == nullptr || node->type != XML_ELEMENT_NODE || detached_ == nullptr ||
            node->parent != detached_) {
            throw std::logic_error(
                "Only an element made by createElement and appended nowhere can be streamed.");
        }
        xmlUnlinkNode(node);
        const OwnedNode owned(node);
        xmlSaveTree(save_.get(), node);
        stopIfFailed();
    }

    // Writes what is still buffered; false when any write failed.
    bool finish() {
        const int flushed = xmlSaveClose(save_.release());
        return flushed >= 0 && !sink_.failed;
    }

    // Thrown from the stream once the sink has failed, so that the writer of the content stops
    // there: nothing after it could reach the file.
    struct SinkFailed {};

private:
    void stopIfFailed() const {
        if (sink_.failed) {
            throw SinkFailed{};
        }
    }

    xmlDoc* doc_;
    xmlNode* detached_;
    OutputSink sink_;
    std::unique_ptr<xmlSaveCtxt, SaveClose> save_; // after sink_, which it writes to
};

} // namespace

bool writeDocument(xmlDoc* doc, const ByteSink& sink) {
    OutputSink output{&sink, false, false};
    return serialize(doc, writeToSink, &output) && !output.failed;
}

std::optional<Surroundings> surroundingsOf(xmlDoc* doc, xmlNode* element) {
    if (element == nullptr || element->type != XML_ELEMENT_NODE || element->doc != doc ||
        element->children != nullptr) {
        throw std::logic_error("Only an empty element of the document can take streamed content.");
    }
    const std::string name = markerName();
    const OwnedNode owned(xmlNewDocNode(doc, nullptr, xml(name), nullptr));
    if (!owned || xmlAddChild(element, owned.get()) == nullptr) {
        throw std::bad_alloc();
    }
    std::string whole;
    const bool serialized = serialize(doc, appendToString, &whole);
    xmlUnlinkNode(owned.get());
    const std::optional<std::string> marker = encoded(encodingOf(doc), "<" + name + "/>");
    if (!serialized || !marker) {
        return std::nullopt;
    }
    const auto at = whole.find(*marker);
    if (at == std::string::npos || whole.find(*marker, at + 1) != std::string::npos) {
        // Only an encoding whose text depends on what came before could hide the marker.
        return std::nullopt;
    }
    return Surroundings{whole.substr(0, at), whole.substr(at + marker->size())};
}

bool writeAround(xmlDoc* doc, xmlNode* detached, const ByteSink& sink, const Surroundings& around,
                 const std::function<void(XmlContentStream&)>& writeContent) {
    if (!sink(around.before)) {
        return false;
    }
    SinkContentStream content(doc, detached, sink);
    try {
        writeContent(content);
    } catch (const SinkContentStream::SinkFailed&) {
        return false;
    }
    return content.finish() && sink(around.after);
}

} // namespace velmora::xmlsave
