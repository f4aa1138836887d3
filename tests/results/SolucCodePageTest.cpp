// SOLUC written by a program that keeps its text in another code page: the lessons of a teacher
// whose code has an accent are found whatever the page, as long as the table says which.
#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"
#include "services/Error.h"
#include "services/dbf/TableFileBuilder.h"
#include "support/ErrorChecks.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

struct SolucPageCase {
    const char* name;
    std::uint8_t languageDriver;
    const char* cpg;  // nullptr: no .cpg file beside SOLUC
    std::string prof; // PEÑA in the table's code page
};

class SolucCodePage : public ::testing::TestWithParam<SolucPageCase> {};

TEST_P(SolucCodePage, FindsTheTeachersLessons) {
    const SolucPageCase& c = GetParam();
    RunFolders folders;
    writeExchange(folders.exchange,
                  {{"PROFT", {{{"ABREV", "PEÑA"}, {"X_EMPLEADO", "E1"}, {"F_TOMAPOS", "F1"}}}}});
    const std::string prof = c.prof + std::string(6 - c.prof.size(), ' ');
    std::string soluc = dbfFile(0x03,
                                {{"PROF", 'C', 6},
                                 {"TAREA", 'C', 3},
                                 {"DIA", 'N', 2},
                                 {"HORA", 'N', 2},
                                 {"MARCO", 'C', 1},
                                 {"ASIG", 'C', 1},
                                 {"CODGRUPO", 'C', 1},
                                 {"AULA", 'C', 1}},
                                {" " + prof + "T1  1 10   ", " " + prof + "T2  2 20   "});
    soluc[29] = static_cast<char>(c.languageDriver);
    writeFile(folders.exchange / "SOLUC.DBF", soluc);
    if (c.cpg != nullptr) {
        writeFile(folders.exchange / "SOLUC.CPG", c.cpg);
    }

    const auto outline = salidasOutline(ResultsRun(folders.document, folders.exchange).run());

    ASSERT_EQ(outline.size(), 5u);
    EXPECT_EQ(outline[2], "EMP_1: X_EMPLEADO=E1, F_TOMAPOS=F1, [TRAMO_1], [TRAMO_2]");
}

INSTANTIATE_TEST_SUITE_P(Cases, SolucCodePage,
                         ::testing::Values(SolucPageCase{"Windows1252", 0x03, nullptr,
                                                         "PE\xD1"
                                                         "A"},
                                           SolucPageCase{"NoMark", 0x00, nullptr,
                                                         "PE\xD1"
                                                         "A"},
                                           SolucPageCase{"Dos850", 0x02, nullptr,
                                                         "PE\xA5"
                                                         "A"},
                                           SolucPageCase{"Utf8ByItsCpgFile", 0x00, "UTF-8",
                                                         "PE\xC3\x91"
                                                         "A"},
                                           SolucPageCase{"CpgFileWinsOverTheMark", 0x03, "850",
                                                         "PE\xA5"
                                                         "A"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SolucCodePage, AnUnknownMarkStopsTheRunInsteadOfLosingLessons) {
    RunFolders folders;
    writeExchange(folders.exchange, {});
    std::string soluc = dbfFile(0x03, {{"PROF", 'C', 4}},
                                {" PE\xD1"
                                 "A"});
    soluc[29] = static_cast<char>(0xEE);
    writeFile(folders.exchange / "SOLUC.DBF", soluc);
    EXPECT_TRUE(failsWith(
        [&] { ResultsRun(folders.document, folders.exchange).run(); }, ErrorKind::UnknownCodePage,
        {.table = "SOLUC", .value = "0xEE", .reason = ErrorReason::LanguageDriver}));
    EXPECT_FALSE(std::filesystem::exists(folders.result));
}

} // namespace
} // namespace velmora::testing
