#include "services/xml/XmlParser.h"

#include "services/Error.h"
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
};

ParseState& stateOf(void* parserContext) {
    return *static_cast<ParseState*>(static_cast<xmlParserCtxt*>(parserContext)->_private);
}

void noteError(void* parserContext, xmlhook::ErrorPointer error) {
    if (error != nullptr) {
        stateOf(parserContext).problem.note(*error);
    }
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
    xmlStopParser(context);
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
// and is thrown again once the parser has returned.
template <typename Call> void toReader(void* parserContext, Call call) {
    ParseState& state = stateOf(parserContext);
    if (state.failure) {
        return;
    }
    try {
        call(*state.events);
    } catch (...) {
        state.failure = std::current_exception();
        xmlStopParser(static_cast<xmlParserCtxt*>(parserContext));
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
    // The defaulted attributes come last; like the tree, the reader leaves them out.
    const XmlAttributes own(const_cast<const unsigned char**>(attributes),
                            static_cast<std::size_t>(attributeCount - defaultedCount));
    toReader(parserContext,
             [&](XmlEvents& events) { events.startElement(view(name), uri != nullptr, own); });
}

void streamEnd(void* parserContext, const xmlChar*, const xmlChar*, const xmlChar*) {
    toReader(parserContext, [](XmlEvents& events) { events.endElement(); });
}

void streamText(void* parserContext, const xmlChar* text, int length) {
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
    if (context->wellFormed == 0 || (!doc && !state.events)) {
        if (context->errNo == XML_ERR_NO_MEMORY) {
            throw std::bad_alloc();
        }
        throw state.problem.error(xml, file);
    }
    return doc;
}

[[noreturn]] void throwNoRoot(const std::filesystem::path& file) {
    throw Error(ErrorKind::DocumentNotWellFormed, {.file = file, .reason = "no-root"});
}

} // namespace

_xmlDoc* parseUntrusted(const std::string& xml, const std::filesystem::path& file) {
    ParseState state;
    const auto context = newContext(state);
    auto doc = run(xml, file, state, context.get());
    if (xmlDocGetRootElement(doc.get()) == nullptr) {
        throwNoRoot(file);
    }
    return doc.release();
}

void streamUntrusted(const std::string& xml, const std::filesystem::path& file, XmlEvents& events) {
    ParseState state;
    state.events = &events;
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
    sax->comment = nullptr;
    sax->processingInstruction = nullptr;
    run(xml, file, state, context.get());
    if (!state.sawElement) {
        throwNoRoot(file);
    }
}

} // namespace velmora::xmlparse
