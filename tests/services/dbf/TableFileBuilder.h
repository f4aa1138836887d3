#pragma once

// Hand-made .DBF files for the table service's tests, byte by byte, so that each test shows
// exactly what lies in the file it reads.

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::testing {

struct RawField {
    std::string name;
    char type = 'C';
    int width = 1;
    int decimals = 0;
};

inline void putLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// A whole file: header, field descriptors (32 bytes each, or 48 for dBASE level 7, version
// byte 0x04), the terminator and the records as given (each with its deletion flag).
inline std::string dbfFile(std::uint8_t version, const std::vector<RawField>& fields,
                           const std::vector<std::string>& records) {
    const bool levelSeven = (version & 0x07) == 0x04;
    const std::size_t headerSize = levelSeven ? 68 : 32;
    const std::size_t descriptorSize = levelSeven ? 48 : 32;
    const std::size_t headerLength = headerSize + descriptorSize * fields.size() + 1;
    std::size_t recordLength = 1;
    for (const auto& field : fields) {
        recordLength += static_cast<std::size_t>(field.width);
    }
    std::string bytes(headerLength, '\0');
    bytes[0] = static_cast<char>(version);
    bytes[1] = 124;
    bytes[2] = 1;
    bytes[3] = 1;
    putLittleEndian(bytes, 4, static_cast<std::uint32_t>(records.size()), 4);
    putLittleEndian(bytes, 8, static_cast<std::uint32_t>(headerLength), 2);
    putLittleEndian(bytes, 10, static_cast<std::uint32_t>(recordLength), 2);
    bytes[29] = 0x03;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t at = headerSize + descriptorSize * i;
        bytes.replace(at, fields[i].name.size(), fields[i].name);
        const std::size_t typeAt = levelSeven ? 32 : 11;
        bytes[at + typeAt] = fields[i].type;
        bytes[at + (levelSeven ? 33 : 16)] = static_cast<char>(fields[i].width);
        bytes[at + (levelSeven ? 34 : 17)] = static_cast<char>(fields[i].decimals);
    }
    bytes[headerLength - 1] = 0x0D;
    for (const auto& record : records) {
        bytes += record;
    }
    bytes += '\x1A';
    return bytes;
}

} // namespace velmora::testing
