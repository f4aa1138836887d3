#include "services/XmlDocument.h"

#include "services/Error.h"
#include "services/XmlPath.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sstream>

namespace velmora {

namespace {

// Untrusted input: no network, and none of the options that load DTDs, substitute entities or
// lift the parser's size limits. Messages are collected, never printed.
constexpr int kSafeParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct ParseProblem {
    bool found = false;
    std::string message;
    int line = 0;
    int column = 0;
};

// The parser's message on one line: some of its messages carry a second line of detail.
std::string oneLine(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) {
        s.pop_back();
    }
    for (char& c : s) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return s;
}

ParseProblem problemFrom(const xmlError& error) {
    ParseProblem problem;
    problem.found = true;
    problem.message = oneLine(error.message != nullptr ? error.message : "");
    problem.line = error.line;
    problem.column = error.int2;
    return problem;
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
            throw Error("Out of memory while preparing to read an XML document.");
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

    std::string problem() const {
        ParseProblem problem = problem_;
        if (!problem.found) {
            const xmlError* last = xmlCtxtGetLastError(context_);
            if (last == nullptr || last->message == nullptr) {
                return "the parser gave no reason";
            }
            problem = problemFrom(*last);
        }
        if (problem.line <= 0) {
            return problem.message;
        }
        return "line " + std::to_string(problem.line) + ", column " +
               std::to_string(problem.column) + ": " + problem.message;
    }

private:
    xmlParserCtxt* context_;
    ParseProblem problem_;
};

std::string readWholeFile(const std::filesystem::path& file) {
    std::error_code ignored;
    if (std::filesystem::is_directory(file, ignored)) {
        throw Error("The file " + file.string() + " cannot be read: it is a folder.");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw Error("The file " + file.string() + " cannot be read: " + std::strerror(errno) + ".");
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        throw Error("The file " + file.string() + " cannot be read: " + std::strerror(errno) + ".");
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
    return parse(readWholeFile(file), file.string());
}

XmlDocument XmlDocument::parse(const std::string& xml, const std::string& nameForMessages) {
    const std::string subject = "The file " + nameForMessages;
    if (xml.size() > static_cast<std::size_t>(INT32_MAX)) {
        throw Error(subject + " is too large to be read as an XML document.");
    }
    Parser parser;
    XmlDocument document(parser.read(xml));
    if (!document.doc_ || !parser.wellFormed()) {
        throw Error(subject + " is not a valid XML document: " + parser.problem());
    }
    if (xmlDocGetRootElement(document.doc_.get()) == nullptr) {
        throw Error(subject + " is not a valid XML document: it has no root element.");
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
        throw Error("\"" + name + "\" is not a valid XML element name.");
    }
    if (!doc_) {
        throw Error("The XML element " + name + " cannot be created: the document is gone.");
    }
    if (!detached_) {
        detached_.reset(xmlNewDocFragment(doc_.get()));
    }
    xmlNode* element =
        xmlNewDocNode(doc_.get(), nullptr, reinterpret_cast<const xmlChar*>(name.c_str()), nullptr);
    if (!detached_ || element == nullptr || xmlAddChild(detached_.get(), element) == nullptr) {
        xmlFreeNode(element);
        throw Error("Out of memory while creating the XML element " + name + ".");
    }
    return XmlNode(element);
}

std::string XmlDocument::encoding() const {
    const xmlChar* encoding = doc_ ? doc_->encoding : nullptr;
    return encoding != nullptr ? reinterpret_cast<const char*>(encoding) : std::string();
}

} // namespace velmora
