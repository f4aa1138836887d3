#include "services/DbfHeaderCheck.h"

#include "services/Error.h"
#include "services/Text.h"

#include <algorithm>
#include <array>

namespace velmora {

namespace {

constexpr std::size_t fileHeaderSize = 32;
constexpr char descriptorTerminator = 0x0D;

// Where the parts of a field descriptor lie: dBASE III to 5 and FoxPro use 32-byte
// descriptors after a 32-byte header; dBASE 7 uses 48-byte descriptors after a 68-byte header.
struct DescriptorLayout {
    std::size_t firstDescriptor;
    std::size_t descriptorSize;
    std::size_t nameLength;
    std::size_t typeAt;
    std::size_t widthAt;
    std::size_t decimalsAt;
};

constexpr DescriptorLayout classicLayout{32, 32, 11, 11, 16, 17};
constexpr DescriptorLayout levelSevenLayout{68, 48, 32, 32, 33, 34};

// The version bytes written by dBASE II to 7, FoxBASE, FoxPro and Visual FoxPro.
constexpr std::array<std::uint8_t, 17> knownVersions{0x02, 0x03, 0x04, 0x05, 0x30, 0x31,
                                                     0x32, 0x43, 0x63, 0x7B, 0x83, 0x8B,
                                                     0x8C, 0xCB, 0xE5, 0xF5, 0xFB};

constexpr std::string_view knownTypes = "CNFLDMBGPIO+@YTVWQ0";

[[noreturn]] void damaged(const std::filesystem::path& file, const std::string& reason) {
    throw Error("The table file " + file.string() + " cannot be read: " + reason + ".");
}

std::uint8_t byteAt(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

std::size_t littleEndian16(std::string_view bytes, std::size_t at) {
    return byteAt(bytes, at) | (std::size_t{byteAt(bytes, at + 1)} << 8);
}

std::size_t littleEndian32(std::string_view bytes, std::size_t at) {
    return littleEndian16(bytes, at) | (littleEndian16(bytes, at + 2) << 16);
}

bool isKnownVersion(std::uint8_t version) {
    return std::find(knownVersions.begin(), knownVersions.end(), version) != knownVersions.end();
}

// The name stored in a descriptor, up to its first NUL; empty when it is not text.
std::string columnName(std::string_view descriptor, std::size_t nameLength) {
    std::string_view name = descriptor.substr(0, nameLength);
    name = name.substr(0, name.find('\0'));
    const bool isText = std::all_of(name.begin(), name.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code > 0x20 && code != 0x7F;
    });
    return isText ? text::fromWindows1252(name) : std::string();
}

bool hasFixedWidthProblem(const DbfColumn& column) {
    switch (column.type) {
    case 'I':
    case '+':
        return column.width != 4;
    case 'O':
    case '@':
    case 'Y':
    case 'T':
        return column.width != 8;
    default:
        return false;
    }
}

DbfColumn readColumn(std::string_view descriptor, const DescriptorLayout& layout,
                     std::size_t number, const std::filesystem::path& file) {
    DbfColumn column;
    column.name = columnName(descriptor, layout.nameLength);
    if (column.name.empty()) {
        damaged(file, "field " + std::to_string(number) + " has a name that is not text");
    }
    column.type = descriptor[layout.typeAt];
    if (column.type == '\0' || knownTypes.find(column.type) == std::string_view::npos) {
        damaged(file, "field " + column.name + " has an unknown type");
    }
    column.width = byteAt(descriptor, layout.widthAt);
    column.decimals = byteAt(descriptor, layout.decimalsAt);
    if (column.width == 0 || hasFixedWidthProblem(column)) {
        damaged(file, "field " + column.name + " has the impossible width " +
                          std::to_string(column.width));
    }
    return column;
}

std::vector<DbfColumn> readColumns(std::string_view header, const DescriptorLayout& layout,
                                   const std::filesystem::path& file) {
    std::vector<DbfColumn> columns;
    std::size_t offset = 1; // after the deletion flag
    std::size_t at = layout.firstDescriptor;
    while (at < header.size() && header[at] != descriptorTerminator) {
        if (at + layout.descriptorSize > header.size()) {
            damaged(file, "its field descriptions run past the end of its header");
        }
        DbfColumn column =
            readColumn(header.substr(at, layout.descriptorSize), layout, columns.size() + 1, file);
        column.offset = offset;
        offset += column.width;
        columns.push_back(std::move(column));
        at += layout.descriptorSize;
    }
    return columns;
}

} // namespace

DbfHeader checkDbfHeader(std::string_view bytes, const std::filesystem::path& file) {
    if (bytes.empty()) {
        damaged(file, "the file is empty");
    }
    if (bytes.size() < fileHeaderSize) {
        damaged(file, "the file is too short to hold a table header");
    }
    DbfHeader header;
    header.version = byteAt(bytes, 0);
    if (!isKnownVersion(header.version)) {
        damaged(file, "it is not a dBASE table");
    }
    header.levelSeven = (header.version & 0x07) == 0x04;
    header.recordCount = littleEndian32(bytes, 4);
    header.headerLength = littleEndian16(bytes, 8);
    header.recordLength = littleEndian16(bytes, 10);

    const DescriptorLayout& layout = header.levelSeven ? levelSevenLayout : classicLayout;
    if (header.headerLength < layout.firstDescriptor) {
        damaged(file, "its header length (" + std::to_string(header.headerLength) +
                          " bytes) is too small");
    }
    if (header.headerLength > bytes.size()) {
        damaged(file, "its header is cut short (" + std::to_string(header.headerLength) +
                          " bytes announced, " + std::to_string(bytes.size()) + " in the file)");
    }
    header.columns = readColumns(bytes.substr(0, header.headerLength), layout, file);
    if (header.columns.empty()) {
        damaged(file, "it has no fields");
    }

    const DbfColumn& last = header.columns.back();
    const std::size_t fieldsLength = last.offset + last.width;
    if (fieldsLength != header.recordLength) {
        damaged(file, "its record length (" + std::to_string(header.recordLength) +
                          " bytes) does not match its fields (" + std::to_string(fieldsLength) +
                          " bytes)");
    }
    const std::size_t recordsInFile = (bytes.size() - header.headerLength) / header.recordLength;
    if (header.recordCount > recordsInFile) {
        damaged(file, "its header announces " + std::to_string(header.recordCount) +
                          " records but the file holds only " + std::to_string(recordsInFile));
    }
    return header;
}

} // namespace velmora
