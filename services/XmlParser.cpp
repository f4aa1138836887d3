#include "services/XmlParser.h"

#include "services/Error.h"
#include "services/XmlErrorHook.h"
#include "services/XmlInputLimits.h"
#include "services/XmlParseProblem.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <memory>
#include <new>

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
};

ParseState& stateOf(void* parserContext) {
    return *static_cast<ParseState*>(static_cast<xmlParserCtxt*>(parserContext)->_private);
}

void noteError(void* parserContext, xmlhook::ErrorPointer error) {
    if (error != nullptr) {
        stateOf(parserContext).problem.note(*error);
    }
}

void ignoreMessage(void*, const char*, ...) {}

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

#if LIBXML_VERSION < 21300
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

_xmlDoc* parseUntrusted(const std::string& xml, const std::filesystem::path& file) {
    xmllimits::requireWithinLimits(xml, file);

    ParseState state;
    const auto context = newContext(state);
    std::unique_ptr<xmlDoc, DocumentFree> doc;
    {
#if LIBXML_VERSION < 21300
        const CaughtGlobalErrors caught(context.get());
#endif
        doc.reset(xmlCtxtReadMemory(context.get(), xml.data(), static_cast<int>(xml.size()),
                                    nullptr, nullptr, kParseOptions));
    }
    if (state.declaresEntities) {
        throw Error(ErrorKind::DocumentDeclaresEntities, {.file = file, .line = state.entityLine});
    }
    if (!doc || context->wellFormed == 0) {
        if (context->errNo == XML_ERR_NO_MEMORY) {
            throw std::bad_alloc();
        }
        throw state.problem.error(xml, file);
    }
    if (xmlDocGetRootElement(doc.get()) == nullptr) {
        throw Error(ErrorKind::DocumentNotWellFormed, {.file = file, .reason = "no-root"});
    }
    return doc.release();
}

} // namespace velmora::xmlparse
