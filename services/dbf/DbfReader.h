#pragma once

#include "services/Error.h"
#include "services/dbf/DbfHeader.h"
#include "services/files/LockedFile.h"
#include "services/text/CodePage.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

class DbfReader;

// One record of a table being read. Valid until the reader moves on.
class DbfRecord {
public:
    // The record's place in the file, from 1, counting deleted records too.
    std::size_t number() const { return number_; }

    // A field's text without trailing blanks; numbers in their general decimal form.
    std::string text(std::size_t column) const;
    // A field's number; an empty field reads as 0. A value that is not a number, or a field of
    // a type that holds no numbers, is an Error naming the table, record, field and value.
    double number(std::size_t column) const;
    // The nearest whole number, halves to the even one.
    std::int64_t integer(std::size_t column) const;

private:
    friend class DbfReader;
    DbfRecord(const DbfReader& reader, std::string_view bytes, std::size_t number)
        : reader_(&reader), bytes_(bytes), number_(number) {}

    const DbfReader* reader_;
    std::string_view bytes_;
    std::size_t number_;
};

// Reads a .DBF file once, from its first record to its last, through a locked file. The
// header is checked against the file before anything else; records marked as deleted are
// passed over; text is decoded from the table's own code page. Only a small window of the
// file is in memory at a time, however large the table.
class DbfReader {
public:
    // Throws an Error (TableInUse) when another program holds the table in a conflicting way,
    // TableTooLarge for a file over kMaxTableBytes, and the errors of LockedFile,
    // checkDbfHeader and tableCodePage.
    static DbfReader open(const std::filesystem::path& file, LockedFile::Lock lock,
                          std::string tableName);

    const std::string& tableName() const { return tableName_; }
    const std::filesystem::path& file() const { return file_.path(); }
    const DbfHeader& header() const { return header_; }

    // The column of a field, its name compared without regard to ASCII letter case. A field
    // the table lacks is an Error (TableFieldMissing).
    std::size_t column(std::string_view fieldName) const;
    bool hasColumn(std::string_view fieldName) const;

    // The next record not marked as deleted; nothing after the last. A record whose deletion
    // mark is neither blank nor '*' is an Error (TableDamaged): the file is not what its
    // header says.
    std::optional<DbfRecord> next();

private:
    friend class DbfRecord;
    DbfReader(LockedFile file, std::string tableName, DbfHeader header, CodePage codePage);

    bool fillWindow();
    [[noreturn]] void damagedAt(std::size_t record, ErrorReason reason) const;

    LockedFile file_;
    std::string tableName_;
    DbfHeader header_;
    CodePage codePage_;
    std::unordered_map<std::string, std::size_t> columnsByName_; // by upper-case name

    std::string window_;       // whole records, read ahead
    std::size_t windowAt_ = 0; // next record's offset in window_
    std::size_t recordsRead_ = 0;
};

} // namespace velmora
