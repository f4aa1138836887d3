#include "TableFileBuilder.h"
#include "services/Error.h"
#include "services/dbf/DbfHeader.h"
#include "services/dbf/DbfReader.h"
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
    return checkDbfHeader(std::string_view(exact.get(), bytes.size()), bytes.size(), fixtureName,
                          "SOLUC");
}

// The error's reason, with the file and table it names.
std::string errorOf(const std::string& bytes) {
    try {
        checkExactly(bytes);
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::TableDamaged);
        EXPECT_EQ(error.details().file, fixtureName);
        EXPECT_EQ(error.details().table, "SOLUC");
        return error.details().reason;
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
    {"ZeroLength", [] { return std::string(); }, "empty"},
    {"ShorterThanAHeader", [] { return twoFieldFile().substr(0, 20); }, "too-short"},
    {"NotADbf", [] { return std::string("<?xml version=\"1.0\"?><SERVICIO></SERVICIO>\n"); },
     "not-dbase"},
    {"HeaderCutShort", [] { return twoFieldFile(0).substr(0, 70); }, "header-cut"},
    {"HeaderLengthTooSmall", [] { return withLength16(twoFieldFile(), 8, 20); }, "header-length"},
    {"RecordsBeyondTheEnd", [] { return withCount(twoFieldFile(2), 3); }, "records-missing"},
    {"HugeRecordCount", [] { return withCount(twoFieldFile(1), 0xFFFFFFFFu); }, "records-missing"},
    // A count that says fewer records than the file holds would hide the others.
    {"RecordCountBelowTheRecords", [] { return withCount(twoFieldFile(50), 0); },
     "records-beyond-count"},
    // The header length stops inside the second descriptor, which has no terminator before.
    {"DescriptorsOverrunTheHeader", [] { return withLength16(twoFieldFile(), 8, 80); },
     "descriptors-overrun"},
    // One byte off either way shifts every field of every record.
    {"HeaderLengthOneByteLonger", [] { return withLength16(twoFieldFile(), 8, 32 + 64 + 2); },
     "header-length"},
    {"HeaderLengthOneByteShorter", [] { return withLength16(twoFieldFile(), 8, 32 + 64); },
     "no-terminator"},
    {"RecordLengthDoesNotMatch", [] { return withLength16(twoFieldFile(), 10, 9); },
     "record-length"},
    {"ZeroRecordLength", [] { return withLength16(twoFieldFile(), 10, 0); }, "record-length"},
    {"NameWithControlBytes", [] { return withByte(twoFieldFile(), 33, '\x01'); }, "field-name"},
    {"EmptyName", [] { return withByte(twoFieldFile(), 64, '\0'); }, "field-name"},
    {"UnknownType", [] { return withByte(twoFieldFile(), 32 + 11, 'Z'); }, "field-type"},
    {"ZeroWidth", [] { return withByte(twoFieldFile(), 64 + 16, '\0'); }, "field-width"},
    {"IntegerOfWidthEight",
     [] {
         return dbfFile(0x30, {{"N", 'I', 8}}, {std::string(9, ' ')});
     },
     "field-width"},
    {"NoFields", [] { return dbfFile(0x03, {}, {}); }, "no-fields"},
};

class TableHeaderCheck : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(TableHeaderCheck, RefusesTheDamagedFileNamingIt) {
    EXPECT_EQ(errorOf(GetParam().bytes()), GetParam().reason);
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

TEST(TableHeaderCheckAccepts, AFoxProHeaderWithItsLinkAfterTheTerminator) {
    // Visual FoxPro keeps 263 more bytes after the terminator, inside the header length.
    std::string bytes = twoFieldFile(1);
    bytes[0] = 0x30;
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
    // The records' deletion marks are checked as they are read: anything but a blank or '*'
    // says the file is not what its header describes.
    writeFile(dir / "FLAG.DBF",
              dbfFile(0x03, {{"ASIG", 'C', 4}, {"DIA", 'N', 2}}, {" AB  12", "xAB  12"}));
    DbfReader flagged = DbfReader::open(dir / "FLAG.DBF", LockedFile::Lock::Shared, "FLAG");
    EXPECT_TRUE(flagged.next());
    try {
        flagged.next();
        ADD_FAILURE() << "a record with the mark x was read";
    } catch (const Error& error) {
        EXPECT_EQ(error.details().reason, "deletion-flag");
        EXPECT_EQ(error.details().record, 2u);
    }
    for (const auto& [name, bytes] : files) {
        writeFile(dir / name, bytes);
        try {
            DbfReader::open(dir / name, LockedFile::Lock::Shared, "T");
            ADD_FAILURE() << name << " was opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.kind(), ErrorKind::TableDamaged) << error.what();
            EXPECT_EQ(error.details().file, dir / name);
        }
    }
}
