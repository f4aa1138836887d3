#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace velmora {

// What went wrong, as data the user can act on. The words a person reads are made from the
// kind and its details in one place per language (messages/); the core never words them.
enum class ErrorKind {
    // Files and folders
    FileNotFound,         // file
    NotARegularFile,      // file: a folder, a pipe, a device
    FileUnreadable,       // file, system
    FileNotWritten,       // file, system
    OutputNotAFile,       // file: a folder, a device, a pipe or a link where a file is to go
    SavedButNotConfirmed, // file, system: in place, but the disk did not confirm the new name
    ReportNotWritten,     // file (the report), value (what was written before it), system
    // Sauce service documents
    DocumentTooLarge,         // file, limit (bytes)
    DocumentNotWellFormed,    // file, line, column, reason
    DocumentDeclaresEntities, // file, line
    DocumentTooComplex,       // file, line, reason, limit
    DocumentTextTooLong,      // file, line, limit (bytes): one text far longer than any value
    DocumentTooMuchOutside,   // file, value (the element that holds the bulk), limit (nodes)
    NotAServiceDocument,      // file, value (the root's name), reason
    NoTimeFrame,              // file
    FramesUnreadable,         // file, cause (the kind of the error that stopped the listing)
    FramesNotChosen,          // file, choices
    UnknownFrame,             // file, value (the key typed), choices
    TooManyFrames,            // file, choices
    FramesNotOffered,         // file: fewer than two frames to choose from
    // Values of a document that cannot go into a table
    BadMinutes,     // section, record, value, reason
    BadTime,        // section, record, field, value
    EndBeforeStart, // section, record, value (start), expected (end)
    BadOrder,       // section, record, value
    // Exchange folder and tables
    ExchangeFolderMissing,     // file (the folder)
    ExchangeFolderIsFile,      // file
    TableNotFound,             // file (the folder), table, reason (what makes it: may be None)
    TableInUse,                // file, table
    TableDamaged,              // file, table, reason, record, field, count, limit
    TableTooLarge,             // file, table, limit (bytes): a table read
    TableWouldBeTooLarge,      // table, limit (bytes): a table the document would make
    TableFieldMissing,         // file, table, field
    TableValueUnreadable,      // file, table, record, field, value, reason
    TableNotWritten,           // file, table, system
    TableNotAsWritten,         // file, table: read back, the written table is not what was built
    UnknownCodePage,           // file, table, value (the mark found), reason
    ValueDoesNotFit,           // table, field, value
    WorkFolderFailed,          // file (the exchange folder), system
    ReplacementFailed,         // file, system, reason (UndoFailed: left for the next run)
    ReplacementInProgress,     // file: another run is replacing the folder's tables right now
    ReplacementJournalDamaged, // file: a replacement was left half done and its journal is
                               // damaged or gone; nothing is moved until a person looks
    // The result document
    ResultNotSaved, // file, system
    // The completion file
    IniNotWritten, // file, system
};

// What refines a kind, where the kind alone does not say enough to act on. Each kind uses only
// the refinements listed under it; None where it has none, or none applies.
enum class ErrorReason {
    None,
    // DocumentNotWellFormed: what the parser stopped at
    EmptyFile,
    NotXml,
    NoRootElement,
    ContentAfterRoot,
    TagMismatch,
    ElementNotClosed,
    InvalidCharacter,
    WrongEncoding,
    UnsupportedEncoding,
    UndeclaredEntity,
    StrayAmpersand,
    BadComment,
    BadDoctype,
    BadDeclaration,
    BadAttribute,
    BadMarkup,
    OtherSyntax,
    // DocumentTooComplex: what went over its limit
    TooDeep,
    TooManyAttributes,
    TooManyNamespaces,
    TooManyAttributeDefaults,
    // NotAServiceDocument
    WrongRoot,
    NoSalidas,
    // BadMinutes, TableValueUnreadable
    NotANumber,
    NumberTooLarge,
    // TableValueUnreadable: a field whose type holds no number
    FieldNotNumeric,
    // TableNotFound: what makes the missing table
    MadeByHoradia,
    MadeByConversion,
    // TableDamaged: where the header or the records disagree with the file
    TableFileEmpty,
    TableFileTooShort,
    NotDbase,
    HeaderLength,
    HeaderCut,
    NoFields,
    FieldName,
    FieldType,
    FieldWidth,
    DescriptorsOverrun,
    NoTerminator,
    RecordLength,
    RecordsMissing,
    RecordsBeyondCount,
    DeletionFlag,
    // UnknownCodePage: where the mark was found
    LanguageDriver,
    CpgFile,
    // ReplacementFailed: the old tables could not be put back either
    UndoFailed,
};

struct ErrorDetails {
    std::filesystem::path file;
    std::string table;
    std::string section;
    std::size_t record = 0; // 1-based; 0 when no record is concerned
    std::string field;
    std::string item; // how the document names the record at fault: a slot's code and name
    std::string value;
    std::string expected;
    std::size_t line = 0;
    std::size_t column = 0;
    ErrorReason reason = ErrorReason::None;
    std::optional<ErrorKind> cause; // an error that stopped the work this one reports on
    std::error_code system;
    std::vector<std::string> choices;
    std::uint64_t count = 0;
    std::uint64_t limit = 0;
};

// The one error type of the core. what() is a technical summary for logs and test output;
// what a person reads comes from messages::describe.
class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, ErrorDetails details);

    ErrorKind kind() const { return kind_; }
    const ErrorDetails& details() const { return details_; }

private:
    ErrorKind kind_;
    ErrorDetails details_;
};

// The kind's name, as in what(): "table-in-use".
const char* kindName(ErrorKind kind);

// The refinement's name, as in what(): "too-deep"; empty for None.
const char* reasonName(ErrorReason reason);

// The error code of errno as the system left it.
std::error_code lastSystemError();

} // namespace velmora
