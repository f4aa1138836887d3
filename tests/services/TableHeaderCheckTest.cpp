#include "TableFileBuilder.h"
#include "services/DbfHeaderCheck.h"
#include "services/Error.h"
#include "services/Table.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>

using namespace velmora;
using namespace velmora::testing;

namespace {

const std::filesystem::path fixtureName = "/HTEMP/SOLUC.DBF";

std::string twoFieldFile(int records = 1) {
    std::vector<std::string> rows;
    for (int i = 0; i < records; ++i) {
        rows.push_back(" AB  12");
    }
    return dbfFile(0x03, {{"ASIG", 'C', 4}, {"DIA", 'N', 2}}, rows);
}

// The bytes in a heap block of exactly their size, so that the sanitizers catch any read
// past the end.
DbfHeader checkExactly(const std::string& bytes) {
    std::unique_ptr<char[]> exact(new char[bytes.size() + (bytes.empty() ? 1 : 0)]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    return checkDbfHeader(std::string_view(exact.get(), bytes.size()), fixtureName);
}

std::string errorOf(const std::string& bytes) {
    try {
        checkExactly(bytes);
    } catch (const Error& error) {
        return error.what();
    }
    return "(accepted)";
}

struct DamagedFile {
    const char* name;
    std::function<std::string()> bytes;
    const char* reason;
};

std::string withByte(std::string bytes, std::size_t at, char value) {
    bytes[at] = value;
    return bytes;
}

std::string withLength16(std::string bytes, std::size_t at, std::uint32_t value) {
    putLittleEndian(bytes, at, value, 2);
    return bytes;
}

std::string withCount(std::string bytes, std::uint32_t value) {
    putLittleEndian(bytes, 4, value, 4);
    return bytes;
}

const std::vector<DamagedFile> damagedFiles{
    {"ZeroLength", [] { return std::string(); }, "the file is empty"},
    {"ShorterThanAHeader", [] { return twoFieldFile().substr(0, 20); }, "too short"},
    {"NotADbf", [] { return std::string("<?xml version=\"1.0\"?><SERVICIO></SERVICIO>\n"); },
     "not a dBASE table"},
    {"HeaderCutShort", [] { return twoFieldFile(0).substr(0, 70); }, "header is cut short"},
    {"HeaderLengthTooSmall", [] { return withLength16(twoFieldFile(), 8, 20); }, "too small"},
    {"RecordsBeyondTheEnd", [] { return withCount(twoFieldFile(2), 3); },
     "announces 3 records but the file holds only 2"},
    {"HugeRecordCount", [] { return withCount(twoFieldFile(1), 0xFFFFFFFFu); },
     "announces 4294967295 records"},
    // The header length stops inside the second descriptor, which has no terminator before.
    {"DescriptorsOverrunTheHeader", [] { return withLength16(twoFieldFile(), 8, 80); },
     "run past the end of its header"},
    {"RecordLengthDoesNotMatch", [] { return withLength16(twoFieldFile(), 10, 9); },
     "record length (9 bytes) does not match its fields (7 bytes)"},
    {"ZeroRecordLength", [] { return withLength16(twoFieldFile(), 10, 0); },
     "does not match its fields"},
    {"NameWithControlBytes", [] { return withByte(twoFieldFile(), 33, '\x01'); },
     "field 1 has a name that is not text"},
    {"EmptyName", [] { return withByte(twoFieldFile(), 64, '\0'); },
     "field 2 has a name that is not text"},
    {"UnknownType", [] { return withByte(twoFieldFile(), 32 + 11, 'Z'); }, "unknown type"},
    {"ZeroWidth", [] { return withByte(twoFieldFile(), 64 + 16, '\0'); }, "impossible width"},
    {"IntegerOfWidthEight",
     [] {
         return dbfFile(0x30, {{"N", 'I', 8}}, {std::string(9, ' ')});
     },
     "impossible width"},
    {"NoFields", [] { return dbfFile(0x03, {}, {}); }, "has no fields"},
};

class TableHeaderCheck : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(TableHeaderCheck, RefusesTheDamagedFileNamingIt) {
    const std::string message = errorOf(GetParam().bytes());
    EXPECT_NE(message.find(fixtureName.string()), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().reason), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(Cases, TableHeaderCheck, ::testing::ValuesIn(damagedFiles),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(TableHeaderCheckAccepts, ASoundFileWithItsColumns) {
    const DbfHeader header = checkExactly(twoFieldFile(2));
    EXPECT_EQ(header.recordCount, 2u);
    EXPECT_EQ(header.recordLength, 7u);
    ASSERT_EQ(header.columns.size(), 2u);
    EXPECT_EQ(header.columns[1].name, "DIA");
    EXPECT_EQ(header.columns[1].type, 'N');
    EXPECT_EQ(header.columns[1].offset, 5u);
    EXPECT_EQ(header.columns[1].width, 2u);
}

TEST(TableHeaderCheckAccepts, AHeaderWithSpaceAfterTheTerminator) {
    // FoxPro keeps 263 more bytes after the terminator, inside the header length.
    std::string bytes = twoFieldFile(1);
    const std::size_t headerLength = 32 + 2 * 32 + 1;
    bytes.insert(headerLength, 263, '\0');
    putLittleEndian(bytes, 8, headerLength + 263, 2);
    const DbfHeader header = checkExactly(bytes);
    EXPECT_EQ(header.headerLength, headerLength + 263);
    EXPECT_EQ(header.columns.size(), 2u);
}

TEST(TableHeaderCheckAccepts, NothingButErrorsForEveryCutOfAFile) {
    const std::string whole = twoFieldFile(3);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        SCOPED_TRACE(size);
        try {
            const DbfHeader header = checkExactly(whole.substr(0, size));
            EXPECT_LE(header.headerLength + header.recordCount * header.recordLength, size);
        } catch (const Error&) {
        }
    }
}

TEST(TableHeaderCheckAccepts, NothingButErrorsOrSoundHeadersForScrambledBytes) {
    const std::string whole = twoFieldFile(2);
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = whole;
        for (int flips = 0; flips < 3; ++flips) {
            const std::size_t at = random() % 100; // the header and its descriptors
            bytes[at] = static_cast<char>(random() % 256);
        }
        try {
            const DbfHeader header = checkExactly(bytes);
            std::size_t end = 1;
            for (const auto& column : header.columns) {
                EXPECT_EQ(column.offset, end);
                end += column.width;
            }
            EXPECT_EQ(end, header.recordLength);
            EXPECT_LE(header.headerLength + header.recordCount * header.recordLength, bytes.size());
        } catch (const Error&) {
        }
    }
}

TEST(TableHeaderCheckAccepts, TheTableServiceChecksBeforeReading) {
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> files{
        {"EMPTY.DBF", ""},
        {"TEXT.DBF", "not a table at all, just some words in a file\n"},
        {"CUT.DBF", withCount(twoFieldFile(1), 40)},
    };
    for (const auto& [name, bytes] : files) {
        writeFile(dir / name, bytes);
        try {
            Table::open(dir / name, OpenMode::Shared);
            ADD_FAILURE() << name << " was opened";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find((dir / name).string()), std::string::npos)
                << error.what();
        }
    }
}
