#include "services/xml/XmlParseProblem.h"

#include "services/xml/XmlInputLimits.h"

#include <algorithm>
#include <libxml/xmlerror.h>
#include <string>

namespace velmora::xmlparse {

namespace {

bool startsWith(const char* text, std::string_view prefix) {
    return text != nullptr && std::string_view(text).substr(0, prefix.size()) == prefix;
}

bool isLimitCode(int code) {
#if LIBXML_VERSION >= 21300
    if (code == XML_ERR_RESOURCE_LIMIT) {
        return true;
    }
#endif
    return code == XML_ERR_INTERNAL_ERROR;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// "Start tag expected" covers an empty file, a file of plain text, and markup with no element.
ErrorReason whyNoStartTag(std::string_view xml) {
    if (xml.substr(0, 3) == "\xEF\xBB\xBF") {
        xml.remove_prefix(3);
    }
    const auto first = std::find_if_not(xml.begin(), xml.end(), isBlank);
    if (first == xml.end()) {
        return ErrorReason::EmptyFile;
    }
    return *first == '<' ? ErrorReason::NoRootElement : ErrorReason::NotXml;
}

// The refinement messages/ words, for the parser's codes; OtherSyntax for the rare ones.
ErrorReason reasonOf(int code, std::string_view xml) {
    switch (code) {
    case XML_ERR_DOCUMENT_EMPTY:
        return whyNoStartTag(xml);
    case XML_ERR_DOCUMENT_END:
        return ErrorReason::ContentAfterRoot;
    case XML_ERR_TAG_NAME_MISMATCH:
        return ErrorReason::TagMismatch;
    case XML_ERR_TAG_NOT_FINISHED:
    case XML_ERR_LTSLASH_REQUIRED:
    case XML_ERR_GT_REQUIRED:
        return ErrorReason::ElementNotClosed;
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_CHARREF:
    case XML_ERR_INVALID_DEC_CHARREF:
    case XML_ERR_INVALID_HEX_CHARREF:
        return ErrorReason::InvalidCharacter;
    case XML_ERR_INVALID_ENCODING:
    case XML_ERR_UNKNOWN_ENCODING:
    case XML_ERR_UNSUPPORTED_ENCODING:
    case XML_I18N_CONV_FAILED:
    case XML_I18N_NO_HANDLER:
    case XML_IO_ENCODER:
        return ErrorReason::WrongEncoding;
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
        return ErrorReason::UndeclaredEntity;
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
        return ErrorReason::StrayAmpersand;
    case XML_ERR_ATTRIBUTE_REDEFINED:
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
    case XML_ERR_LT_IN_ATTRIBUTE:
    case XML_ERR_SPACE_REQUIRED:
        return ErrorReason::BadAttribute;
    case XML_ERR_NAME_REQUIRED:
    case XML_ERR_LT_REQUIRED:
        return ErrorReason::BadMarkup;
    case XML_ERR_COMMENT_NOT_FINISHED:
    case XML_ERR_HYPHEN_IN_COMMENT:
        return ErrorReason::BadComment;
    case XML_ERR_CDATA_NOT_FINISHED:
        return ErrorReason::ElementNotClosed;
    case XML_ERR_DOCTYPE_NOT_FINISHED:
    case XML_ERR_EXT_SUBSET_NOT_FINISHED:
        return ErrorReason::BadDoctype;
    case XML_ERR_XMLDECL_NOT_STARTED:
    case XML_ERR_XMLDECL_NOT_FINISHED:
    case XML_ERR_VERSION_MISSING:
    case XML_ERR_RESERVED_XML_NAME:
        return ErrorReason::BadDeclaration;
    default:
        return ErrorReason::OtherSyntax;
    }
}

} // namespace

void ParseProblem::note(const _xmlError& error) {
    if (error.level < XML_ERR_ERROR) {
        return;
    }
    // The column is the error's second number: in every error the parser raises from 2.13 on,
    // before that only in the parser's own (decoding errors came without one).
#if LIBXML_VERSION >= 21300
    const bool hasColumn = true;
#else
    const bool hasColumn = error.domain == XML_FROM_PARSER;
#endif
    const Position position{static_cast<std::size_t>(std::max(error.line, 0)),
                            hasColumn ? static_cast<std::size_t>(std::max(error.int2, 0)) : 0};
    if (error.level < XML_ERR_FATAL) {
        // A namespace error: it does not stop the document from loading by itself.
        if (fallbackCode_ == 0) {
            fallbackCode_ = error.code;
            fallbackPosition_ = position;
        }
        return;
    }
    if (found_) {
        if (position_.line == 0) {
            position_ = position;
        }
        return;
    }
    found_ = true;
    code_ = error.code;
    position_ = position;
    // These share their codes with rarer problems; their text tells them apart.
    tooDeep_ = isLimitCode(error.code) && startsWith(error.message, "Excessive depth");
    notUtf8_ = startsWith(error.message, "Input is not proper UTF-8");
    strayAmpersand_ =
        error.code == XML_ERR_NAME_REQUIRED && startsWith(error.message, "xmlParseEntityRef");
}

Error ParseProblem::error(std::string_view xml, const std::filesystem::path& file) const {
    if (tooDeep_) {
        return Error(ErrorKind::DocumentTooComplex, {.file = file,
                                                     .line = position_.line,
                                                     .reason = ErrorReason::TooDeep,
                                                     .limit = xmllimits::kMaxDepth});
    }
    const int code = found_ ? code_ : fallbackCode_;
    const Position& at = found_ ? position_ : fallbackPosition_;
    ErrorReason reason = reasonOf(code, xml);
    if (notUtf8_) {
        reason = ErrorReason::WrongEncoding;
    } else if (strayAmpersand_) {
        reason = ErrorReason::StrayAmpersand;
    }
    return Error(ErrorKind::DocumentNotWellFormed,
                 {.file = file, .line = at.line, .column = at.column, .reason = reason});
}

} // namespace velmora::xmlparse
