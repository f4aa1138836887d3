#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A column of a table to be created, in dBASE terms.
struct NewDbfColumn {
    std::string name;
    char type = 'C';
    int width = 1;
    int decimals = 0;
};

// A .DBF file written through shapelib, open for writing while the object lives. It writes
// whole records that the caller has laid out, and checks that each write reached the file.
class DbfWriter {
public:
    // Writes a new, empty table with these columns at exactly `file`, replacing any file
    // there. Text is marked as Windows-1252 (language driver 0x03).
    static void create(const std::filesystem::path& file, const std::vector<NewDbfColumn>& columns,
                       const std::string& tableName);

    // Opens an existing table for writing. recordLength and headerLength are what the caller
    // read from the file; a file that says otherwise has changed underneath and is refused.
    static DbfWriter open(const std::filesystem::path& file, const std::string& tableName,
                          std::size_t headerLength, std::size_t recordLength);

    DbfWriter(DbfWriter&& other) noexcept;
    DbfWriter& operator=(DbfWriter&& other) noexcept;
    DbfWriter(const DbfWriter&) = delete;
    DbfWriter& operator=(const DbfWriter&) = delete;
    ~DbfWriter();

    std::size_t recordCount() const;

    // Writes a whole record, deletion flag included; index == recordCount() appends one.
    void writeRecord(std::size_t index, std::string_view record);

    void close();

private:
    DbfWriter(void* handle, std::filesystem::path file, std::string tableName);

    void* handle_ = nullptr; // DBFHandle: shapelib stays out of this header
    std::filesystem::path file_;
    std::string tableName_;
};

} // namespace velmora
