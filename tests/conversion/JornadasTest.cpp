#include "conversion/Builders.h"
#include "messages/Messages.h"
#include "services/Error.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace velmora {
namespace {

using testing::errorFrom;
using testing::failsWith;
using testing::isError;
using testing::readRows;
using testing::Row;
using testing::SauceRecordValues;
using testing::sauceXml;
using testing::TempDir;

// Answers the frame question with a fixed resultado and remembers that it was asked.
class FixedChooser : public FrameChooser {
public:
    explicit FixedChooser(std::string answer) : answer_(std::move(answer)) {}
    std::string chooseFrames(const std::filesystem::path& document, const FrameListing&) override {
        askedFor.push_back(document);
        return answer_;
    }
    std::vector<std::filesystem::path> askedFor;

private:
    std::string answer_;
};

SauceRecordValues slot(const std::string& code, const std::string& order, const std::string& frame,
                       const std::string& start = "08:00", const std::string& end = "08:55") {
    return {"dato=CODIGO_SAUCE|" + code, "dato=NOMBRE|Hora " + code, "dato=INICIO|" + start,
            "dato=FIN|" + end,           "dato=ORDEN|" + order,      "dato=CLAVE_JORNADA|" + frame};
}

std::vector<SauceRecordValues> frameRecords(const std::vector<std::string>& keys) {
    std::vector<SauceRecordValues> records;
    for (const auto& key : keys) {
        records.push_back({key, "Marco " + key, "01/09/2026"});
    }
    return records;
}

class JornadasBuilder {
public:
    explicit JornadasBuilder(std::string chooserAnswer) : chooser(std::move(chooserAnswer)) {}

    std::vector<Row> build(const std::string& xml) {
        const ServiceSections sections = ServiceSections::parse(xml, "jornadas.xml");
        ConversionContext context(sections, documentPath, chooser);
        CargarJornadas(context);
        context.tables.diashorast.writeTo(folder.path());
        return readRows(folder / "DIASHORAST.DBF");
    }

