#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"

#include <gtest/gtest.h>

#include <functional>

namespace velmora::testing {
namespace {

// One teacher with one lesson that every look-up table knows.
ExchangeRecords lessonFoundEverywhere() {
    return {
        {"PROFT", {{{"ABREV", "T1"}, {"X_EMPLEADO", "E1"}, {"F_TOMAPOS", "F1"}}}},
        {"SOLUC",
         {{{"PROF", "T1"},
           {"ASIG", "MAT"},
           {"CODGRUPO", "1A"},
           {"AULA", "A1"},
           {"TAREA", "T5"},
           {"DIA", "2"},
           {"HORA", "3"},
           {"MARCO", "1"}}}},
        {"ASIGT", {{{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"CLAVE", "K-MAT-1A"}}}},
        {"ASIGNOMT", {{{"COD", "T5"}, {"CODTAREA", "281"}}}},
        {"GRUPOST", {{{"ABREV", "1A"}, {"CLAVE", "G-1A"}, {"CLAVECURSO", "C-1ESO"}}}},
        {"ASIGNOMT2",
         {{{"COD", "MAT"}, {"CLAVECURSO", "C-1ESO"}, {"ALECTIVA", "S"}, {"MATERIA", "M-1ESO"}}}},
        {"DIASHORAST", {{{"DIHO", "23"}, {"MARCO", "1"}, {"DIA", "2"}, {"CODDIHO", "S-MA-3"}}}},
        {"AULAT", {{{"ABREV", "A1"}, {"DEPCENTRO", "D-CIEN"}}}},
    };
}

Record& theLesson(ExchangeRecords& tables) {
    return tables["SOLUC"].front();
}

Record courseSubject(const std::string& cod, const std::string& curso, const std::string& alectiva,
                     const std::string& materia) {
    return {{"COD", cod}, {"CLAVECURSO", curso}, {"ALECTIVA", alectiva}, {"MATERIA", materia}};
}

Record slot(const std::string& diho, const std::string& marco, const std::string& dia,
            const std::string& coddiho) {
    return {{"DIHO", diho}, {"MARCO", marco}, {"DIA", dia}, {"CODDIHO", coddiho}};
}

struct LookupCase {
    std::string name;
    std::function<void(ExchangeRecords&)> change;
    // X_ACTIVIDAD, N_DIASEMANA, X_TRAMO, X_DEPCENTRO, X_MATERIAOMC, X_UNIDAD
    std::vector<std::string> expected;
};

const LookupCase lookupCases[] = {
    {"AllFoundAndAssignmentKeyWins",
     [](ExchangeRecords&) {},
     {"281", "2", "S-MA-3", "D-CIEN", "K-MAT-1A", "G-1A"}},

    // 1. ASIGT by subject and group
    {"AssignmentFirstMatchOfBothKeys",
     [](ExchangeRecords& t) {
         t["ASIGT"] = {{{"CASIG", "MAT"}, {"CGRUP", "1B"}, {"CLAVE", "K-1B"}},
                       {{"CASIG", "LEN"}, {"CGRUP", "1A"}, {"CLAVE", "K-LEN"}},
                       {{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"CLAVE", "K-FIRST"}},
                       {{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"CLAVE", "K-SECOND"}}};
     },
     {"281", "2", "S-MA-3", "D-CIEN", "K-FIRST", "G-1A"}},
    {"AssignmentMissingFallsBackToCourseSubject",
     [](ExchangeRecords& t) { t["ASIGT"] = {}; },
     {"281", "2", "S-MA-3", "D-CIEN", "M-1ESO", "G-1A"}},
    {"AssignmentBlankKeyFallsBackToCourseSubject",
     [](ExchangeRecords& t) { t["ASIGT"].front()["CLAVE"] = "\x01"; },
     {"281", "2", "S-MA-3", "D-CIEN", "M-1ESO", "G-1A"}},
    {"AssignmentKeyIsCaseSensitive",
     [](ExchangeRecords& t) { t["ASIGT"].front()["CASIG"] = "mat"; },
     {"281", "2", "S-MA-3", "D-CIEN", "M-1ESO", "G-1A"}},

    // 4. ASIGNOMT2 by subject and the group's course, only without a subject key
    {"CourseSubjectFirstMatchDecidesEvenWithoutMark",
     [](ExchangeRecords& t) {
         t["ASIGT"] = {};
         t["ASIGNOMT2"] = {courseSubject("MAT", "C-2ESO", "S", "M-2ESO"),
                           courseSubject("LEN", "C-1ESO", "S", "M-LEN"),
                           courseSubject("MAT", "C-1ESO", "", "M-NOMARK"),
                           courseSubject("MAT", "C-1ESO", "S", "M-LATER")};
     },
     {"281", "2", "S-MA-3", "D-CIEN", "", "G-1A"}},
    {"CourseSubjectControlCharacterMarkIsBlank",
     [](ExchangeRecords& t) {
         t["ASIGT"] = {};
         t["ASIGNOMT2"] = {courseSubject("MAT", "C-1ESO", "\t", "M-1ESO")};
     },
     {"281", "2", "S-MA-3", "D-CIEN", "", "G-1A"}},
    {"CourseSubjectMissingLeavesAssignmentKey",
     [](ExchangeRecords& t) {
         t["ASIGT"] = {{{"CASIG", "MAT"}, {"CGRUP", "1A"}}};
         t["ASIGNOMT2"] = {courseSubject("MAT", "C-2ESO", "S", "M-2ESO")};
     },
     {"281", "2", "S-MA-3", "D-CIEN", "", "G-1A"}},
    {"UnknownGroupMatchesCourseSubjectWithoutCourse",
     [](ExchangeRecords& t) {
         t["ASIGT"] = {};
         t["GRUPOST"] = {};
         t["ASIGNOMT2"] = {courseSubject("MAT", "C-1ESO", "S", "M-1ESO"),
                           courseSubject("MAT", "", "S", "M-NOCURS")};
     },
     {"281", "2", "S-MA-3", "D-CIEN", "M-NOCURS", ""}},

    // 2. ASIGNOMT by task code
    {"TaskUnknownKeepsItsCode",
     [](ExchangeRecords& t) { t["ASIGNOMT"] = {}; },
     {"T5", "2", "S-MA-3", "D-CIEN", "K-MAT-1A", "G-1A"}},
    {"TaskCodeIsCaseSensitive",
     [](ExchangeRecords& t) {
         t["ASIGNOMT"] = {{{"COD", "t5"}, {"CODTAREA", "999"}}};
     },
     {"T5", "2", "S-MA-3", "D-CIEN", "K-MAT-1A", "G-1A"}},
    {"TaskFirstMatchWins",
     [](ExchangeRecords& t) {
         t["ASIGNOMT"] = {{{"COD", "T5"}, {"CODTAREA", "156"}},
                          {{"COD", "T5"}, {"CODTAREA", "286"}}};
     },
     {"156", "2", "S-MA-3", "D-CIEN", "K-MAT-1A", "G-1A"}},

    // 3. GRUPOST by group code
    {"GroupUnknownGivesEmptyUnit",
     [](ExchangeRecords& t) { t["GRUPOST"] = {}; },
     {"281", "2", "S-MA-3", "D-CIEN", "K-MAT-1A", ""}},
    {"GroupFirstMatchWins",
     [](ExchangeRecords& t) {
         t["GRUPOST"].push_back({{"ABREV", "1A"}, {"CLAVE", "G-LATER"}, {"CLAVECURSO", "C-X"}});
     },
     {"281", "2", "S-MA-3", "D-CIEN", "K-MAT-1A", "G-1A"}},

    // 5. DIASHORAST by day and hour, and time frame
    {"SlotOfOtherFrameNotTaken",
     [](ExchangeRecords& t) { t["DIASHORAST"] = {slot("23", "2", "2", "S-OTHER")}; },
     {"281", "", "", "D-CIEN", "K-MAT-1A", "G-1A"}},
    {"SlotFirstMatchWins",
     [](ExchangeRecords& t) {
         t["DIASHORAST"] = {slot("32", "1", "3", "S-MI-2"), slot("23", "1", "2", "S-FIRST"),
                            slot("23", "1", "9", "S-SECOND")};
     },
     {"281", "2", "S-FIRST", "D-CIEN", "K-MAT-1A", "G-1A"}},
    {"SlotWithEmptyFrame",
     [](ExchangeRecords& t) {
         theLesson(t).erase("MARCO");
         t["DIASHORAST"] = {slot("23", "1", "2", "S-FRAME1"), slot("23", "", "2", "S-NOFRAME")};
     },
     {"281", "2", "S-NOFRAME", "D-CIEN", "K-MAT-1A", "G-1A"}},
    {"SlotHourRoundsHalfToEven",
     [](ExchangeRecords& t) {
         theLesson(t)["HORA"] = "2.5";
         t["DIASHORAST"] = {slot("23", "1", "2", "S-MA-3"), slot("22", "1", "2", "S-MA-2")};
     },
     {"281", "2", "S-MA-2", "D-CIEN", "K-MAT-1A", "G-1A"}},
    {"SlotHourRoundsToNearest",
     [](ExchangeRecords& t) {
         theLesson(t)["HORA"] = "3.5";
         t["DIASHORAST"] = {slot("23", "1", "2", "S-MA-3"), slot("24", "1", "2", "S-MA-4")};
     },
     {"281", "2", "S-MA-4", "D-CIEN", "K-MAT-1A", "G-1A"}},
    {"SlotOfTwoDigitHour",
     [](ExchangeRecords& t) {
         theLesson(t)["DIA"] = "1";
         theLesson(t)["HORA"] = "12";
         t["DIASHORAST"] = {slot("1", "1", "9", "S-WRONG"), slot("112", "1", "1", "S-LU-12")};
     },
     {"281", "1", "S-LU-12", "D-CIEN", "K-MAT-1A", "G-1A"}},

    // 6. AULAT by room code
    {"RoomUnknownGivesEmptyDepartment",
     [](ExchangeRecords& t) { t["AULAT"] = {}; },
     {"281", "2", "S-MA-3", "", "K-MAT-1A", "G-1A"}},
    {"RoomFirstMatchWins",
     [](ExchangeRecords& t) {
         t["AULAT"] = {{{"ABREV", "B2"}, {"DEPCENTRO", "D-OTHER"}},
                       {{"ABREV", "A1"}, {"DEPCENTRO", "D-FIRST"}},
                       {{"ABREV", "A1"}, {"DEPCENTRO", "D-SECOND"}}};
     },
     {"281", "2", "S-MA-3", "D-FIRST", "K-MAT-1A", "G-1A"}},
    {"RoomCodeIsCaseSensitive",
     [](ExchangeRecords& t) { theLesson(t)["AULA"] = "a1"; },
     {"281", "2", "S-MA-3", "", "K-MAT-1A", "G-1A"}},
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.name;
}

class LessonLookupsTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LessonLookupsTest, LessonCarriesTheLookedUpCodes) {
    const LookupCase& c = GetParam();
    RunFolders folders;
    ExchangeRecords tables = lessonFoundEverywhere();
    c.change(tables);
    writeExchange(folders.exchange, tables);

