#include "services/XmlDocument.h"

#include "services/Error.h"
#include "services/XmlPath.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <new>
#include <sstream>
#include <stdexcept>

namespace velmora {

namespace {

// Untrusted input: no network, and none of the options that load DTDs, substitute entities or
// lift the parser's size limits. Messages are collected, never printed. Short texts are kept
// inside their nodes, which spares a large document most of its allocations; line numbers are
// counted beyond 65535 for the messages.
constexpr int kSafeParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                  XML_PARSE_COMPACT | XML_PARSE_BIG_LINES;

struct ParseProblem {
    bool found = false;
    int code = 0;
    int line = 0;
    int column = 0;
};

ParseProblem problemFrom(const xmlError& error) {
    return {true, error.code, error.line, error.int2};
}

// What went wrong, as a key the messages can word: the parser's own text is English and names
// options the user cannot set, so only its code is kept.
std::string reasonOf(int code) {
    switch (code) {
    case XML_ERR_DOCUMENT_EMPTY:
        return "empty";
    case XML_ERR_DOCUMENT_END:
        return "content-after-root";
    case XML_ERR_TAG_NAME_MISMATCH:
        return "tag-mismatch";
    case XML_ERR_TAG_NOT_FINISHED:
    case XML_ERR_LTSLASH_REQUIRED:
    case XML_ERR_GT_REQUIRED:
        return "element-not-closed";
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_CHARREF:
    case XML_ERR_INVALID_DEC_CHARREF:
    case XML_ERR_INVALID_HEX_CHARREF:
        return "invalid-character";
    case XML_ERR_INVALID_ENCODING:
    case XML_ERR_UNKNOWN_ENCODING:
    case XML_ERR_UNSUPPORTED_ENCODING:
        return "encoding";
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
        return "undeclared-entity";
    case XML_ERR_ATTRIBUTE_REDEFINED:
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
    case XML_ERR_LT_IN_ATTRIBUTE:
        return "attribute";
    case XML_ERR_NAME_REQUIRED:
    case XML_ERR_LT_REQUIRED:
        return "markup";
    default:
        return "other";
    }
}

// libxml2 2.12 made the structured error handlers take a const error.
#if LIBXML_VERSION >= 21200
using ReportedError = const xmlError*;
#else
using ReportedError = xmlErrorPtr;
#endif

// The first error says where a document went wrong; later ones mostly follow from it.
void recordFirstError(void* userData, ReportedError error) {
    auto* parser = static_cast<xmlParserCtxt*>(userData);
    auto* first = static_cast<ParseProblem*>(parser->_private);
    if (first != nullptr && !first->found && error != nullptr && error->level >= XML_ERR_ERROR) {
        *first = problemFrom(*error);
    }
}

// One parser context, with its errors collected into `problem`.
class Parser {
public:
    Parser() : context_(xmlNewParserCtxt()) {
        if (context_ == nullptr) {
            throw std::bad_alloc();
        }
        context_->userData = context_;
        context_->_private = &problem_;
        context_->sax->serror = recordFirstError;
    }
    ~Parser() { xmlFreeParserCtxt(context_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    xmlDoc* read(const std::string& content) {
        return xmlCtxtReadMemory(context_, content.data(), static_cast<int>(content.size()),
                                 nullptr, nullptr, kSafeParseOptions);
    }

    bool wellFormed() const { return context_->wellFormed != 0; }

    Error problem(const std::filesystem::path& file) const {
        ParseProblem problem = problem_;
        if (!problem.found) {
            if (const xmlError* last = xmlCtxtGetLastError(context_); last != nullptr) {
                problem = problemFrom(*last);
            }
        }
        return Error(ErrorKind::DocumentNotWellFormed,
                     {.file = file,
                      .line = static_cast<std::size_t>(std::max(problem.line, 0)),
                      .column = static_cast<std::size_t>(std::max(problem.column, 0)),
                      .reason = reasonOf(problem.code)});
    }

private:
    xmlParserCtxt* context_;
    ParseProblem problem_;
};

std::string readWholeFile(const std::filesystem::path& file) {
    std::error_code ignored;
    if (std::filesystem::exists(file, ignored) &&
        !std::filesystem::is_regular_file(file, ignored)) {
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw Error(ErrorKind::FileUnreadable, {.file = file, .system = lastSystemError()});
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        throw Error(ErrorKind::FileUnreadable, {.file = file, .system = lastSystemError()});
    }
    return content.str();
}

} // namespace

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
    return parse(readWholeFile(file), file);
}

XmlDocument XmlDocument::parse(const std::string& xml, const std::filesystem::path& file) {
    if (xml.size() > static_cast<std::size_t>(INT32_MAX)) {
        throw Error(ErrorKind::DocumentTooLarge, {.file = file, .limit = INT32_MAX});
    }
    Parser parser;
    XmlDocument document(parser.read(xml));
    if (!document.doc_ || !parser.wellFormed()) {
        throw parser.problem(file);
    }
    if (xmlDocGetRootElement(document.doc_.get()) == nullptr) {
        throw Error(ErrorKind::DocumentNotWellFormed, {.file = file, .reason = "no-root"});
    }
    return document;
}

XmlNode XmlDocument::root() const {
    return XmlNode(xmlDocGetRootElement(doc_.get()));
}

std::vector<XmlNode> XmlDocument::selectNodes(const std::string& path) const {
    return xmlpath::select(reinterpret_cast<xmlNode*>(doc_.get()), path);
}

XmlNode XmlDocument::createElement(const std::string& name) {
    if (xmlValidateName(reinterpret_cast<const xmlChar*>(name.c_str()), 0) != 0) {
        throw std::logic_error("\"" + name + "\" is not a valid XML element name.");
    }
    if (!doc_) {
        throw std::logic_error("The XML element " + name +
                               " cannot be created: the document is gone.");
    }
    if (!detached_) {
        detached_.reset(xmlNewDocFragment(doc_.get()));
    }
    xmlNode* element =
        xmlNewDocNode(doc_.get(), nullptr, reinterpret_cast<const xmlChar*>(name.c_str()), nullptr);
    if (!detached_ || element == nullptr || xmlAddChild(detached_.get(), element) == nullptr) {
        xmlFreeNode(element);
        throw std::bad_alloc();
    }
    return XmlNode(element);
}

std::string XmlDocument::encoding() const {
    const xmlChar* encoding = doc_ ? doc_->encoding : nullptr;
    return encoding != nullptr ? reinterpret_cast<const char*>(encoding) : std::string();
}

} // namespace velmora
