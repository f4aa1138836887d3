// Tables as the conversion writes them: laid out in memory, written once, read back by the
// table reader and byte by byte.
#include "formats/TableRows.h"
#include "services/Error.h"
#include "services/dbf/DbfReader.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

const std::array<FieldDef, 4> kSampleFields{{{"CODE", FieldType::Text, 6},
                                             {"ACTIVE", FieldType::Boolean, 0},
                                             {"COUNT", FieldType::Integer, 0},
                                             {"HOURS", FieldType::Float, 0}}};
const TableLayout kSample{"SAMPLE", kSampleFields};
constexpr std::size_t kCode = 0, kActive = 1, kHours = 3;

DbfReader openSample(const TempDir& dir) {
    return DbfReader::open(dir / "SAMPLE.DBF", LockedFile::Lock::Shared, "SAMPLE");
}

// The stored bytes of the first record, deletion flag included.
std::string firstRecordBytes(const std::filesystem::path& file, std::size_t fieldCount,
                             std::size_t recordLength) {
    return readFile(file).substr(32 + 32 * fieldCount + 1, recordLength);
}

} // namespace

TEST(TableWrite, AnEmptyTableHasItsFieldsInOrder) {
    TempDir dir;
    TableRows(kSample).writeTo(dir.path());
    DbfReader table = openSample(dir);
    std::vector<std::string> names;
    for (const DbfColumn& column : table.header().columns) {
        names.push_back(column.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"CODE", "ACTIVE", "COUNT", "HOURS"}));
    EXPECT_EQ(table.header().recordCount, 0u);
    EXPECT_FALSE(table.next());
}

TEST(TableWrite, StoresTheLogicalTypesAsDbaseColumns) {
    TempDir dir;
    TableRows(kSample).writeTo(dir.path());
    const std::string bytes = readFile(dir / "SAMPLE.DBF");
    // Descriptors start at 32: name (11 bytes), type at 11, width at 16, decimals at 17.
    const auto column = [&](int index) {
        const std::size_t at = 32 + 32 * static_cast<std::size_t>(index);
        return std::string(1, bytes[at + 11]) + std::to_string(static_cast<int>(bytes[at + 16])) +
               "," + std::to_string(static_cast<int>(bytes[at + 17]));
    };
    EXPECT_EQ(column(0), "C6,0");
    EXPECT_EQ(column(1), "L1,0");
    EXPECT_EQ(column(2), "N11,0");
    EXPECT_EQ(column(3), "N20,4");
    EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x03);
}

TEST(TableWrite, ReadsBackWhatWasWrittenInTheOrderWritten) {
    TempDir dir;
    TableRows rows(kSample);
    const std::size_t first = rows.append();
    rows.setText(first, kCode, "M1");
    rows.setBoolean(first, kActive, true);
    rows.setFloat(first, kHours, 2.5);
    rows.setText(rows.append(), kCode, "M2");
    const std::size_t third = rows.append();
    rows.setText(third, kCode, "M3");
    rows.setFloat(third, kHours, 12.75);
    rows.writeTo(dir.path());

    DbfReader table = openSample(dir);
    auto record = table.next();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text(kCode), "M1");
    EXPECT_EQ(record->text(kActive), "True");
    EXPECT_DOUBLE_EQ(record->number(kHours), 2.5);
    EXPECT_EQ(record->text(kHours), "2.5");
    record = table.next();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text(kCode), "M2");
    // Fields never set read as empty text and as 0.
    EXPECT_EQ(record->text(2), "");
    EXPECT_EQ(record->integer(2), 0);
    EXPECT_EQ(record->number(kHours), 0);
    EXPECT_EQ(record->text(kActive), "");
    record = table.next();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text(kCode), "M3");
    EXPECT_EQ(record->text(kHours), "12.75");
    EXPECT_FALSE(table.next());
}

TEST(TableWrite, StoresNumbersAndBooleansAsOtherReadersExpectThem) {
    TempDir dir;
    TableRows rows(kSample);
    const std::size_t row = rows.append();
    rows.setText(row, kCode, "X");
    rows.setBoolean(row, kActive, true);
    rows.setFloat(row, kHours, 1.25);
    rows.writeTo(dir.path());
    EXPECT_EQ(firstRecordBytes(dir / "SAMPLE.DBF", 4, 1 + 6 + 1 + 11 + 20),
              std::string(" X     T") + "           " + "              1.2500");
}

