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
    std::string name;       // UTF-8, as stored (letter case kept)
    char type = 'C';        // the dBASE type letter: C, N, F, L, I, +, O, B, D, ...
    std::size_t offset = 0; // from the start of the record, after the deletion flag
    std::size_t width = 0;  // bytes
    int decimals = 0;
};

// What the header of a .DBF file says, once it has been checked against the file's size.
struct DbfHeader {
    std::uint8_t version = 0;
    // dBASE level 7 stores its header differently and its binary numbers big-endian.
    bool levelSeven = false;
    std::size_t recordCount = 0;
    std::size_t headerLength = 0;
    std::size_t recordLength = 0;
    std::vector<DbfColumn> columns;
};

// Reads the header of a table file whose whole content is `bytes`, checking everything a
// reader relies on before it touches a record: the file is a dBASE table, its header and field
// descriptors lie inside the file, every field has a text name, a known type and a width, the
// record length is that of the fields, and every record the header announces is in the file.
// A damaged file gives an Error that names it and says what is wrong.
DbfHeader checkDbfHeader(std::string_view bytes, const std::filesystem::path& file);

} // namespace velmora
