#include "TableFileBuilder.h"
#include "services/Error.h"
#include "services/Table.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

std::filesystem::path tableWithOneRecord(const TempDir& dir, const std::vector<FieldDef>& fields,
                                         const std::function<void(Table&)>& fill) {
    const auto file = dir / "VALUES.DBF";
    Table::create(file, fields);
    Table table = Table::open(file, OpenMode::Exclusive);
    table.append();
    fill(table);
    table.post();
    return file;
}

// The stored bytes of the first record, deletion flag included.
std::string firstRecordBytes(const std::filesystem::path& file, std::size_t fieldCount,
                             std::size_t recordLength) {
    return readFile(file).substr(32 + 32 * fieldCount + 1, recordLength);
}

struct TextCase {
    const char* name;
    std::string written;
    std::string storedBytes; // Windows-1252, blank-padded to the width of 10
    std::string readBack;
};

class TableText : public ::testing::TestWithParam<TextCase> {};

TEST_P(TableText, IsStoredInWindows1252CutToTheWidthAndReadBack) {
    TempDir dir;
    const auto& param = GetParam();
    const auto file = tableWithOneRecord(dir, {{"NOMBRE", FieldType::Text, 10}},
                                         [&](Table& t) { t.writeText("NOMBRE", param.written); });
    EXPECT_EQ(firstRecordBytes(file, 1, 11), " " + param.storedBytes);
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.readText("NOMBRE"), param.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableText,
    ::testing::Values(TextCase{"Plain", "ABC", "ABC       ", "ABC"},
                      TextCase{"Accents", "Ñandú ü €",
                               "\xD1"
                               "and\xFA \xFC \x80 ",
                               "Ñandú ü €"},
                      TextCase{"CutInBytes", "ÁÉÍÓÚáéíóúñ",
                               "\xC1\xC9\xCD\xD3\xDA\xE1\xE9\xED\xF3\xFA", "ÁÉÍÓÚáéíóú"},
                      TextCase{"CutAfterAnAccent", "abcdefghiñjk", "abcdefghi\xF1", "abcdefghiñ"},
                      TextCase{"OutsideTheCodePage", "Őz漢€", "?z?\x80      ", "?z?€"},
                      TextCase{"LeadingBlanksKept", "  A  ", "  A       ", "  A"},
                      TextCase{"Empty", "", "          ", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableNumbers, AnIntegerWrittenToATextFieldIsItsDecimalDigits) {
    TempDir dir;
    const auto file = tableWithOneRecord(
        dir, {{"A", FieldType::Text, 3}, {"B", FieldType::Text, 3}, {"C", FieldType::Text, 3}},
        [](Table& t) {
            t.writeInteger("A", 0);
            t.writeInteger("B", 1);
            t.writeInteger("C", -12);
        });
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.readText("A"), "0");
    EXPECT_EQ(table.readText("B"), "1");
    EXPECT_EQ(table.readText("C"), "-12");
    EXPECT_EQ(table.readInteger("C"), -12);
}

struct FloatCase {
    double written;
    std::string text;
    std::int64_t nearest;
};

class TableFloat : public ::testing::TestWithParam<FloatCase> {};

TEST_P(TableFloat, ReadsAsGeneralTextAndAsTheNearestIntegerHalvesToEven) {
    TempDir dir;
    const auto file = tableWithOneRecord(dir, {{"DIA", FieldType::Float, 0}},
                                         [](Table& t) { t.writeFloat("DIA", GetParam().written); });
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.readText("DIA"), GetParam().text);
    EXPECT_EQ(table.readInteger("DIA"), GetParam().nearest);
    EXPECT_DOUBLE_EQ(table.readFloat("DIA"), GetParam().written);
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

TEST(TableNumbers, AFloatBeyondFixedDecimalsIsKeptInExponentForm) {
    TempDir dir;
    const auto file = tableWithOneRecord(dir, {{"HORAS", FieldType::Float, 0}},
                                         [](Table& t) { t.writeFloat("HORAS", 1.5e20); });
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_DOUBLE_EQ(table.readFloat("HORAS"), 1.5e20);
}

TEST(TableNumbers, AnIntegerTooWideForItsFieldIsRefused) {
    TempDir dir;
    const auto file = dir / "T.DBF";
    Table::create(file, {{"DNI", FieldType::Integer, 0}});
    Table table = Table::open(file, OpenMode::Shared);
    table.append();
    table.writeInteger("DNI", -2147483647);
    EXPECT_THROW(table.writeInteger("DNI", 123456789012LL), Error);
}

TEST(TableNumbers, TextThatIsNotANumberFailsANumericRead) {
    TempDir dir;
    const auto file = tableWithOneRecord(dir, {{"HORA", FieldType::Text, 8}},
                                         [](Table& t) { t.writeText("HORA", "8:30"); });
    Table table = Table::open(file, OpenMode::Shared);
    try {
        table.readInteger("HORA");
        FAIL() << "read as a number";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("'8:30'"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("HORA"), std::string::npos);
    }
}

TEST(TableBoolean, IsStoredAsTOrF) {
    TempDir dir;
    const auto file = tableWithOneRecord(dir,
                                         {{"SI", FieldType::Boolean, 0},
                                          {"NO", FieldType::Boolean, 0},
                                          {"NADA", FieldType::Boolean, 0}},
                                         [](Table& t) {
                                             t.writeBoolean("SI", true);
                                             t.writeBoolean("NO", false);
                                         });
    EXPECT_EQ(firstRecordBytes(file, 3, 4), " TF ");
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_TRUE(table.readBoolean("SI"));
    EXPECT_FALSE(table.readBoolean("NO"));
    EXPECT_FALSE(table.readBoolean("NADA"));
    EXPECT_EQ(table.readText("SI"), "True");
    EXPECT_EQ(table.readText("NO"), "False");
    EXPECT_EQ(table.readText("NADA"), "");
}

// Records hand-marked as deleted, as another program leaves them.
class TableDeletedRecords : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(file, dbfFile(0x03, {{"PROF", 'C', 4}},
                                {"*P1  ", " P1  ", "*P2  ", " P2  ", " P1  ", "*P1  "}));
    }
    TempDir dir;
    std::filesystem::path file = dir / "SOLUC.DBF";
};

