#include "TableFileBuilder.h"
#include "services/Error.h"
#include "services/dbf/DbfHeader.h"
#include "services/dbf/DbfReader.h"
#include "support/ErrorChecks.h"
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

struct DamagedFile {
    const char* name;
    std::function<std::string()> bytes;
    ErrorReason reason;
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
    {"ZeroLength", [] { return std::string(); }, ErrorReason::TableFileEmpty},
    {"ShorterThanAHeader", [] { return twoFieldFile().substr(0, 20); },
     ErrorReason::TableFileTooShort},
    {"NotADbf", [] { return std::string("<?xml version=\"1.0\"?><SERVICIO></SERVICIO>\n"); },
     ErrorReason::NotDbase},
    {"HeaderCutShort", [] { return twoFieldFile(0).substr(0, 70); }, ErrorReason::HeaderCut},
    {"HeaderLengthTooSmall", [] { return withLength16(twoFieldFile(), 8, 20); },
     ErrorReason::HeaderLength},
    {"RecordsBeyondTheEnd", [] { return withCount(twoFieldFile(2), 3); },
     ErrorReason::RecordsMissing},
    {"HugeRecordCount", [] { return withCount(twoFieldFile(1), 0xFFFFFFFFu); },
     ErrorReason::RecordsMissing},
    // A count that says fewer records than the file holds would hide the others.
    {"RecordCountBelowTheRecords", [] { return withCount(twoFieldFile(50), 0); },
     ErrorReason::RecordsBeyondCount},
    // The header length stops inside the second descriptor, which has no terminator before.
    {"DescriptorsOverrunTheHeader", [] { return withLength16(twoFieldFile(), 8, 80); },
     ErrorReason::DescriptorsOverrun},
    // One byte off either way shifts every field of every record.
    {"HeaderLengthOneByteLonger", [] { return withLength16(twoFieldFile(), 8, 32 + 64 + 2); },
     ErrorReason::HeaderLength},
    {"HeaderLengthOneByteShorter", [] { return withLength16(twoFieldFile(), 8, 32 + 64); },
     ErrorReason::NoTerminator},
    {"RecordLengthDoesNotMatch", [] { return withLength16(twoFieldFile(), 10, 9); },
     ErrorReason::RecordLength},
    {"ZeroRecordLength", [] { return withLength16(twoFieldFile(), 10, 0); },
     ErrorReason::RecordLength},
    {"NameWithControlBytes", [] { return withByte(twoFieldFile(), 33, '\x01'); },
     ErrorReason::FieldName},
    {"EmptyName", [] { return withByte(twoFieldFile(), 64, '\0'); }, ErrorReason::FieldName},
    {"UnknownType", [] { return withByte(twoFieldFile(), 32 + 11, 'Z'); }, ErrorReason::FieldType},
    {"ZeroWidth", [] { return withByte(twoFieldFile(), 64 + 16, '\0'); }, ErrorReason::FieldWidth},
    {"IntegerOfWidthEight",
     [] {
         return dbfFile(0x30, {{"N", 'I', 8}}, {std::string(9, ' ')});
     },
     ErrorReason::FieldWidth},
    {"NoFields", [] { return dbfFile(0x03, {}, {}); }, ErrorReason::NoFields},
};

class TableHeaderCheck : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(TableHeaderCheck, RefusesTheDamagedFileNamingIt) {
    EXPECT_TRUE(failsWith([] { checkExactly(GetParam().bytes()); }, ErrorKind::TableDamaged,
                          {.file = fixtureName, .table = "SOLUC", .reason = GetParam().reason}));
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
    EXPECT_TRUE(failsWith([&] { flagged.next(); }, ErrorKind::TableDamaged,
                          {.record = 2, .reason = ErrorReason::DeletionFlag}));
    for (const auto& [name, bytes] : files) {
        writeFile(dir / name, bytes);
        EXPECT_TRUE(failsWith([&] { DbfReader::open(dir / name, LockedFile::Lock::Shared, "T"); },
                              ErrorKind::TableDamaged, {.file = dir / name}))
            << name;
    }
}
