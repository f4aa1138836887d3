#include "services/xml/XmlParser.h"

#include "services/Error.h"
#include "services/xml/XmlDocument.h"
#include "services/xml/XmlErrorHook.h"
#include "services/xml/XmlInputLimits.h"
#include "services/xml/XmlParseProblem.h"
#include "services/xml/XmlStream.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <memory>
#include <new>
#include <string_view>

namespace velmora::xmlparse {

namespace {

// No network, and none of the options that load DTDs, substitute entities or lift the parser's
// limits (XML_PARSE_HUGE would raise its nesting limit, among others). Short texts are kept
// inside their nodes, which spares a large document most of its allocations; line numbers are
// counted beyond 65535 for the messages.
#if LIBXML_VERSION >= 21300
// From 2.13 the quiet options silence the parser's own handler too, so that it would never hear
// of an error; the handler set below keeps every message from the console instead.
constexpr int kQuietOptions = 0;
#else
constexpr int kQuietOptions = XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
#endif
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_COMPACT | XML_PARSE_BIG_LINES | kQuietOptions;

struct ParseState {
    ParseProblem problem;
    bool declaresEntities = false;
    std::size_t entityLine = 0;
    // Streaming only: the reader, whether it met an element, and what it threw.
    XmlEvents* events = nullptr;
    bool sawElement = false;
    std::exception_ptr failure;
    // With an outline: the tree builder's own handlers (a tree only), where the parse stands,
    // and what it counted outside the bulk's content.
    const XmlOutline* outline = nullptr;
    xmlSAXHandler tree{};
    int depth = 0;
    int bulkDepth = 0; // the depth of the bulk element the parse is in, 0 outside one
    bool bulkHadChild = false;
    std::uint64_t outside = 0;
    bool tooMuchOutside = false;
    // Once the parse is stopped, the texts and names the parser hands the callback that stopped
    // it are freed: nothing may read them any more.
    bool stopped = false;
};

ParseState& stateOf(void* parserContext) {
    return *static_cast<ParseState*>(static_cast<xmlParserCtxt*>(parserContext)->_private);
}

void stop(void* parserContext) {
    stateOf(parserContext).stopped = true;
    xmlStopParser(static_cast<xmlParserCtxt*>(parserContext));
}

void noteError(void* parserContext, xmlhook::ErrorPointer error) {
    if (error != nullptr) {
        stateOf(parserContext).problem.note(*error);
    }
}

// The count of what stands outside the bulk: the first node over the limit stops the parse.
void countOutside(void* parserContext, std::uint64_t nodes) {
    ParseState& state = stateOf(parserContext);
    state.outside += nodes;
    if (state.outside > state.outline->maxNodesOutside && !state.tooMuchOutside) {
        state.tooMuchOutside = true;
        stop(parserContext);
    }
}

// Where each node the parser reports stands, by the outline: true outside the bulk's content.
// Without an outline, everything does.
bool enterElement(void* parserContext, const xmlChar* localName, int attributes) {
    ParseState& state = stateOf(parserContext);
    ++state.depth;
    if (state.outline == nullptr) {
        return true;
    }
    if (state.bulkDepth != 0) {
        state.bulkHadChild = true;
        return false;
    }
    countOutside(parserContext, 1 + static_cast<std::uint64_t>(attributes));
    if (state.stopped) {
        return false;
    }
    if (state.depth == 2 && xmlStrEqual(localName, reinterpret_cast<const xmlChar*>(
                                                       state.outline->bulk.c_str())) != 0) {
        state.bulkDepth = state.depth;
        state.bulkHadChild = false;
    }
    return true;
}

bool leaveElement(void* parserContext) {
    ParseState& state = stateOf(parserContext);
    const int depth = state.depth--;
    if (state.outline == nullptr || state.bulkDepth == 0) {
        return true;
    }
    if (depth > state.bulkDepth) {
        return false;
    }
    state.bulkDepth = 0;
    return true;
}

// Text (the blank text that opens the bulk's content stays), or a comment, an instruction or a
// CDATA section.
bool otherNode(void* parserContext, bool text) {
    ParseState& state = stateOf(parserContext);
    if (state.outline == nullptr) {
        return true;
    }
    if (state.bulkDepth != 0 && !(text && !state.bulkHadChild && state.depth == state.bulkDepth)) {
        state.bulkHadChild = true;
        return false;
    }
    countOutside(parserContext, 1);
    return !state.stopped;
}

// The tree builder, with the bulk's content left out.
void treeStart(void* parserContext, const xmlChar* localName, const xmlChar* prefix,
               const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
               int attributeCount, int defaultedCount, const xmlChar** attributes) {
    if (enterElement(parserContext, localName, attributeCount)) {
        stateOf(parserContext)
            .tree.startElementNs(parserContext, localName, prefix, uri, namespaceCount, namespaces,
                                 attributeCount, defaultedCount, attributes);
    }
}

void treeEnd(void* parserContext, const xmlChar* localName, const xmlChar* prefix,
             const xmlChar* uri) {
    if (leaveElement(parserContext)) {
        stateOf(parserContext).tree.endElementNs(parserContext, localName, prefix, uri);
    }
}

void treeCharacters(void* parserContext, const xmlChar* text, int length) {
    if (otherNode(parserContext, true) && stateOf(parserContext).tree.characters) {
        stateOf(parserContext).tree.characters(parserContext, text, length);
    }
}

void treeBlanks(void* parserContext, const xmlChar* text, int length) {
    if (otherNode(parserContext, true) && stateOf(parserContext).tree.ignorableWhitespace) {
        stateOf(parserContext).tree.ignorableWhitespace(parserContext, text, length);
    }
}

void treeCData(void* parserContext, const xmlChar* text, int length) {
    if (otherNode(parserContext, false) && stateOf(parserContext).tree.cdataBlock) {
        stateOf(parserContext).tree.cdataBlock(parserContext, text, length);
    }
}

void treeComment(void* parserContext, const xmlChar* text) {
    if (otherNode(parserContext, false) && stateOf(parserContext).tree.comment) {
        stateOf(parserContext).tree.comment(parserContext, text);
    }
}

void treeInstruction(void* parserContext, const xmlChar* target, const xmlChar* data) {
    if (otherNode(parserContext, false) && stateOf(parserContext).tree.processingInstruction) {
        stateOf(parserContext).tree.processingInstruction(parserContext, target, data);
    }
}

void treeReference(void* parserContext, const xmlChar* name) {
    if (otherNode(parserContext, true) && stateOf(parserContext).tree.reference) {
        stateOf(parserContext).tree.reference(parserContext, name);
    }
}

// A streaming reader hears of no comment or instruction; they are counted all the same.
void countComment(void* parserContext, const xmlChar*) {
    otherNode(parserContext, false);
}

void countInstruction(void* parserContext, const xmlChar*, const xmlChar*) {
    otherNode(parserContext, false);
}

// A service document never declares entities. Stopping at the declaration, before the entity
// is stored, means no reference to it can ever be expanded, however the document nests them.
void refuseEntity(void* parserContext) {
    auto* context = static_cast<xmlParserCtxt*>(parserContext);
    ParseState& state = stateOf(parserContext);
    if (!state.declaresEntities) {
        state.declaresEntities = true;
        state.entityLine =
            context->input != nullptr ? static_cast<std::size_t>(context->input->line) : 0;
    }
    stop(context);
}

void refuseParsedEntity(void* parserContext, const xmlChar*, int, const xmlChar*, const xmlChar*,
                        xmlChar*) {
    refuseEntity(parserContext);
}

void refuseUnparsedEntity(void* parserContext, const xmlChar*, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    refuseEntity(parserContext);
}

// The reader's exceptions must not cross the parser's C code: the first one stops the parse
// and is thrown again once the parser has returned. A stopped parse tells the reader nothing.
template <typename Call> void toReader(void* parserContext, Call call) {
    ParseState& state = stateOf(parserContext);
    if (state.stopped) {
        return;
    }
    try {
        call(*state.events);
    } catch (...) {
        state.failure = std::current_exception();
        stop(parserContext);
    }
}

std::string_view view(const xmlChar* text) {
    return text != nullptr ? std::string_view(reinterpret_cast<const char*>(text))
                           : std::string_view();
}

void streamStart(void* parserContext, const xmlChar* name, const xmlChar*, const xmlChar* uri, int,
                 const xmlChar**, int attributeCount, int defaultedCount,
                 const xmlChar** attributes) {
    stateOf(parserContext).sawElement = true;
    enterElement(parserContext, name, attributeCount);
    // The defaulted attributes come last; like the tree, the reader leaves them out.
    const XmlAttributes own(const_cast<const unsigned char**>(attributes),
                            static_cast<std::size_t>(attributeCount - defaultedCount));
    toReader(parserContext,
             [&](XmlEvents& events) { events.startElement(view(name), uri != nullptr, own); });
}

void streamEnd(void* parserContext, const xmlChar*, const xmlChar*, const xmlChar*) {
    leaveElement(parserContext);
    toReader(parserContext, [](XmlEvents& events) { events.endElement(); });
}

void streamText(void* parserContext, const xmlChar* text, int length) {
    otherNode(parserContext, true);
    toReader(parserContext, [&](XmlEvents& events) {
        events.text(std::string_view(reinterpret_cast<const char*>(text),
                                     static_cast<std::size_t>(length)));
    });
}

#if LIBXML_VERSION < 21300
void ignoreMessage(void*, const char*, ...) {}

// Before 2.13, decoding and input failures are reported through the thread's global handlers,
// not the parser's: they are caught for the parse and put back as they were.
class CaughtGlobalErrors {
public:
    explicit CaughtGlobalErrors(xmlParserCtxt* context)
        : generic_(xmlGenericError), genericContext_(xmlGenericErrorContext),
          structured_(xmlStructuredError), structuredContext_(xmlStructuredErrorContext) {
        xmlSetGenericErrorFunc(nullptr, ignoreMessage);
        xmlSetStructuredErrorFunc(context, noteError);
    }
    ~CaughtGlobalErrors() {
        xmlSetGenericErrorFunc(genericContext_, generic_);
        xmlSetStructuredErrorFunc(structuredContext_, structured_);
    }
    CaughtGlobalErrors(const CaughtGlobalErrors&) = delete;
    CaughtGlobalErrors& operator=(const CaughtGlobalErrors&) = delete;

private:
    xmlGenericErrorFunc generic_;
    void* genericContext_;
    xmlStructuredErrorFunc structured_;
    void* structuredContext_;
};
#endif

struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct DocumentFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

std::unique_ptr<xmlParserCtxt, ContextFree> newContext(ParseState& state) {
    std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (!context || context->sax == nullptr) {
        throw std::bad_alloc();
    }
    context->userData = context.get();
    context->_private = &state;
    context->sax->entityDecl = refuseParsedEntity;
    context->sax->unparsedEntityDecl = refuseUnparsedEntity;
#if LIBXML_VERSION >= 21300
    xmlCtxtSetErrorHandler(context.get(), noteError, context.get());
#else
    context->sax->serror = noteError;
#endif
    return context;
}

} // namespace

namespace {

// The text handed to the parser a piece at a time, as it asks for it: given whole, the parser
// would first copy all of it.
struct TextReader {
    std::string_view rest;
};

int readText(void* context, char* buffer, int size) {
    auto* reader = static_cast<TextReader*>(context);
    const std::size_t count = std::min(reader->rest.size(), static_cast<std::size_t>(size));
    std::memcpy(buffer, reader->rest.data(), count);
    reader->rest.remove_prefix(count);
    return static_cast<int>(count);
}

// Parses with the context as prepared and throws what went wrong; the document, if the parser
// made one, is the caller's.
std::unique_ptr<xmlDoc, DocumentFree> run(const std::string& xml, const std::filesystem::path& file,
                                          ParseState& state, xmlParserCtxt* context) {
    xmllimits::requireWithinLimits(xml, file);
    std::unique_ptr<xmlDoc, DocumentFree> doc;
    {
#if LIBXML_VERSION < 21300
        const CaughtGlobalErrors caught(context);
#endif
        TextReader reader{xml};
        doc.reset(
            xmlCtxtReadIO(context, readText, nullptr, &reader, nullptr, nullptr, kParseOptions));
    }
    if (state.failure) {
        std::rethrow_exception(state.failure);
    }
    if (state.declaresEntities) {
        throw Error(ErrorKind::DocumentDeclaresEntities, {.file = file, .line = state.entityLine});
    }
    if (state.tooMuchOutside) {
        throw Error(
            ErrorKind::DocumentTooMuchOutside,
            {.file = file, .value = state.outline->bulk, .limit = state.outline->maxNodesOutside});
    }
    if (context->wellFormed == 0 || (!doc && !state.events)) {
        if (context->errNo == XML_ERR_NO_MEMORY) {
            throw std::bad_alloc();
        }
        throw state.problem.error(xml, file);
    }
    return doc;
}

[[noreturn]] void throwNoRoot(const std::filesystem::path& file) {
    throw Error(ErrorKind::DocumentNotWellFormed,
                {.file = file, .reason = ErrorReason::NoRootElement});
}

} // namespace

_xmlDoc* parseUntrusted(const std::string& xml, const std::filesystem::path& file,
                        const XmlOutline* outline) {
    ParseState state;
    state.outline = outline;
    const auto context = newContext(state);
    if (outline != nullptr) {
        xmlSAXHandler* sax = context->sax;
        state.tree = *sax;
        sax->startElementNs = treeStart;
        sax->endElementNs = treeEnd;
        sax->characters = treeCharacters;
        sax->ignorableWhitespace = treeBlanks;
        sax->cdataBlock = treeCData;
        sax->comment = treeComment;
        sax->processingInstruction = treeInstruction;
        sax->reference = treeReference;
    }
    auto doc = run(xml, file, state, context.get());
    if (xmlDocGetRootElement(doc.get()) == nullptr) {
        throwNoRoot(file);
    }
    return doc.release();
}

void streamUntrusted(const std::string& xml, const std::filesystem::path& file, XmlEvents& events,
                     const XmlOutline* outline) {
    ParseState state;
    state.events = &events;
    state.outline = outline;
    const auto context = newContext(state);
    // The reader takes the place of the tree builder; the document the parser still starts
    // stays empty.
    xmlSAXHandler* sax = context->sax;
    sax->startElementNs = streamStart;
    sax->endElementNs = streamEnd;
    sax->characters = streamText;
    sax->ignorableWhitespace = streamText;
    sax->cdataBlock = streamText;
    sax->startElement = nullptr;
    sax->endElement = nullptr;
    sax->reference = nullptr;
    sax->comment = outline != nullptr ? countComment : nullptr;
    sax->processingInstruction = outline != nullptr ? countInstruction : nullptr;
    run(xml, file, state, context.get());
    if (!state.sawElement) {
        throwNoRoot(file);
    }
}

} // namespace velmora::xmlparse