TEST_F(TableDeletedRecords, AreSkippedByWalksAndCounts) {
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.recordCount(), 3);
    std::vector<std::string> seen;
    for (table.first(); !table.eof(); table.next()) {
        seen.push_back(table.readText("PROF"));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"P1", "P2", "P1"}));
}

TEST_F(TableDeletedRecords, AreSkippedByLocateAndFilter) {
    Table table = Table::open(file, OpenMode::Shared);
    table.setFilter("PROF= 'P2'");
    table.setFiltered(true);
    int matches = 0;
    for (; !table.eof(); table.next()) {
        ++matches;
    }
    EXPECT_EQ(matches, 1);
    table.setFiltered(false);
    table.first();
    table.next();
    ASSERT_TRUE(table.locate("PROF", {"P2"}));
    table.edit();
    table.writeText("PROF", "X");
    table.post();
    table.close();
    // The located record was the live one (the fourth stored record).
    EXPECT_EQ(readFile(file).substr(32 + 32 + 1 + 3 * 5, 5), " X   ");
}

TEST(TableBinaryFields, FoxProIntegersAndDoublesAreLittleEndian) {
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
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.readInteger("HORA"), -5);
    EXPECT_EQ(table.readText("HORA"), "-5");
    EXPECT_DOUBLE_EQ(table.readFloat("SESIONES"), 2.5);
    EXPECT_EQ(table.readInteger("SESIONES"), 2);
    EXPECT_EQ(table.readText("DIA"), "3.5");
    EXPECT_EQ(table.readInteger("DIA"), 4);
    EXPECT_EQ(table.readInteger("AULA"), 7);
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

TEST(TableBinaryFields, DbaseSevenNumbersAreBigEndianWithTheSignFlipped) {
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
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.fieldNames(), (std::vector<std::string>{"HORA_DE_LA_CLASE", "ID", "DIA"}));
    table.first();
    EXPECT_EQ(table.readInteger("HORA_DE_LA_CLASE"), 3);
    EXPECT_EQ(table.readInteger("ID"), 1);
    EXPECT_EQ(table.readText("DIA"), "2.5");
    EXPECT_EQ(table.readInteger("DIA"), 2);
    table.next();
    EXPECT_EQ(table.readInteger("HORA_DE_LA_CLASE"), -3);
    EXPECT_EQ(table.readInteger("ID"), 2);
    EXPECT_DOUBLE_EQ(table.readFloat("DIA"), -2.5);
    table.next();
    // All-zero bytes are dBASE 7's empty value.
    EXPECT_EQ(table.readText("HORA_DE_LA_CLASE"), "");
    EXPECT_EQ(table.readInteger("HORA_DE_LA_CLASE"), 0);
    EXPECT_EQ(table.readText("DIA"), "");
    EXPECT_EQ(table.readInteger("DIA"), 0);
    // Filters and look-ups compare the text as read back.
    EXPECT_TRUE(table.locate("DIA", {"-2.5"}));
    EXPECT_EQ(table.readInteger("ID"), 2);
}

TEST(TableBinaryFields, AreNotWritten) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    writeFile(file, dbfFile(0x30, {{"HORA", 'I', 4}}, {std::string(" \1\0\0\0", 5)}));
    Table table = Table::open(file, OpenMode::Shared);
    table.edit();
    EXPECT_THROW(table.writeInteger("HORA", 2), Error);
}

TEST(TableFiles, AreWrittenToTheExactFileNameGiven) {
    TempDir dir;
    const auto file = dir / "Soluc.Dbf";
    writeFile(file, dbfFile(0x03, {{"PROF", 'C', 4}}, {" P1  "}));
    {
        Table table = Table::open(file, OpenMode::Shared);
        table.append();
        table.writeText("PROF", "P2");
        table.post();
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(readRows(file).size(), 2u);
}

} // namespace
