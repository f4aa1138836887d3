#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One column of a .DBF file as its header describes it.
struct DbfColumn {
    std::string name;       // as stored (letter case kept); names are plain ASCII
    char type = 'C';        // the dBASE type letter: C, N, F, L, I, +, O, B, D, ...
    std::size_t offset = 0; // from the start of the record, after the deletion flag
    std::size_t width = 0;  // bytes
    int decimals = 0;
};

// What the header of a .DBF file says, once it has been checked against the file.
struct DbfHeader {
    std::uint8_t version = 0;
    // dBASE level 7 stores its header differently and its binary numbers big-endian.
    bool levelSeven = false;
    std::uint8_t languageDriver = 0; // the code-page mark
    std::size_t recordCount = 0;
    std::size_t headerLength = 0;
    std::size_t recordLength = 0;
    // Bytes after the last record: none, or the end-of-file mark 0x1A.
    std::size_t trailingBytes = 0;
    std::vector<DbfColumn> columns;
};

// The largest table a run reads or writes. A timetable of the largest school there is takes a
// few MB; this is a hundred times more, and bounds what a run holds of a table and writes.
inline constexpr std::uint64_t kMaxTableBytes = 256ull * 1024 * 1024;

// The byte some writers put after the last record.
constexpr char kDbfEndOfFileMark = 0x1A;

// How many bytes of the file checkDbfHeader needs: at least the fixed part, then the whole
// header as its length field says.
constexpr std::size_t kDbfFixedHeaderSize = 32;
std::size_t dbfHeaderLength(std::string_view fixedHeader);

// Checks the header of a table file of fileSize bytes; `header` holds its first bytes, at least
// the whole header (or the whole file, when that is shorter). Everything a reader relies on is
// checked before it touches a record: the file is a dBASE table, its header and field
// descriptors lie inside the file and the header's length is theirs, every field has a name, a
// known type and a width, the record length is that of the fields, and the records the header
// announces are exactly what the file holds. A damaged file gives an Error (TableDamaged)
// naming the file, the table and what is wrong.
DbfHeader checkDbfHeader(std::string_view header, std::uint64_t fileSize,
                         const std::filesystem::path& file, const std::string& table);

} // namespace velmora
