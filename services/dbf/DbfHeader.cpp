#include "services/dbf/DbfHeader.h"

#include "services/Error.h"

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

// The Visual FoxPro versions keep a 263-byte link to their database after the descriptors.
constexpr std::size_t kFoxProBacklink = 263;

// Where a damage was found, for the error.
struct Damage {
    ErrorReason reason;
    std::string field = {};
    std::uint64_t count = 0;
    std::uint64_t limit = 0;
};

struct Subject {
    const std::filesystem::path& file;
    const std::string& table;
};

[[noreturn]] void damaged(const Subject& subject, Damage damage) {
    throw Error(ErrorKind::TableDamaged, {.file = subject.file,
                                          .table = subject.table,
                                          .field = std::move(damage.field),
                                          .reason = damage.reason,
                                          .count = damage.count,
                                          .limit = damage.limit});
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

// The name stored in a descriptor, up to its first NUL, as UTF-8; empty when it is not text.
// Names are matched by their ASCII letters only, so any other byte is taken as Latin-1.
std::string columnName(std::string_view descriptor, std::size_t nameLength) {
    std::string_view name = descriptor.substr(0, nameLength);
    name = name.substr(0, name.find('\0'));
    std::string utf8;
    for (char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code <= 0x20 || code == 0x7F) {
            return {};
        }
        if (code < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
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
                     std::size_t number, const Subject& subject) {
    DbfColumn column;
    column.name = columnName(descriptor, layout.nameLength);
    if (column.name.empty()) {
        damaged(subject, {.reason = ErrorReason::FieldName, .count = number});
    }
    column.type = descriptor[layout.typeAt];
    if (column.type == '\0' || knownTypes.find(column.type) == std::string_view::npos) {
        damaged(subject, {.reason = ErrorReason::FieldType, .field = column.name});
    }
    column.width = byteAt(descriptor, layout.widthAt);
    column.decimals = byteAt(descriptor, layout.decimalsAt);
    if (column.width == 0 || hasFixedWidthProblem(column)) {
        damaged(subject,
                {.reason = ErrorReason::FieldWidth, .field = column.name, .count = column.width});
    }
    return column;
}

// The columns, and where the terminator after their descriptors lies.
struct Descriptors {
    std::vector<DbfColumn> columns;
    std::size_t terminatorAt = 0;
};

Descriptors readColumns(std::string_view header, const DescriptorLayout& layout,
                        const Subject& subject) {
    Descriptors descriptors;
    std::size_t offset = 1; // after the deletion flag
    std::size_t at = layout.firstDescriptor;
    while (at < header.size() && header[at] != descriptorTerminator) {
        if (at + layout.descriptorSize > header.size()) {
            damaged(subject, {.reason = ErrorReason::DescriptorsOverrun});
        }
        DbfColumn column = readColumn(header.substr(at, layout.descriptorSize), layout,
                                      descriptors.columns.size() + 1, subject);
        column.offset = offset;
        offset += column.width;
        descriptors.columns.push_back(std::move(column));
        at += layout.descriptorSize;
    }
    if (at >= header.size()) {
        damaged(subject, {.reason = ErrorReason::NoTerminator});
    }
    descriptors.terminatorAt = at;
    return descriptors;
}

// The header's length must be where its descriptors end: one byte more or less shifts every
// record, and the fields would read parts of their neighbours.
void checkHeaderEnd(const DbfHeader& header, std::string_view bytes, std::size_t terminatorAt,
                    const Subject& subject) {
    const std::size_t end = terminatorAt + 1;
    const bool foxPro = header.version == 0x30 || header.version == 0x31 || header.version == 0x32;
    const std::size_t extra = header.headerLength - end;
    bool sound = extra == 0;
    if (foxPro) {
        sound = sound || extra == kFoxProBacklink;
    } else if (header.levelSeven) {
        sound = true; // the field properties follow the descriptors
    } else {
        // Some dBASE writers leave one NUL after the terminator.
        sound = sound || (extra == 1 && bytes[end] == '\0');
    }
    if (!sound) {
        damaged(subject,
                {.reason = ErrorReason::HeaderLength, .count = header.headerLength, .limit = end});
    }
}

} // namespace

std::size_t dbfHeaderLength(std::string_view fixedHeader) {
    return fixedHeader.size() < kDbfFixedHeaderSize ? 0 : littleEndian16(fixedHeader, 8);
}

DbfHeader checkDbfHeader(std::string_view bytes, std::uint64_t fileSize,
                         const std::filesystem::path& file, const std::string& table) {
    const Subject subject{file, table};
    if (fileSize == 0) {
        damaged(subject, {.reason = ErrorReason::TableFileEmpty});
    }
    if (bytes.size() < fileHeaderSize) {
        damaged(subject, {.reason = ErrorReason::TableFileTooShort});
    }
    DbfHeader header;
    header.version = byteAt(bytes, 0);
    if (!isKnownVersion(header.version)) {
        damaged(subject, {.reason = ErrorReason::NotDbase});
    }
    header.levelSeven = (header.version & 0x07) == 0x04;
    header.recordCount = littleEndian32(bytes, 4);
    header.headerLength = littleEndian16(bytes, 8);
    header.recordLength = littleEndian16(bytes, 10);
    header.languageDriver = byteAt(bytes, 29);

    const DescriptorLayout& layout = header.levelSeven ? levelSevenLayout : classicLayout;
    if (header.headerLength < layout.firstDescriptor) {
        damaged(subject, {.reason = ErrorReason::HeaderLength, .count = header.headerLength});
    }
    if (header.headerLength > bytes.size() || header.headerLength > fileSize) {
        damaged(subject, {.reason = ErrorReason::HeaderCut,
                          .count = header.headerLength,
                          .limit = std::min<std::uint64_t>(bytes.size(), fileSize)});
    }
    const std::string_view headerBytes = bytes.substr(0, header.headerLength);
    Descriptors descriptors = readColumns(headerBytes, layout, subject);
    header.columns = std::move(descriptors.columns);
    if (header.columns.empty()) {
        damaged(subject, {.reason = ErrorReason::NoFields});
    }
    checkHeaderEnd(header, headerBytes, descriptors.terminatorAt, subject);

    const DbfColumn& last = header.columns.back();
    const std::size_t fieldsLength = last.offset + last.width;
    if (fieldsLength != header.recordLength) {
        damaged(subject, {.reason = ErrorReason::RecordLength,
                          .count = header.recordLength,
                          .limit = fieldsLength});
    }
    const std::uint64_t dataSize = fileSize - header.headerLength;
    const std::uint64_t recordsInFile = dataSize / header.recordLength;
    if (header.recordCount > recordsInFile) {
        damaged(subject, {.reason = ErrorReason::RecordsMissing,
                          .count = header.recordCount,
                          .limit = recordsInFile});
    }
    header.trailingBytes = static_cast<std::size_t>(dataSize - std::uint64_t{header.recordCount} *
                                                                   header.recordLength);
    // Beyond the records only the end-of-file mark may follow; whole records there are records
    // the header does not count, and readers that trust it would miss them.
    if (header.trailingBytes > 1) {
        damaged(subject, {.reason = ErrorReason::RecordsBeyondCount,
                          .count = header.recordCount,
                          .limit = recordsInFile});
    }
    return header;
}

} // namespace velmora
