#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using Json = nlohmann::json;

// The first conversion; nothing in it for the school to hear of.
const std::string kBefore =
    smallSchoolXml({{"E1", "Ana Pérez", "PEREZ"}, {"E5", "Juan Gil", "GIL"}},
                   {{"A1", "Aula 1", "AULA1"}, {"A2", "Aula 2", "AULA2"}});

// The next: a teacher of the same surname comes first and takes Ana Pérez's code, a room is
// gone and another has lost its name and code.
const std::string kAfter = smallSchoolXml(
    {{"E0", "Luis Pérez", "PEREZ"}, {"E1", "Ana Pérez", "PEREZ"}, {"E5", "Juan Gil", "GIL"}},
    {{"A2", "Aula 2", "AULA2"}, {"A9"}});

class ConvertReport : public ::testing::Test {
protected:
    CliOutcome convert(const std::string& xml, std::vector<std::string> more = {}) {
        writeFile(document, xml);
        std::vector<std::string> arguments{"convert", pathToUtf8(document), "--exchange",
                                           pathToUtf8(exchange.path())};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return runCli(home, arguments);
    }

    TempDir home;
    TempDir exchange;
    std::filesystem::path document = home / "horario-año.xml";
    std::filesystem::path report = home / "avisos.json";
};

TEST_F(ConvertReport, TheSummaryCountsEachKindAndWhatEachReplacedTableGainedAndLost) {
    const CliOutcome first = convert(kBefore);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_THAT(first.out, Not(HasSubstr("Avisos:")));

    const CliOutcome second = convert(kAfter);
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_THAT(second.out, HasSubstr("\n  PROFT       3 registros: 1 nuevo y 0 quitados\n"));
    EXPECT_THAT(second.out, HasSubstr("\n  AULAT       1 registro: 0 nuevos y 1 quitado\n"));
    EXPECT_THAT(second.out, HasSubstr("\n  GRUPOST     1 registro\n")) << "unchanged: no counts";
    EXPECT_THAT(second.out,
                EndsWith("  DIASHORAST  7 registros\n"
                         "Avisos:\n"
                         "  1 código numerado para que no se repita\n"
                         "  1 registro del documento sin usar\n"
                         "  1 registro nuevo desde la transformación anterior\n"
                         "  1 registro quitado desde la transformación anterior\n"
                         "  1 código que ahora nombra a otro profesor, aula, grupo o materia\n"
                         "Cada aviso, con dónde y qué: la misma orden con --report ARCHIVO.\n"));
    EXPECT_EQ(second.err, "");
}

TEST_F(ConvertReport, TheReportHoldsTheTablesTheirChangesAndEveryNoteWithItsDetails) {
    const CliOutcome first = convert(kBefore, {"--report", pathToUtf8(report)});
    ASSERT_EQ(first.status, 0) << first.err;
    const Json firstReport = Json::parse(readFile(report));
    EXPECT_EQ(firstReport.at("changes"), Json::object()) << "the folder held no tables";
    EXPECT_EQ(firstReport.at("notes"), Json::array());

    const CliOutcome second = convert(kAfter, {"--report", pathToUtf8(report)});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_THAT(second.out, Not(HasSubstr("--report ARCHIVO"))) << "the notes are in the file";

    const Json json = Json::parse(readFile(report));
    EXPECT_EQ(json.at("run"), "convert");
    EXPECT_EQ(json.at("document"), pathToUtf8(document));
    const Json& tables = json.at("tables");
    ASSERT_TRUE(tables.is_object());
    EXPECT_EQ(tables.size(), 8u);
    EXPECT_EQ(tables.at("PROFT"), 3);
    EXPECT_EQ(tables.at("AULAT"), 1);
    EXPECT_EQ(tables.at("DIASHORAST"), 7);
    const Json& changes = json.at("changes");
    EXPECT_EQ(changes.size(), 8u);
    EXPECT_EQ(changes.at("PROFT"), Json({{"added", 1}, {"removed", 0}}));
    EXPECT_EQ(changes.at("AULAT"), Json({{"added", 0}, {"removed", 1}}));
    EXPECT_EQ(changes.at("CURSOST"), Json({{"added", 0}, {"removed", 0}}));
    EXPECT_EQ(json.at("notes"), Json::parse(R"json([
        {"kind": "code-numbered", "table": "PROFT", "record": 2, "field": "ABREV",
         "value": "PEREZ", "code": "PEREZ1"},
        {"kind": "record-skipped", "section": "AULAS", "record": 2, "reason": "few-values"},
        {"kind": "row-added", "table": "PROFT", "value": "E0 (Luis Pérez)"},
        {"kind": "code-moved", "table": "PROFT", "code": "PEREZ", "before": "E1 (Ana Pérez)",
         "after": "E0 (Luis Pérez)"},
        {"kind": "row-removed", "table": "AULAT", "value": "A1 (Aula 1)"}
    ])json"))
        << json.at("notes").dump(2);
}

