// Tables as other programs write them, read by the table reader: hand-made files, byte by byte.
#include "TableFileBuilder.h"
#include "services/Error.h"
#include "services/dbf/DbfReader.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

DbfReader openFile(const std::filesystem::path& file) {
    return DbfReader::open(file, LockedFile::Lock::Shared, file.stem().string());
}

std::vector<std::string> column(DbfReader& table, const std::string& field) {
    const std::size_t index = table.column(field);
    std::vector<std::string> values;
    while (const auto record = table.next()) {
        values.push_back(record->text(index));
    }
    return values;
}

} // namespace

TEST(TableRead, FindsFieldsWhateverTheirLetterCaseAndNamesAMissingOne) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    writeFile(file, dbfFile(0x03, {{"Prof", 'C', 4}}, {" P1  "}));
    DbfReader table = openFile(file);
    EXPECT_EQ(table.column("PROF"), 0u);
    EXPECT_EQ(table.column("prof"), 0u);
    EXPECT_TRUE(table.hasColumn("pRoF"));
    EXPECT_FALSE(table.hasColumn("MARCO"));
    EXPECT_TRUE(failsWith([&] { table.column("MARCO"); }, ErrorKind::TableFieldMissing,
                          {.file = file, .table = "SOLUC", .field = "MARCO"}));
}

TEST(TableRead, RecordsMarkedAsDeletedArePassedOver) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    writeFile(file, dbfFile(0x03, {{"PROF", 'C', 4}},
                            {"*P1  ", " P1  ", "*P2  ", " P2  ", " P1  ", "*P1  "}));
    DbfReader table = openFile(file);
    std::vector<std::pair<std::size_t, std::string>> seen;
    while (const auto record = table.next()) {
        seen.emplace_back(record->number(), record->text(0));
    }
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::size_t, std::string>>{{2, "P1"}, {4, "P2"}, {5, "P1"}}));
}

TEST(TableRead, FoxProIntegersAndDoublesAreLittleEndian) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    std::string record = " ";
    record += std::string("\xFB\xFF\xFF\xFF", 4); // I: -5
    double value = 2.5;
    char bytes[8];
    std::memcpy(bytes, &value, 8); // B: 2.5, little-endian on this machine
    record += std::string(bytes, 8);
    record += "  3.50"; // F(6,2)
    record += "  7";    // N(3,0)
    writeFile(
        file,
        dbfFile(0x30,
                {{"HORA", 'I', 4}, {"SESIONES", 'B', 8}, {"DIA", 'F', 6, 2}, {"AULA", 'N', 3}},
                {record}));
    DbfReader table = openFile(file);
    const auto read = table.next();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->integer(0), -5);
    EXPECT_EQ(read->text(0), "-5");
    EXPECT_DOUBLE_EQ(read->number(1), 2.5);
    EXPECT_EQ(read->integer(1), 2);
    EXPECT_EQ(read->text(2), "3.5");
    EXPECT_EQ(read->integer(2), 4);
    EXPECT_EQ(read->integer(3), 7);
}

std::string bigEndian(std::uint64_t value, int size) {
    std::string bytes;
    for (int i = size - 1; i >= 0; --i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

std::uint64_t bitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    return bits;
}

TEST(TableRead, DbaseSevenNumbersAreBigEndianWithTheSignFlipped) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    const std::uint64_t sign = std::uint64_t{1} << 63;
    const std::vector<std::string> records{
        " " + bigEndian(0x80000003u, 4) + bigEndian(0x80000001u, 4) +
            bigEndian(bitsOf(2.5) ^ sign, 8),
        " " + bigEndian(0x7FFFFFFDu, 4) + bigEndian(0x80000002u, 4) + bigEndian(~bitsOf(-2.5), 8),
        " " + std::string(4, '\0') + bigEndian(0x80000003u, 4) + std::string(8, '\0'),
    };
    // dBASE 7 descriptors are 48 bytes long and hold names of up to 32 characters.
    writeFile(file, dbfFile(0x04, {{"HORA_DE_LA_CLASE", 'I', 4}, {"ID", '+', 4}, {"DIA", 'O', 8}},
                            records));
    DbfReader table = openFile(file);
    EXPECT_EQ(table.column("HORA_DE_LA_CLASE"), 0u);
    auto record = table.next();
    EXPECT_EQ(record->integer(0), 3);
    EXPECT_EQ(record->integer(1), 1);
    EXPECT_EQ(record->text(2), "2.5");
    EXPECT_EQ(record->integer(2), 2);
    record = table.next();
    EXPECT_EQ(record->integer(0), -3);
    EXPECT_EQ(record->integer(1), 2);
    EXPECT_DOUBLE_EQ(record->number(2), -2.5);
    record = table.next();
    // All-zero bytes are dBASE 7's empty value.
    EXPECT_EQ(record->text(0), "");
    EXPECT_EQ(record->integer(0), 0);
    EXPECT_EQ(record->text(2), "");
    EXPECT_EQ(record->integer(2), 0);
}

struct UnreadableCase {
    const char* name;
    RawField field;
    std::string bytes;      // the field's bytes in the record
    ErrorReason reason;     // of the error
    std::string shownValue; // what the error says the value is
};

