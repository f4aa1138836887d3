#include "services/Error.h"
#include "services/files/FileSystem.h"

#include <cerrno>

namespace velmora {

namespace {

std::string summary(ErrorKind kind, const ErrorDetails& d) {
    std::string out = kindName(kind);
    const auto add = [&out](const char* name, const std::string& value) {
        if (!value.empty()) {
            out += std::string(" ") + name + "=" + value;
        }
    };
    const auto addNumber = [&out](const char* name, std::uint64_t value) {
        if (value != 0) {
            out += std::string(" ") + name + "=" + std::to_string(value);
        }
    };
    add("file", pathToUtf8(d.file));
    add("table", d.table);
    add("section", d.section);
    addNumber("record", d.record);
    add("field", d.field);
    add("item", d.item);
    add("value", d.value);
    add("expected", d.expected);
    addNumber("line", d.line);
    addNumber("column", d.column);
    add("reason", reasonName(d.reason));
    if (d.cause) {
        add("cause", kindName(*d.cause));
    }
    if (d.system) {
        add("system", d.system.message());
    }
    addNumber("count", d.count);
    addNumber("limit", d.limit);
    return out;
}

} // namespace

Error::Error(ErrorKind kind, ErrorDetails details)
    : std::runtime_error(summary(kind, details)), kind_(kind), details_(std::move(details)) {}

std::error_code lastSystemError() {
    return {errno, std::generic_category()};
}

const char* kindName(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::FileNotFound:
        return "file-not-found";
    case ErrorKind::NotARegularFile:
        return "not-a-regular-file";
    case ErrorKind::FileUnreadable:
        return "file-unreadable";
    case ErrorKind::FileNotWritten:
        return "file-not-written";
    case ErrorKind::OutputNotAFile:
        return "output-not-a-file";
    case ErrorKind::SavedButNotConfirmed:
        return "saved-but-not-confirmed";
    case ErrorKind::ReportNotWritten:
        return "report-not-written";
    case ErrorKind::DocumentTooLarge:
        return "document-too-large";
    case ErrorKind::DocumentNotWellFormed:
        return "document-not-well-formed";
    case ErrorKind::DocumentDeclaresEntities:
        return "document-declares-entities";
    case ErrorKind::DocumentTooComplex:
        return "document-too-complex";
    case ErrorKind::DocumentTextTooLong:
        return "document-text-too-long";
    case ErrorKind::DocumentTooMuchOutside:
        return "document-too-much-outside";
    case ErrorKind::NotAServiceDocument:
        return "not-a-service-document";
    case ErrorKind::NoTimeFrame:
        return "no-time-frame";
    case ErrorKind::FramesUnreadable:
        return "frames-unreadable";
    case ErrorKind::FramesNotChosen:
        return "frames-not-chosen";
    case ErrorKind::UnknownFrame:
        return "unknown-frame";
    case ErrorKind::TooManyFrames:
        return "too-many-frames";
    case ErrorKind::FramesNotOffered:
        return "frames-not-offered";
    case ErrorKind::BadMinutes:
        return "bad-minutes";
    case ErrorKind::BadTime:
        return "bad-time";
    case ErrorKind::EndBeforeStart:
        return "end-before-start";
    case ErrorKind::BadOrder:
        return "bad-order";
    case ErrorKind::ExchangeFolderMissing:
        return "exchange-folder-missing";
    case ErrorKind::ExchangeFolderIsFile:
        return "exchange-folder-is-file";
    case ErrorKind::TableNotFound:
        return "table-not-found";
    case ErrorKind::TableInUse:
        return "table-in-use";
    case ErrorKind::TableDamaged:
        return "table-damaged";
    case ErrorKind::TableTooLarge:
        return "table-too-large";
    case ErrorKind::TableWouldBeTooLarge:
        return "table-would-be-too-large";
    case ErrorKind::TableFieldMissing:
        return "table-field-missing";
    case ErrorKind::TableValueUnreadable:
        return "table-value-unreadable";
    case ErrorKind::TableNotWritten:
        return "table-not-written";
    case ErrorKind::TableNotAsWritten:
        return "table-not-as-written";
    case ErrorKind::UnknownCodePage:
        return "unknown-code-page";
    case ErrorKind::ValueDoesNotFit:
        return "value-does-not-fit";
    case ErrorKind::WorkFolderFailed:
        return "work-folder-failed";
    case ErrorKind::ReplacementFailed:
        return "replacement-failed";
    case ErrorKind::ReplacementInProgress:
        return "replacement-in-progress";
    case ErrorKind::ReplacementJournalDamaged:
        return "replacement-journal-damaged";
    case ErrorKind::ResultNotSaved:
        return "result-not-saved";
    case ErrorKind::IniNotWritten:
        return "ini-not-written";
    }
    return "unknown";
}