// A results run over one teacher's tables: a placed lesson, one Horadia left unplaced, one
// for a teacher the tables do not have and one in a room they do not have.
class ResultsReport : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(sauce);
        std::filesystem::create_directory(exchange);
        writeFile(document, sauceXml({{"PROFESORES", {{"E1", "F1", "Ana", "ANA"}}}}));
        for (const TableLayout& layout : convertedTables()) {
            writeTable(exchange, layout, {});
        }
        writeTable(exchange, tables::PROFT::layout, {{{"ABREV", "ANA"}, {"X_EMPLEADO", "E1"}}});
        writeTable(exchange, tables::AULAT::layout, {{{"ABREV", "A1"}, {"DEPCENTRO", "8001"}}});
        writeTable(exchange, tables::DIASHORAST::layout,
                   {{{"DIHO", "11"}, {"MARCO", "0"}, {"DIA", "1"}, {"CODDIHO", "101"}}});
        writeTable(
            exchange, tables::SOLUC::layout,
            {{{"PROF", "ANA"}, {"AULA", "A1"}, {"DIA", "1"}, {"HORA", "1"}, {"MARCO", "0"}},
             {{"PROF", "ANA"}, {"DIA", "0"}},
             {{"PROF", "ZZZ"}, {"DIA", "1"}, {"HORA", "1"}, {"MARCO", "0"}},
             {{"PROF", "ANA"}, {"AULA", "Z9"}, {"DIA", "1"}, {"HORA", "1"}, {"MARCO", "0"}}});
    }

    CliOutcome results(std::vector<std::string> more = {}) {
        std::vector<std::string> arguments{"results", pathToUtf8(document), "--exchange",
                                           pathToUtf8(exchange)};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return runCli(temp, arguments);
    }

    TempDir temp;
    std::filesystem::path sauce = temp / "sauce";
    std::filesystem::path exchange = temp / "HTEMP";
    std::filesystem::path document = sauce / "export.xml";
    std::filesystem::path result = sauce / "ResultadoHoradiaexport.xml";
    std::filesystem::path report = temp / "avisos.json";
};

TEST_F(ResultsReport, TheSummaryCountsEachKind) {
    const CliOutcome outcome = results();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out,
              pathToUtf8(result) +
                  "\n"
                  "Avisos:\n"
                  "  1 clase sin colocar en el horario\n"
                  "  2 códigos de SOLUC que las tablas no conocen\n"
                  "Cada aviso, con dónde y qué: la misma orden con --report ARCHIVO.\n");
}

TEST_F(ResultsReport, TheReportHoldsTheResultTheLessonsAndEveryNote) {
    const CliOutcome outcome = results({"--report", pathToUtf8(report)});
    ASSERT_EQ(outcome.status, 0) << outcome.err;

    const Json json = Json::parse(readFile(report));
    EXPECT_EQ(json.at("run"), "results");
    EXPECT_EQ(json.at("document"), pathToUtf8(document));
    EXPECT_EQ(json.at("result"), pathToUtf8(result));
    EXPECT_EQ(json.at("lessons"), 2) << "the placed lesson and the one in an unknown room";
    EXPECT_EQ(json.at("notes"), Json::parse(R"json([
        {"kind": "lesson-not-placed", "table": "SOLUC", "record": 2, "reason": "no-day"},
        {"kind": "code-not-found", "table": "SOLUC", "record": 3, "field": "PROF", "code": "ZZZ"},
        {"kind": "code-not-found", "table": "SOLUC", "record": 4, "field": "AULA", "code": "Z9"}
    ])json"))
        << json.at("notes").dump(2);
    EXPECT_FALSE(json.contains("tables"));
}

// A run that fails has nothing to report; an earlier report must not be taken for this run's.
struct FailingRun {
    std::string name;
    std::function<CliOutcome(const std::filesystem::path& report)> run;
};

class FailingRunReport : public ::testing::TestWithParam<FailingRun> {};

TEST_P(FailingRunReport, LeavesAnEarlierReportAsItWas) {
    TempDir temp;
    const auto report = temp / "avisos.json";
    writeFile(report, "{\"run\": \"earlier\"}\n");
    const CliOutcome outcome = GetParam().run(report);
    EXPECT_EQ(outcome.status, 1) << outcome.out;
    EXPECT_NE(outcome.err, "");
    EXPECT_EQ(readFile(report), "{\"run\": \"earlier\"}\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailingRunReport,
    ::testing::Values(
        // Its notes of the first builders are made when the last builder fails.
        FailingRun{"ConvertWithABadTime",
                   [](const std::filesystem::path& report) {
                       TempDir home;
                       std::string xml = smallSchoolXml({{"E1", "Ana Pérez", "PEREZ"}}, {{"A9"}});
                       xml.replace(xml.find("08:30"), 5, "8h");
                       writeFile(home / "sauce.xml", xml);
                       return runCli(home,
                                     {"convert", pathToUtf8(home / "sauce.xml"), "--exchange",
                                      pathToUtf8(home.path()), "--report", pathToUtf8(report)});
                   }},
        // Its notes are made when the result cannot be saved where a folder stands.
        FailingRun{
            "ResultsThatCannotBeSaved",
            [](const std::filesystem::path& report) {
                TempDir home;
                writeFile(home / "sauce.xml", smallSchoolXml({{"E1", "Ana", "ANA"}}, {}));
                std::filesystem::create_directory(home / "ResultadoHoradiasauce.xml");
                for (const TableLayout& layout : convertedTables()) {
                    writeTable(home.path(), layout, {});
                }
                writeTable(home.path(), tables::SOLUC::layout, {{{"PROF", "ANA"}, {"DIA", "0"}}});
                return runCli(home, {"results", pathToUtf8(home / "sauce.xml"), "--exchange",
                                     pathToUtf8(home.path()), "--report", pathToUtf8(report)});
            }}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace velmora::testing
