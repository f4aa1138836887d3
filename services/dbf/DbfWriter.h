#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A column of a table to be written, in dBASE terms.
struct NewDbfColumn {
    std::string name;
    char type = 'C';
    int width = 1;
    int decimals = 0;
};

// The records of a table to be written, handed over a block of whole records at a time, laid out
// back to back (deletion flag included). A block is valid until the next one is asked for.
class RecordBlocks {
public:
    virtual ~RecordBlocks() = default;
    virtual std::size_t count() const = 0;
    virtual std::string_view block(std::size_t index) const = 0;
};

// Writes a whole table at once at exactly `file`, replacing any file there (never writing
// through a link): the columns, then the records. Text is marked as Windows-1252 (language driver
// 0x03) and the date is today's. The file is on the disk, not only in the system's cache, and
// has been read back whole, when this returns. Any write, seek, flush or close that fails is an
// Error (TableNotWritten) naming the table and what the system said; a file that does not read
// back as written is TableNotAsWritten.
void writeDbfTable(const std::filesystem::path& file, const std::string& tableName,
                   const std::vector<NewDbfColumn>& columns, const RecordBlocks& records);

} // namespace velmora