const char* reasonName(ErrorReason reason) {
    switch (reason) {
    case ErrorReason::None:
        return "";
    case ErrorReason::EmptyFile:
        return "empty-file";
    case ErrorReason::NotXml:
        return "not-xml";
    case ErrorReason::NoRootElement:
        return "no-root-element";
    case ErrorReason::ContentAfterRoot:
        return "content-after-root";
    case ErrorReason::TagMismatch:
        return "tag-mismatch";
    case ErrorReason::ElementNotClosed:
        return "element-not-closed";
    case ErrorReason::InvalidCharacter:
        return "invalid-character";
    case ErrorReason::WrongEncoding:
        return "wrong-encoding";
    case ErrorReason::UnsupportedEncoding:
        return "unsupported-encoding";
    case ErrorReason::UndeclaredEntity:
        return "undeclared-entity";
    case ErrorReason::StrayAmpersand:
        return "stray-ampersand";
    case ErrorReason::BadComment:
        return "bad-comment";
    case ErrorReason::BadDoctype:
        return "bad-doctype";
    case ErrorReason::BadDeclaration:
        return "bad-declaration";
    case ErrorReason::BadAttribute:
        return "bad-attribute";
    case ErrorReason::BadMarkup:
        return "bad-markup";
    case ErrorReason::OtherSyntax:
        return "other-syntax";
    case ErrorReason::TooDeep:
        return "too-deep";
    case ErrorReason::TooManyAttributes:
        return "too-many-attributes";
    case ErrorReason::TooManyNamespaces:
        return "too-many-namespaces";
    case ErrorReason::TooManyAttributeDefaults:
        return "too-many-attribute-defaults";
    case ErrorReason::WrongRoot:
        return "wrong-root";
    case ErrorReason::NoSalidas:
        return "no-salidas";
    case ErrorReason::NotANumber:
        return "not-a-number";
    case ErrorReason::NumberTooLarge:
        return "number-too-large";
    case ErrorReason::FieldNotNumeric:
        return "field-not-numeric";
    case ErrorReason::MadeByHoradia:
        return "made-by-horadia";
    case ErrorReason::MadeByConversion:
        return "made-by-conversion";
    case ErrorReason::TableFileEmpty:
        return "table-file-empty";
    case ErrorReason::TableFileTooShort:
        return "table-file-too-short";
    case ErrorReason::NotDbase:
        return "not-dbase";
    case ErrorReason::HeaderLength:
        return "header-length";
    case ErrorReason::HeaderCut:
        return "header-cut";
    case ErrorReason::NoFields:
        return "no-fields";
    case ErrorReason::FieldName:
        return "field-name";
    case ErrorReason::FieldType:
        return "field-type";
    case ErrorReason::FieldWidth:
        return "field-width";
    case ErrorReason::DescriptorsOverrun:
        return "descriptors-overrun";
    case ErrorReason::NoTerminator:
        return "no-terminator";
    case ErrorReason::RecordLength:
        return "record-length";
    case ErrorReason::RecordsMissing:
        return "records-missing";
    case ErrorReason::RecordsBeyondCount:
        return "records-beyond-count";
    case ErrorReason::DeletionFlag:
        return "deletion-flag";
    case ErrorReason::LanguageDriver:
        return "language-driver";
    case ErrorReason::CpgFile:
        return "cpg-file";
    case ErrorReason::UndoFailed:
        return "undo-failed";
    }
    return "unknown";
}

} // namespace velmora
