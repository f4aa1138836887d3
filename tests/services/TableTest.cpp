#include "services/Table.h"
#include "services/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

const std::vector<FieldDef> sampleFields{{"CODE", FieldType::Text, 6},
                                         {"ACTIVE", FieldType::Boolean, 0},
                                         {"COUNT", FieldType::Integer, 0},
                                         {"HOURS", FieldType::Float, 0}};

std::filesystem::path createSample(const TempDir& dir) {
    const auto file = dir / "SAMPLE.DBF";
    Table::create(file, sampleFields);
    return file;
}

void appendCodes(const std::filesystem::path& file, const std::vector<std::string>& codes) {
    Table table = Table::open(file, OpenMode::Shared);
    for (const auto& code : codes) {
        table.append();
        table.writeText("CODE", code);
        table.post();
    }
}

std::vector<std::string> walkCodes(Table& table) {
    std::vector<std::string> codes;
    for (table.first(); !table.eof(); table.next()) {
        codes.push_back(table.readText("CODE"));
    }
    return codes;
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "(no error)";
}

} // namespace

TEST(Table, CreatesAnEmptyTableWithTheFieldsInOrder) {
    TempDir dir;
    const auto file = createSample(dir);
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.fieldNames(), (std::vector<std::string>{"CODE", "ACTIVE", "COUNT", "HOURS"}));
    EXPECT_EQ(table.recordCount(), 0);
    table.first();
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.name(), "SAMPLE");
}

TEST(Table, StoresTheLogicalTypesAsDbaseColumns) {
    TempDir dir;
    const std::string bytes = readFile(createSample(dir));
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

TEST(Table, ReadsBackWhatWasWrittenAfterReopening) {
    TempDir dir;
    const auto file = createSample(dir);
    {
        Table table = Table::open(file, OpenMode::Exclusive);
        table.append();
        table.writeText("CODE", "M1");
        table.writeBoolean("ACTIVE", true);
        table.writeInteger("COUNT", -42);
        table.writeFloat("HOURS", 2.5);
        table.post();
        table.append();
        table.writeText("CODE", "M2");
        table.writeBoolean("ACTIVE", false);
        table.post();
    }
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.recordCount(), 2);
    table.first();
    EXPECT_EQ(table.readText("CODE"), "M1");
    EXPECT_TRUE(table.readBoolean("ACTIVE"));
    EXPECT_EQ(table.readInteger("COUNT"), -42);
    EXPECT_DOUBLE_EQ(table.readFloat("HOURS"), 2.5);
    EXPECT_EQ(table.readText("HOURS"), "2.5");
    EXPECT_EQ(table.readText("COUNT"), "-42");
    table.next();
    EXPECT_FALSE(table.eof());
    EXPECT_EQ(table.readText("CODE"), "M2");
    EXPECT_FALSE(table.readBoolean("ACTIVE"));
    // Fields never set read as empty text and as 0.
    EXPECT_EQ(table.readText("COUNT"), "");
    EXPECT_EQ(table.readInteger("COUNT"), 0);
    EXPECT_EQ(table.readFloat("HOURS"), 0);
    table.next();
    EXPECT_TRUE(table.eof());
}

TEST(Table, WritesNumbersAndBooleansAsOtherReadersExpectThem) {
    TempDir dir;
    const auto file = createSample(dir);
    {
        Table table = Table::open(file, OpenMode::Shared);
        table.append();
        table.writeText("CODE", "X");
        table.writeBoolean("ACTIVE", true);
        table.writeInteger("COUNT", 7);
        table.writeFloat("HOURS", 1.25);
        table.post();
    }
    const std::string bytes = readFile(file);
    const std::size_t headerLength = 32 + 32 * 4 + 1;
    const std::string record = bytes.substr(headerLength, 1 + 6 + 1 + 11 + 20);
    EXPECT_EQ(record, std::string(" X     T") + "          7" + "              1.2500");
}

TEST(Table, MatchesFieldNamesWhateverTheirCase) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A"});
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(table.readText("code"), "A");
    EXPECT_EQ(table.readText("Code"), "A");
    EXPECT_TRUE(table.hasField("hours"));
    EXPECT_FALSE(table.hasField("MARCO"));
}