    TempDir folder;
    std::filesystem::path documentPath = "/escuela/jornadas.xml";
    FixedChooser chooser;
};

// What every one of the seven rows of a slot should hold after the run, the day left out of
// DIHO ("3" stands for 13, 23, ... 73).
struct ExpectedSlot {
    std::string dihoAfterDay;
    std::string hora;
    std::string marco;
};

struct JornadasCase {
    std::string name;
    std::vector<std::string> frameKeys;
    std::vector<SauceRecordValues> slots;
    std::string chooserAnswer; // what the dialog answers when it is asked
    bool dialogAsked;
    std::vector<ExpectedSlot> expected; // one per INTERVALOS record
};

void PrintTo(const JornadasCase& c, std::ostream* os) {
    *os << c.name;
}

std::string printCase(const ::testing::TestParamInfo<JornadasCase>& info) {
    return info.param.name;
}

class JornadasRows : public ::testing::TestWithParam<JornadasCase> {};

TEST_P(JornadasRows, SevenRowsPerSlotRenumberedAndNumberedByFrame) {
    const JornadasCase& c = GetParam();
    JornadasBuilder builder(c.chooserAnswer);
    const auto rows =
        builder.build(sauceXml({{"JORNADAS", frameRecords(c.frameKeys)}, {"INTERVALOS", c.slots}}));

    EXPECT_EQ(builder.chooser.askedFor.size(), c.dialogAsked ? 1u : 0u);
    ASSERT_EQ(rows.size(), 7 * c.expected.size());
    for (std::size_t slotIndex = 0; slotIndex < c.expected.size(); ++slotIndex) {
        for (int day = 1; day <= 7; ++day) {
            const Row& row = rows[slotIndex * 7 + static_cast<std::size_t>(day - 1)];
            const ExpectedSlot& expected = c.expected[slotIndex];
            SCOPED_TRACE("slot " + std::to_string(slotIndex + 1) + ", day " + std::to_string(day));
            EXPECT_EQ(row.at("DIA"), std::to_string(day));
            EXPECT_EQ(row.at("DIHO"), std::to_string(day) + expected.dihoAfterDay);
            EXPECT_EQ(row.at("HORA"), expected.hora);
            EXPECT_EQ(row.at("MARCO"), expected.marco);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JornadasRows,
    ::testing::Values(
        // One frame: no dialog; slots without a frame key match the empty second key.
        JornadasCase{"OneFrameAndSlotsWithoutKey",
                     {"M1"},
                     {slot("A", "1", "M1"), slot("B", "2", "M1"), slot("C", "1", "")},
                     "",
                     false,
                     {{"1", "1", "0"}, {"2", "2", "0"}, {"1", "1", "1"}}},
        JornadasCase{"FrameStartingLaterListedFirstGetsOne",
                     {"TARDE", "MANANA"},
                     {slot("T1", "1", "TARDE", "15:00", "15:55"),
                      slot("M1", "1", "MANANA", "08:00", "08:55")},
                     "TARDE     MANANA    ",
                     true,
                     {{"1", "1", "1"}, {"1", "1", "0"}}},
        JornadasCase{"EqualStartsGiveFirstFrameZero",
                     {"A", "B"},
                     {slot("B1", "1", "B"), slot("A1", "1", "A")},
                     "A         B         ",
                     true,
                     {{"1", "1", "1"}, {"1", "1", "0"}}},
        JornadasCase{"UnchosenFrameKeepsOrdersAndNoNumber",
                     {"A", "B", "C"},
                     {slot("A2", "2", "A"), slot("C3", "3", "C"), slot("B4", "4", "B")},
                     "A         B         ",
                     true,
                     {{"1", "1", "0"}, {"3", "3", ""}, {"1", "1", "1"}}},
        JornadasCase{"GapsInOrdersClosed",
                     {"M1"},
                     {slot("S5", "5", "M1"), slot("S2", "2", "M1"), slot("S3", "3", "M1")},
                     "",
                     false,
                     {{"3", "3", "0"}, {"1", "1", "0"}, {"2", "2", "0"}}},
        JornadasCase{"OrdersThatAreNotOneToFortyKeepTheirText",
                     {"M1"},
                     {slot("P", "01", "M1"), slot("Z", "0", "M1"), slot("F", "41", "M1"),
                      slot("N", "40", "M1")},
                     "",
                     false,
                     {{"01", "01", "0"}, {"0", "0", "0"}, {"41", "41", "0"}, {"1", "1", "0"}}},
        // A single frame needs no key: its slots, without one either, name it the same way.
        JornadasCase{"SingleFrameWithoutKey",
                     {""},
                     {slot("X", "2", ""), slot("Y", "1", "OTRO")},
                     "",
                     false,
                     {{"1", "1", "0"}, {"1", "1", ""}}},
        JornadasCase{"SameOrderTwiceRenumbersOnlyTheFirst",
                     {"M1"},
                     {slot("X", "3", "M1"), slot("Y", "3", "M1"), slot("W", "4", "M1")},
                     "",
                     false,
                     {{"1", "1", "0"}, {"3", "3", "0"}, {"2", "2", "0"}}},
        // Keys are cut to 10 characters on both sides, so the long key still matches.
        JornadasCase{"SingleKeyLongerThanTen",
                     {"NOCTURNO2026"},
                     {slot("N", "7", "NOCTURNO2026")},
                     "",
                     false,
                     {{"1", "1", "0"}}},
        JornadasCase{"DialogKeyLongerThanTen",
                     {"NOCTURNO2026", "DIURNO"},
                     {slot("N", "2", "NOCTURNO2026", "20:00", "20:55"), slot("D", "2", "DIURNO")},
                     "NOCTURNO20DIURNO    ",
                     true,
                     {{"1", "1", "1"}, {"1", "1", "0"}}},
        // A single key of 20 characters or more reads as two keys of 10.
        JornadasCase{
            "SingleKeyOfTwentyCharactersSplitsInTwo",
            {"PRIMERMARCSEGUNDOMARCO"},
            {slot("P", "2", "PRIMERMARCO"), slot("S", "3", "SEGUNDOMAR"), slot("X", "1", "")},
            "",
            false,
            {{"1", "1", "0"}, {"1", "1", "1"}, {"1", "1", ""}}},
        JornadasCase{"FramesWithoutSlots", {"A", "B"}, {}, "A         ", true, {}}),
    printCase);

TEST(Jornadas, RowsCarryTheSlotValuesFoundByTheirNames) {
    JornadasBuilder builder("");
    const auto rows = builder.build(
        sauceXml({{"JORNADAS", frameRecords({"M1"})},
                  {"INTERVALOS",
                   {// Values in an unusual order, one without dato, one in other letter case, and a
                    // name given twice: the later value wins.
                    {"dato=ORDEN|2", "dato=CLAVE_JORNADA|  M1 ", "sin nombre",
                     "dato=nombre|ignorado", "dato=NOMBRE|Primera", "dato=NOMBRE|  Segunda  ",
                     "dato=FIN|9:40", "dato=INICIO|8:45", "dato=CODIGO_SAUCE|T2"},
                    // No ORDEN: the order of the record before carries over; the rest starts empty.
                    {"dato=INICIO|10:00", "dato=FIN|11:00", "dato=CLAVE_JORNADA|M1"}}}}));

    ASSERT_EQ(rows.size(), 14u);
    const Row& first = rows[2];
    EXPECT_EQ(first.at("DIHO"), "31");
    EXPECT_EQ(first.at("CODDIHO"), "T2");
    EXPECT_EQ(first.at("DIA"), "3");
    EXPECT_EQ(first.at("TEXTODIA"), "");
    EXPECT_EQ(first.at("HORA"), "1");
    EXPECT_EQ(first.at("TEXTOHOR"), "Segunda");
    EXPECT_EQ(first.at("HORADESDE"), "08:45");
    EXPECT_EQ(first.at("HORAHASTA"), "09:40");
    EXPECT_EQ(first.at("MINUTOS"), "55");
    EXPECT_EQ(first.at("MARCO"), "0");
    EXPECT_EQ(first.at("MARCOXML"), "M1");

    // Both records carry order 2; only the first row of each day is renumbered.
    const Row& second = rows[9];
    EXPECT_EQ(second.at("DIHO"), "32");
    EXPECT_EQ(second.at("HORA"), "2");
    EXPECT_EQ(second.at("CODDIHO"), "");
    EXPECT_EQ(second.at("TEXTOHOR"), "");
    EXPECT_EQ(second.at("MINUTOS"), "60");
}

struct TimeCase {
    std::string start;
    std::string end;
    std::string horaDesde;
    std::string horaHasta;
    std::string minutos;
};

void PrintTo(const TimeCase& c, std::ostream* os) {
    *os << c.start << " to " << c.end;
}

class JornadasTimes : public ::testing::TestWithParam<TimeCase> {};

TEST_P(JornadasTimes, LeadingZeroAndLengthInMinutesOnEveryDay) {
    const TimeCase& c = GetParam();
    JornadasBuilder builder("");
    const auto rows =
        builder.build(sauceXml({{"JORNADAS", frameRecords({"M1"})},
                                {"INTERVALOS", {slot("T", "1", "M1", c.start, c.end)}}}));

    ASSERT_EQ(rows.size(), 7u);
    for (const Row& row : rows) {
        EXPECT_EQ(row.at("HORADESDE"), c.horaDesde);
        EXPECT_EQ(row.at("HORAHASTA"), c.horaHasta);
        EXPECT_EQ(row.at("MINUTOS"), c.minutos);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, JornadasTimes,
                         ::testing::Values(TimeCase{"8:00", "8:55", "08:00", "08:55", "55"},
                                           TimeCase{"08:00", "14:00", "08:00", "14:00", "360"},
                                           TimeCase{"9.15", "10.05", "09.15", "10.05", "50"},
                                           TimeCase{"0:00", "23:59", "00:00", "23:59", "1439"},
                                           // A slot may last no time at all: a school can mark a
                                           // moment of the day with one.
                                           TimeCase{"10:00", "10:00", "10:00", "10:00", "0"},
                                           TimeCase{"9:30", "09:30", "09:30", "09:30", "0"},
                                           TimeCase{"10:00", "10:01", "10:00", "10:01", "1"}));

// A slot that cannot exist in a day stops the run, naming the slot and the value.
struct BadSlotCase {
    std::string start;
    std::string end;
    std::string order;
    ErrorKind kind;
    std::string field;    // the dato at fault
    std::string reported; // the value the error names
};

void PrintTo(const BadSlotCase& c, std::ostream* os) {
    *os << c.start << " to " << c.end << " order " << c.order;
}

class JornadasBadSlots : public ::testing::TestWithParam<BadSlotCase> {};

TEST_P(JornadasBadSlots, StopTheRunNamingSlotAndValue) {
    const BadSlotCase& c = GetParam();
    JornadasBuilder builder("");
    const std::string xml = sauceXml(
        {{"JORNADAS", frameRecords({"M1"})},
         {"INTERVALOS", {slot("T1", "1", "M1"), slot("T2", c.order, "M1", c.start, c.end)}}});
    EXPECT_TRUE(failsWith([&] { builder.build(xml); }, c.kind,
                          {.section = "INTERVALOS",
                           .record = 2,
                           .field = c.field,
                           .item = "T2 (Hora T2)",
                           .value = c.reported}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JornadasBadSlots,
    ::testing::Values(BadSlotCase{"", "09:00", "2", ErrorKind::BadTime, "INICIO", ""},
                      BadSlotCase{"08:00", "", "2", ErrorKind::BadTime, "FIN", ""},
                      BadSlotCase{"8h", "09:00", "2", ErrorKind::BadTime, "INICIO", "8h"},
                      BadSlotCase{"08:00:00", "09:00:00", "2", ErrorKind::BadTime, "INICIO",
                                  "08:00:00"},
                      BadSlotCase{"08:00", "9 :30", "2", ErrorKind::BadTime, "FIN", "9 :30"},
                      BadSlotCase{"08:+5", "09:00", "2", ErrorKind::BadTime, "INICIO", "08:+5"},
                      BadSlotCase{"8:0", "09:00", "2", ErrorKind::BadTime, "INICIO", "8:0"},
                      BadSlotCase{"25:99", "26:00", "2", ErrorKind::BadTime, "INICIO", "25:99"},
                      BadSlotCase{"08:00", "08:60", "2", ErrorKind::BadTime, "FIN", "08:60"},
                      BadSlotCase{"13:30", "12:30", "2", ErrorKind::EndBeforeStart, "", "13:30"},
                      BadSlotCase{"23:59", "0:00", "2", ErrorKind::EndBeforeStart, "", "23:59"},
                      BadSlotCase{"10:00", "9:59", "2", ErrorKind::EndBeforeStart, "", "10:00"},
                      BadSlotCase{"08:00", "08:55", "B", ErrorKind::BadOrder, "ORDEN", "B"},
                      BadSlotCase{"08:00", "08:55", "-1", ErrorKind::BadOrder, "ORDEN", "-1"},
                      BadSlotCase{"08:00", "08:55", "", ErrorKind::BadOrder, "ORDEN", ""}));

// The sentence a person reads puts the end first: "termina (12:30) antes de empezar (13:30)".
TEST(JornadasSlotMessage, AnEndBeforeTheStartNamesTheEndThenTheStart) {
    JornadasBuilder builder("");
    const auto error = errorFrom([&] {
        builder.build(sauceXml({{"JORNADAS", frameRecords({"M1"})},
                                {"INTERVALOS", {slot("T1", "1", "M1", "13:30", "12:30")}}}));
    });
    ASSERT_TRUE(isError(error, ErrorKind::EndBeforeStart));
    EXPECT_NE(messages::describe(*error).find("termina (12:30) antes de empezar (13:30)"),
              std::string::npos)
        << messages::describe(*error);
}

struct MissingFrameCase {
    std::string name;
    std::string xml;
};

void PrintTo(const MissingFrameCase& c, std::ostream* os) {
    *os << c.name;
}

class JornadasWithoutFrame : public ::testing::TestWithParam<MissingFrameCase> {};

TEST_P(JornadasWithoutFrame, StopTheRunSayingSo) {
    JornadasBuilder builder("");
    EXPECT_TRUE(failsWith([&] { builder.build(GetParam().xml); }, ErrorKind::NoTimeFrame,
                          {.file = builder.documentPath}));
    EXPECT_TRUE(builder.chooser.askedFor.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JornadasWithoutFrame,
    ::testing::Values(MissingFrameCase{"NoSection",
                                       sauceXml({{"INTERVALOS", {slot("T", "1", "M1")}}})},
                      MissingFrameCase{"EmptySection", sauceXml({{"JORNADAS", {}}})}),
    [](const auto& info) { return info.param.name; });

TEST(Jornadas, ASingleFrameRecordWithoutKeyOrValuesStillGivesItsSlots) {
    for (const std::vector<SauceRecordValues>& frames :
         {std::vector<SauceRecordValues>{{}}, std::vector<SauceRecordValues>{{"   ", "Mañana"}}}) {
        JornadasBuilder builder("");
        const auto rows =
            builder.build(sauceXml({{"JORNADAS", frames}, {"INTERVALOS", {slot("T", "3", "")}}}));
        ASSERT_EQ(rows.size(), 7u);
        EXPECT_EQ(rows.front().at("DIHO"), "11");
        EXPECT_EQ(rows.front().at("MARCO"), "0");
        EXPECT_TRUE(builder.chooser.askedFor.empty());
    }
}

TEST(Jornadas, AsksForTheFramesOfTheRunsDocument) {
    JornadasBuilder builder("B         ");
    builder.build(sauceXml({{"JORNADAS", frameRecords({"A", "B"})}}));
    ASSERT_EQ(builder.chooser.askedFor.size(), 1u);
    EXPECT_EQ(builder.chooser.askedFor.front(), builder.documentPath);
}

} // namespace
} // namespace velmora