class UnreadableNumber : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableNumber, IsAnErrorNamingTheRecordFieldAndValue) {
    const UnreadableCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    const std::string blank(static_cast<std::size_t>(c.field.width), ' ');
    writeFile(file, dbfFile(0x03, {{"PROF", 'C', 2}, c.field}, {" P1" + blank, " P2" + c.bytes}));
    DbfReader table = openFile(file);
    table.next();
    const auto second = table.next();
    EXPECT_TRUE(failsWith([&] { second->integer(1); }, ErrorKind::TableValueUnreadable,
                          {.table = "SOLUC",
                           .record = 2,
                           .field = c.field.name,
                           .value = c.shownValue,
                           .reason = c.reason}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableNumber,
    ::testing::Values(
        UnreadableCase{
            "TextThatIsNotANumber", {"HORA", 'C', 8}, "8:30    ", ErrorReason::NotANumber, "8:30"},
        UnreadableCase{
            "NotANumberIsNoNumber", {"DIA", 'N', 5}, "  nan", ErrorReason::NotANumber, "nan"},
        UnreadableCase{
            "InfinityIsNoNumber", {"DIA", 'C', 5}, "inf  ", ErrorReason::NotANumber, "inf"},
        UnreadableCase{
            "ADateHoldsNoNumber", {"DIA", 'D', 8}, "        ", ErrorReason::FieldNotNumeric, "D"},
        UnreadableCase{"AMemoHoldsNoNumber",
                       {"DIA", 'M', 10},
                       "          ",
                       ErrorReason::FieldNotNumeric,
                       "M"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CodePageCase {
    const char* name;
    std::uint8_t languageDriver;
    const char* cpg; // nullptr: no .cpg file beside the table
    std::string storedName;
    std::string readBack;
};

class TableCodePage : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(TableCodePage, TextIsReadInTheCodePageTheTableDeclares) {
    const CodePageCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    std::string bytes = dbfFile(0x03, {{"NOMBRE", 'C', 12}},
                                {" " + c.storedName + std::string(12 - c.storedName.size(), ' ')});
    bytes[29] = static_cast<char>(c.languageDriver);
    writeFile(file, bytes);
    if (c.cpg != nullptr) {
        writeFile(dir / "soluc.CPG", c.cpg);
    }
    DbfReader table = openFile(file);
    EXPECT_EQ(column(table, "NOMBRE"), std::vector<std::string>{c.readBack});
}

INSTANTIATE_TEST_SUITE_P(Cases, TableCodePage,
                         ::testing::Values(CodePageCase{"Windows1252ByItsMark", 0x03, nullptr,
                                                        "Pe\xF1"
                                                        "a \x80",
                                                        "Peña €"},
                                           CodePageCase{"NoMarkMeansWindows1252", 0x00, nullptr,
                                                        "Pe\xF1"
                                                        "a",
                                                        "Peña"},
                                           CodePageCase{"Dos850ByItsMark", 0x02, nullptr,
                                                        "Pe\xA4"
                                                        "a \x82",
                                                        "Peña é"},
                                           CodePageCase{"Utf8ByACpgFile", 0x00, "UTF-8\n",
                                                        "Pe\xC3\xB1"
                                                        "a \xE2\x82\xAC",
                                                        "Peña €"},
                                           CodePageCase{"TheCpgFileWinsOverTheMark", 0x03,
                                                        "OEM 850",
                                                        "Pe\xA4"
                                                        "a",
                                                        "Peña"},
                                           CodePageCase{"AnsiNumberInTheCpgFile", 0x02, "ANSI 1252",
                                                        "Pe\xF1"
                                                        "a",
                                                        "Peña"},
                                           CodePageCase{"Latin1ByItsCpgName", 0x00, "88591",
                                                        "Pe\xF1"
                                                        "a",
                                                        "Peña"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct UnknownMarkCase {
    const char* name;
    std::uint8_t languageDriver;
    const char* cpg;
    const char* mark;
    ErrorReason where;
};

class UnknownCodePage : public ::testing::TestWithParam<UnknownMarkCase> {};

TEST_P(UnknownCodePage, IsAnErrorNotAGuess) {
    const UnknownMarkCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    std::string bytes = dbfFile(0x03, {{"NOMBRE", 'C', 4}}, {" Pena"});
    bytes[29] = static_cast<char>(c.languageDriver);
    writeFile(file, bytes);
    if (c.cpg != nullptr) {
        writeFile(dir / "SOLUC.cpg", c.cpg);
    }
    EXPECT_TRUE(failsWith([&] { openFile(file); }, ErrorKind::UnknownCodePage,
                          {.table = "SOLUC", .value = c.mark, .reason = c.where}));
}

INSTANTIATE_TEST_SUITE_P(Cases, UnknownCodePage,
                         ::testing::Values(UnknownMarkCase{"UnknownLanguageDriver", 0xEE, nullptr,
                                                           "0xEE", ErrorReason::LanguageDriver},
                                           UnknownMarkCase{"UnknownCpgText", 0x03, "KLINGON",
                                                           "KLINGON", ErrorReason::CpgFile},
                                           UnknownMarkCase{"MultiByteCodePage", 0x7B, nullptr,
                                                           "0x7B", ErrorReason::LanguageDriver}),
                         [](const auto& info) { return std::string(info.param.name); });