TEST(Table, NamesAMissingField) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A"});
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(errorOf([&] { table.readText("MARCO"); }).rfind("Field 'MARCO' not found", 0), 0u);
    EXPECT_NE(errorOf([&] { table.readText("MARCO"); }).find("SAMPLE"), std::string::npos);
    table.append();
    EXPECT_EQ(errorOf([&] { table.writeText("NOPE", "x"); }).rfind("Field 'NOPE' not found", 0),
              0u);
    EXPECT_EQ(errorOf([&] {
                  table.locate("CODE;NOPE", {"A", "B"});
              }).rfind("Field 'NOPE' not found", 0),
              0u);
    EXPECT_EQ(errorOf([&] { table.setFilter("NOPE= 'A'"); }).rfind("Field 'NOPE' not found", 0),
              0u);
}

TEST(Table, KeepsRecordsInTheOrderTheyWereAppended) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"C", "A", "B"});
    appendCodes(file, {"D"});
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(walkCodes(table), (std::vector<std::string>{"C", "A", "B", "D"}));
    EXPECT_EQ(table.recordCount(), 4);
}

TEST(Table, MovingWritesAPendingRecordFirst) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A", "B"});
    const std::vector<std::pair<std::string, std::function<void(Table&)>>> moves{
        {"first", [](Table& t) { t.first(); }},
        {"next", [](Table& t) { t.next(); }},
        {"locate", [](Table& t) { t.locate("CODE", {"A"}); }},
        {"append", [](Table& t) { t.append(); }},
    };
    for (const auto& [name, move] : moves) {
        SCOPED_TRACE(name);
        {
            Table table = Table::open(file, OpenMode::Shared);
            table.first();
            table.edit();
            table.writeText("CODE", "E-" + name);
            move(table);
        } // closing after the move: only what the move wrote is kept
        Table table = Table::open(file, OpenMode::Shared);
        table.first();
        EXPECT_EQ(table.readText("CODE"), "E-" + name.substr(0, 4));
        table.edit();
        table.writeText("CODE", "A");
        table.post();
    }
}

TEST(Table, CloseDiscardsAnAppendedRecordNotPosted) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A"});
    {
        Table table = Table::open(file, OpenMode::Shared);
        table.append();
        table.writeText("CODE", "LOST");
        table.close();
        EXPECT_FALSE(table.isOpen());
    }
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(walkCodes(table), (std::vector<std::string>{"A"}));
}

TEST(Table, CloseDiscardsAnEditNotPosted) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A", "B"});
    {
        Table table = Table::open(file, OpenMode::Shared);
        table.first();
        table.next();
        table.edit();
        table.writeText("CODE", "LOST");
        EXPECT_EQ(table.readText("CODE"), "LOST");
    }
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(walkCodes(table), (std::vector<std::string>{"A", "B"}));
}

TEST(Table, EditsARecordInPlace) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A", "B", "C"});
    {
        Table table = Table::open(file, OpenMode::Shared);
        ASSERT_TRUE(table.locate("CODE", {"B"}));
        table.edit();
        table.writeText("CODE", "B2");
        table.writeInteger("COUNT", 3);
        table.post();
        EXPECT_EQ(table.recordCount(), 3);
    }
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(walkCodes(table), (std::vector<std::string>{"A", "B2", "C"}));
}

TEST(Table, WritingWithoutAppendOrEditFails) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A"});
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_THROW(table.writeText("CODE", "B"), Error);
}

TEST(Table, LocatesTheFirstRecordMatchingEveryField) {
    TempDir dir;
    const auto file = dir / "DIASHORAST.DBF";
    Table::create(file, {{"DIHO", FieldType::Text, 10},
                         {"MARCOXML", FieldType::Text, 10},
                         {"HORA", FieldType::Text, 8}});
    {
        Table table = Table::open(file, OpenMode::Shared);
        const std::vector<std::vector<std::string>> rows{
            {"11", "M2", "a"}, {"11", "M1", "b"}, {"11", "M1", "c"}, {"12", "M1", "d"}};
        for (const auto& row : rows) {
            table.append();
            table.writeText("DIHO", row[0]);
            table.writeText("MARCOXML", row[1]);
            table.writeText("HORA", row[2]);
            table.post();
        }
    }
    Table table = Table::open(file, OpenMode::Shared);
    ASSERT_TRUE(table.locate("DIHO;MARCOXML", {"11", "M1"}));
    EXPECT_EQ(table.readText("HORA"), "b");
    EXPECT_FALSE(table.eof());
    table.next();
    EXPECT_EQ(table.readText("HORA"), "c");

    // Not found: the current record stays.
    EXPECT_FALSE(table.locate("DIHO;MARCOXML", {"11", "m1"}));
    EXPECT_EQ(table.readText("HORA"), "c");
    EXPECT_FALSE(table.locate("DIHO", {"1"}));
    EXPECT_FALSE(table.locate("DIHO", {"11 "}));
    EXPECT_TRUE(table.locate("diho ; marcoxml", {"12", "M1"}));
    EXPECT_EQ(table.readText("HORA"), "d");
    EXPECT_THROW(table.locate("DIHO;MARCOXML", {"11"}), Error);
}