    const auto outline = salidasOutline(ResultsRun(folders.document, folders.exchange).run());

    ASSERT_EQ(outline.size(), 4u);
    EXPECT_EQ(outline[2], "EMP_1: X_EMPLEADO=E1, F_TOMAPOS=F1, [TRAMO_1]");
    EXPECT_EQ(outline[3], lessonLine("EMP_1/TRAMO_1", c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, LessonLookupsTest, ::testing::ValuesIn(lookupCases),
                         [](const auto& info) { return info.param.name; });

// Horadia may write a wider MARCO than it declares; only its first character names the frame.
TEST(LessonLookups, FrameIsTheFirstCharacterOfMarco) {
    RunFolders folders;
    ExchangeRecords tables = lessonFoundEverywhere();
    theLesson(tables)["MARCO"] = "21";
    tables["DIASHORAST"] = {slot("23", "1", "2", "S-FRAME1"), slot("23", "2", "2", "S-FRAME2")};
    writeExchange(folders.exchange, tables);
    FixtureLayout widerMarco = withoutField(tables::SOLUC::layout, "MARCO");
    widerMarco.fields.push_back({"MARCO", FieldType::Text, 10});
    writeTable(folders.exchange, widerMarco, tables["SOLUC"]);

    const auto outline = salidasOutline(ResultsRun(folders.document, folders.exchange).run());

    ASSERT_EQ(outline.size(), 4u);
    EXPECT_EQ(outline[3],
              lessonLine("EMP_1/TRAMO_1", {"281", "2", "S-FRAME2", "D-CIEN", "K-MAT-1A", "G-1A"}));
}

// A lesson that finds no slot must not keep the slot of the lesson before it.
TEST(LessonLookups, EachLessonLooksUpAfresh) {
    RunFolders folders;
    ExchangeRecords tables = lessonFoundEverywhere();
    Record unknown = theLesson(tables);
    unknown["HORA"] = "4";
    unknown["AULA"] = "B9";
    unknown["CODGRUPO"] = "9Z";
    tables["SOLUC"].push_back(unknown);
    writeExchange(folders.exchange, tables);

    const auto outline = salidasOutline(ResultsRun(folders.document, folders.exchange).run());

    ASSERT_EQ(outline.size(), 5u);
    EXPECT_EQ(outline[3],
              lessonLine("EMP_1/TRAMO_1", {"281", "2", "S-MA-3", "D-CIEN", "K-MAT-1A", "G-1A"}));
    EXPECT_EQ(outline[4], lessonLine("EMP_1/TRAMO_2", {"281", "", "", "", "", ""}));
}

} // namespace
} // namespace velmora::testing