struct TextCase {
    const char* name;
    std::string written;
    std::string storedBytes; // Windows-1252, blank-padded to the width of 10
    std::string readBack;
    bool cut;
    bool replaced;
};

class TableText : public ::testing::TestWithParam<TextCase> {};

TEST_P(TableText, IsStoredInWindows1252CutToTheWidthAndReadBack) {
    const TextCase& c = GetParam();
    TempDir dir;
    const std::array<FieldDef, 1> fields{{{"NOMBRE", FieldType::Text, 10}}};
    TableRows rows(TableLayout{"VALUES", fields});
    const TableRows::Fitted fitted = rows.setText(rows.append(), 0, c.written);
    rows.writeTo(dir.path());

    EXPECT_EQ(firstRecordBytes(dir / "VALUES.DBF", 1, 11), " " + c.storedBytes);
    EXPECT_EQ(readRows(dir / "VALUES.DBF").at(0).at("NOMBRE"), c.readBack);
    EXPECT_EQ(fitted.cut, c.cut);
    EXPECT_EQ(fitted.replaced, c.replaced);
    EXPECT_EQ(fitted.stored, c.cut || c.replaced ? c.readBack : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableText,
    ::testing::Values(
        TextCase{"Plain", "ABC", "ABC       ", "ABC", false, false},
        TextCase{"Accents", "Ñandú ü €",
                 "\xD1"
                 "and\xFA \xFC \x80 ",
                 "Ñandú ü €", false, false},
        TextCase{"CutInBytes", "ÁÉÍÓÚáéíóúñ", "\xC1\xC9\xCD\xD3\xDA\xE1\xE9\xED\xF3\xFA",
                 "ÁÉÍÓÚáéíóú", true, false},
        TextCase{"CutAfterAnAccent", "abcdefghiñjk", "abcdefghi\xF1", "abcdefghiñ", true, false},
        TextCase{"BaseLettersOfOtherAlphabets", "Ștefan ąř", "Stefan ar ", "Stefan ar", false,
                 true},
        TextCase{"LettersWithAStroke", "Łukasz Đ", "Lukasz D  ", "Lukasz D", false, true},
        TextCase{"KeptWhereTheCodePageHasIt", "Dvořák", "Dvor\xE1k    ", "Dvorák", false, true},
        TextCase{"AnAccentWrittenApart", "Jose\xCC\x81", "Jos\xE9      ", "José", false, false},
        TextCase{"NoLatinLetterToFitIn", "Őz漢€", "Oz?\x80      ", "Oz?€", false, true},
        TextCase{"LeadingBlanksKept", "  A  ", "  A       ", "  A", false, false},
        TextCase{"Empty", "", "          ", "", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct FloatCase {
    double written;
    std::string text;
    std::int64_t nearest;
};

class TableFloat : public ::testing::TestWithParam<FloatCase> {};

TEST_P(TableFloat, ReadsAsGeneralTextAndAsTheNearestIntegerHalvesToEven) {
    TempDir dir;
    TableRows rows(kSample);
    rows.setFloat(rows.append(), kHours, GetParam().written);
    rows.writeTo(dir.path());
    DbfReader table = openSample(dir);
    const auto record = table.next();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text(kHours), GetParam().text);
    EXPECT_EQ(record->integer(kHours), GetParam().nearest);
    EXPECT_DOUBLE_EQ(record->number(kHours), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Cases, TableFloat,
                         ::testing::Values(FloatCase{1.0, "1", 1}, FloatCase{2.5, "2.5", 2},
                                           FloatCase{3.5, "3.5", 4}, FloatCase{0.5, "0.5", 0},
                                           FloatCase{-1.5, "-1.5", -2}, FloatCase{-2.5, "-2.5", -2},
                                           FloatCase{2.4999, "2.4999", 2},
                                           FloatCase{2.5001, "2.5001", 3}, FloatCase{0, "0", 0},
                                           FloatCase{123456789.125, "123456789.125", 123456789},
                                           FloatCase{-0.0625, "-0.0625", 0}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(TableWrite, ANumberBeyondFixedDecimalsIsKeptInExponentForm) {
    TempDir dir;
    TableRows rows(kSample);
    rows.setFloat(rows.append(), kHours, 1.5e20);
    rows.writeTo(dir.path());
    DbfReader table = openSample(dir);
    EXPECT_DOUBLE_EQ(table.next()->number(kHours), 1.5e20);
}

TEST(TableWrite, ANumberThatCannotBeWrittenIsRefusedNamingTheField) {
    TableRows rows(kSample);
    const std::size_t row = rows.append();
    EXPECT_TRUE(
        failsWith([&] { rows.setFloat(row, kHours, std::numeric_limits<double>::infinity()); },
                  ErrorKind::ValueDoesNotFit, {.table = "SAMPLE", .field = "HOURS"}));
}

TEST(TableWrite, WritingAgainReplacesTheEarlierFile) {
    TempDir dir;
    TableRows first(kSample);
    first.setText(first.append(), kCode, "OLD");
    first.writeTo(dir.path());
    TableRows(kSample).writeTo(dir.path());
    EXPECT_TRUE(readRows(dir / "SAMPLE.DBF").empty());
}

TEST(TableWrite, AMissingFolderIsAnErrorNamingTheTable) {
    TempDir dir;
    EXPECT_TRUE(failsWith([&] { TableRows(kSample).writeTo(dir / "NOFOLDER"); },
                          ErrorKind::TableNotWritten,
                          {.file = dir / "NOFOLDER" / "SAMPLE.DBF", .table = "SAMPLE"}));
}

// A table whose older rows wait on disk as it grows reads, copies and writes as one held in
// memory: the same texts, the same file; and its file of rows goes with it.
TEST(TableWrite, RowsKeptOnDiskGiveTheSameTable) {
    TempDir rowsFolder, fromMemory, fromDisk;
    // Three blocks of rows: with one block in memory, two go to disk.
    const int rowCount = 20000;
    const auto fill = [rowCount](TableRows& rows) {
        for (int i = 0; i < rowCount; ++i) {
            // Every seventh row takes its code from an older row, which may wait on disk.
            const std::string code =
                i % 7 == 6 ? std::string(rows.text(static_cast<std::size_t>(i / 2), kCode))
                           : std::to_string(i);
            const std::size_t row = rows.append();
            rows.setText(row, kCode, code);
            rows.setBoolean(row, kActive, i % 3 == 0);
        }
    };
    TableRows inMemory(kSample);
    fill(inMemory);
    {
        TableRows onDisk(kSample);
        onDisk.keepRowsOnDiskIn(rowsFolder.path(), 1);
        fill(onDisk);
        ASSERT_TRUE(std::filesystem::exists(rowsFolder / "SAMPLE.rows"));
        for (std::size_t row = 0; row < static_cast<std::size_t>(rowCount); row += 997) {
            EXPECT_EQ(onDisk.text(row, kCode), inMemory.text(row, kCode)) << row;
        }
        EXPECT_THROW(onDisk.setText(0, kCode, "LATE"), std::logic_error);
        inMemory.writeTo(fromMemory.path());
        onDisk.writeTo(fromDisk.path());
    }
    EXPECT_EQ(readFile(fromDisk / "SAMPLE.DBF"), readFile(fromMemory / "SAMPLE.DBF"));
    EXPECT_FALSE(std::filesystem::exists(rowsFolder / "SAMPLE.rows"));
}

// A table grows only up to the size it may have: the row past it is refused, naming the table
// and the size, and the rows before it stay.
TEST(TableWrite, ARowPastTheLargestTableIsRefused) {
    const std::size_t recordLength = 1 + 6 + 1 + 11 + 20;
    TableRows rows(kSample, 3 * recordLength);
    for (int row = 0; row < 3; ++row) {
        rows.append();
    }
    EXPECT_TRUE(failsWith([&] { rows.append(); }, ErrorKind::TableWouldBeTooLarge,
                          {.table = "SAMPLE", .limit = 3 * recordLength}));
    EXPECT_EQ(rows.size(), 3u);
}