TEST(Table, FiltersOnEqualityAndWalksOnlyTheMatches) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"P1", "P2", "P1", "p1", "P1 X", "O'N", "P1"});
    Table table = Table::open(file, OpenMode::Exclusive);
    table.setFilter("CODE= 'P1'");
    table.setFiltered(true);
    std::vector<int> seen;
    for (; !table.eof(); table.next()) {
        EXPECT_EQ(table.readText("CODE"), "P1");
        seen.push_back(1);
    }
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(table.recordCount(), 7); // the count ignores the filter

    table.setFiltered(false);
    table.setFilter("CODE= 'O''N'");
    table.setFiltered(true);
    EXPECT_EQ(walkCodes(table), (std::vector<std::string>{"O'N"}));

    table.setFilter("CODE= 'NONE'"); // changing the expression while on applies it at once
    EXPECT_TRUE(table.eof());

    table.setFiltered(false);
    EXPECT_EQ(walkCodes(table).size(), 7u);
}

TEST(Table, LocateOnAFilteredTableSearchesTheMatchesOnly) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A", "B"});
    Table table = Table::open(file, OpenMode::Shared);
    table.setFilter("CODE= 'A'");
    table.setFiltered(true);
    EXPECT_FALSE(table.locate("CODE", {"B"}));
    EXPECT_TRUE(table.locate("CODE", {"A"}));
}

struct BadFilter {
    const char* expression;
};

class TableFilterSyntax : public ::testing::TestWithParam<BadFilter> {};

TEST_P(TableFilterSyntax, RefusesAnythingButFieldEqualsQuotedValue) {
    TempDir dir;
    const auto file = createSample(dir);
    Table table = Table::open(file, OpenMode::Shared);
    EXPECT_THROW(table.setFilter(GetParam().expression), Error) << GetParam().expression;
}

INSTANTIATE_TEST_SUITE_P(Cases, TableFilterSyntax,
                         ::testing::Values(BadFilter{""}, BadFilter{"CODE"}, BadFilter{"CODE='A'"},
                                           BadFilter{"CODE=  'A'"}, BadFilter{"CODE = 'A'"},
                                           BadFilter{"= 'A'"}, BadFilter{"CODE= A"},
                                           BadFilter{"CODE= 'A"}, BadFilter{"CODE= 'A'B'"},
                                           BadFilter{"CODE= 'A' "}, BadFilter{"CODE= \"A\""},
                                           BadFilter{"CODE= 'O'N'"}, BadFilter{"CODE= '"}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Table, AcceptsAnEmptyQuotedValue) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"A", ""});
    Table table = Table::open(file, OpenMode::Shared);
    table.setFilter("CODE= ''");
    table.setFiltered(true);
    EXPECT_EQ(walkCodes(table), (std::vector<std::string>{""}));
}

TEST(Table, ComparesLeadingBlanksAsPartOfTheValue) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"  A", "A", "A  "});
    Table table = Table::open(file, OpenMode::Shared);
    ASSERT_TRUE(table.locate("CODE", {"A"}));
    table.next();
    EXPECT_EQ(table.readText("CODE"), "A"); // trailing blanks are not kept
    table.setFilter("CODE= '  A'");
    table.setFiltered(true);
    EXPECT_EQ(walkCodes(table), (std::vector<std::string>{"  A"}));
}

TEST(Table, AFilteredWalkFollowsChangesToTheTable) {
    TempDir dir;
    const auto file = createSample(dir);
    appendCodes(file, {"K", "X", "K", "K"});
    Table table = Table::open(file, OpenMode::Shared);
    table.setFilter("CODE= 'K'");
    table.setFiltered(true);
    table.edit();
    table.writeText("CODE", "Z"); // the first match no longer matches once posted
    table.next();
    EXPECT_EQ(table.readText("CODE"), "K");
    table.append();
    table.writeText("CODE", "K");
    table.post();
    std::vector<std::string> walked = walkCodes(table);
    EXPECT_EQ(walked, (std::vector<std::string>{"K", "K", "K"}));
    table.setFiltered(false);
    EXPECT_EQ(walkCodes(table), (std::vector<std::string>{"Z", "X", "K", "K", "K"}));
}
