#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A school with the frames MANANA, TARDE and NOCHE, one slot each.
std::string threeFrameDocument() {
    std::vector<SauceRecordValues> slots;
    for (const auto& [code, start, end, frame] :
         std::vector<std::tuple<std::string, std::string, std::string, std::string>>{
             {"T1", "08:00", "08:55", "MANANA"},
             {"T2", "16:00", "16:55", "TARDE"},
             {"T3", "19:00", "19:55", "NOCHE"}}) {
        slots.push_back({"dato=CODIGO_SAUCE|" + code, "dato=NOMBRE|" + code, "dato=INICIO|" + start,
                         "dato=FIN|" + end, "dato=ORDEN|1", "dato=CLAVE_JORNADA|" + frame});
    }
    return sauceXml(
        {{"PROFESORES", {{"E1", "F1", "Ana", "ANA"}}},
         {"JORNADAS",
          {{"MANANA", "Mañana", "-"}, {"TARDE", "Tarde", "-"}, {"NOCHE", "Noche", "-"}}},
         {"INTERVALOS", slots}});
}

class ConvertCommand : public ::testing::Test {
protected:
    void SetUp() override { writeFile(document, threeFrameDocument()); }

    CliOutcome convert(std::vector<std::string> more) {
        std::vector<std::string> arguments{"convert", pathToUtf8(document), "--exchange",
                                           pathToUtf8(exchange.path())};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return runCli(home, arguments);
    }

    // MARCOXML to MARCO, for the rows whose frame got a number.
    std::map<std::string, std::string> frameNumbers() {
        std::map<std::string, std::string> numbers;
        for (const Row& row : readRows(exchange / "DIASHORAST.DBF")) {
            if (!row.at("MARCO").empty()) {
                numbers[row.at("MARCOXML")] = row.at("MARCO");
            }
        }
        return numbers;
    }

    TempDir home;
    TempDir exchange;
    std::filesystem::path document = home / "sauce.xml";
};

TEST_F(ConvertCommand, AppliesTheChosenFramesInTheDocumentsOrderAndSummarises) {
    const CliOutcome outcome = convert({"--frames", " NOCHE ,MANANA"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_THAT(outcome.out, HasSubstr("Tablas escritas en " + exchange.path().string() + ":\n"));
    EXPECT_THAT(outcome.out, HasSubstr("PROFT       1 registro\n"));
    EXPECT_THAT(outcome.out, HasSubstr("DIASHORAST  21 registros\n"));
    // MANANA stands first in the document's list and starts earlier: 0; NOCHE: 1.
    EXPECT_EQ(frameNumbers(),
              (std::map<std::string, std::string>{{"MANANA", "0"}, {"NOCHE", "1"}}));
}

// A conversion over tables already there leaves the new tables and nothing of its own: on
// Windows the old tables, held through the swap, could not be removed until they were let go.
TEST_F(ConvertCommand, OverOldTablesLeavesOnlyTheNewTables) {
    for (int run = 1; run <= 2; ++run) {
        const CliOutcome outcome = convert({"--frames", "MANANA"});
        ASSERT_EQ(outcome.status, 0) << run << outcome.err;
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(exchange.path())) {
        names.push_back(pathToUtf8(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    EXPECT_THAT(names, ElementsAre("ASIGNOMT.DBF", "ASIGNOMT2.DBF", "ASIGT.DBF", "AULAT.DBF",
                                   "CURSOST.DBF", "DIASHORAST.DBF", "GRUPOST.DBF", "PROFT.DBF"));
}

struct UsageCase {
    std::string name;
    std::vector<std::string> frames;
    std::string message;
};

class ConvertCommandUsage : public ConvertCommand,
                            public ::testing::WithParamInterface<UsageCase> {};

TEST_P(ConvertCommandUsage, RefusesTheChoiceListingTheFramesAndWritesNothing) {
    const CliOutcome outcome = convert(GetParam().frames);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_THAT(outcome.err, HasSubstr(GetParam().message));
    EXPECT_THAT(outcome.err, HasSubstr("MANANA, TARDE y NOCHE"));
    EXPECT_TRUE(std::filesystem::is_empty(exchange.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCommandUsage,
    ::testing::Values(UsageCase{"Missing", {}, "--frames"},
                      UsageCase{"Unknown", {"--frames", "TARDE,manana"}, "\"manana\""},
                      UsageCase{"Three", {"--frames", "MANANA,TARDE,NOCHE"}, "Como máximo"},
                      UsageCase{"ThreeUnknown", {"--frames", "A,B,C"}, "Como máximo"}),
    [](const auto& info) { return info.param.name; });

TEST_F(ConvertCommand, OneFrameNeedsNoChoiceAndIgnoresFrames) {
    writeFile(document, sauceXml({{"JORNADAS", {{"UNICA", "Única", "-"}}}}));
    const CliOutcome outcome = convert({"--frames", "NADA"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
}

TEST_F(ConvertCommand, AMissingDocumentAndAFailingRunExitWithOne) {
    const CliOutcome missing = runCli(home, {"convert", pathToUtf8(home / "nada.xml"), "--exchange",
                                             pathToUtf8(exchange.path())});
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.err, HasSubstr("No existe archivo"));

    writeFile(document, "<SERVICIO>");
    const CliOutcome broken = convert({"--frames", "MANANA"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_THAT(broken.err, HasSubstr(pathToUtf8(document)));
}

// Any other XML picked by mistake must not replace the tables with empty ones.
class NotAServiceDocument : public ConvertCommand,
                            public ::testing::WithParamInterface<std::string> {};

TEST_P(NotAServiceDocument, IsNamedAsSuchAndTheTablesStay) {
    writeFile(document, GetParam());
    writeFile(exchange / "PROFT.DBF", "old teachers");
    const CliOutcome outcome = convert({"--frames", "MANANA"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, HasSubstr("no es un documento de servicio de Sauce"));
    EXPECT_EQ(readFile(exchange / "PROFT.DBF"), "old teachers");
}

INSTANTIATE_TEST_SUITE_P(Cases, NotAServiceDocument,
                         ::testing::Values("<libro><SALIDAS/></libro>",
                                           "<SERVICIO><ENTRADAS/></SERVICIO>"));

// Readers believe a .cpg file beside a table over the table's own header. One that another
// program left beside an old table, saying UTF-8, must not make the new Windows-1252 tables read
// as "Pe?alver": it goes with the old table. SOLUC's is Horadia's and stays.
TEST(StaleCodePageFiles, GoWithTheOldTablesAndTheNewTablesReadBackRight) {
    TempDir home;
    const std::filesystem::path sauce = home / "sauce";
    const std::filesystem::path exchange = home / "HTEMP";
    const std::filesystem::path document = sauce / "export.xml";
    std::filesystem::create_directory(sauce);
    std::filesystem::create_directory(exchange);
    writeFile(document, smallSchoolXml({{"Ñ17", "Ana Peñalver", "PEÑA"}}, {{"A1", "Aula", "A1"}}));
    for (const TableLayout& layout : convertedTables()) {
        writeTable(exchange, layout, {});
    }
    for (const char* cpg : {"ASIGNOMT.cpg", "asignomt2.CPG", "Proft.Cpg", "AULAT.CPG",
                            "cursost.cpg", "GRUPOST.cpg", "ASIGT.cpg", "DIASHORAST.cpg"}) {
        writeFile(exchange / cpg, "UTF-8");
    }
    writeTable(exchange, tables::SOLUC::layout, {});
    writeFile(exchange / "SOLUC.cpg", "1252");
    const std::vector<std::string> inExchange{"--exchange", pathToUtf8(exchange)};
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), inExchange.begin(), inExchange.end());
        return runCli(home, arguments);
    };

    const CliOutcome converted = run({"convert", pathToUtf8(document)});
    ASSERT_EQ(converted.status, 0) << converted.err;

    std::vector<std::string> codePageFiles;
    for (const auto& entry : std::filesystem::directory_iterator(exchange)) {
        std::string extension = pathToUtf8(entry.path().extension());
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension == ".cpg") {
            codePageFiles.push_back(pathToUtf8(entry.path().filename()));
        }
    }
    EXPECT_THAT(codePageFiles, ElementsAre("SOLUC.cpg"));
    EXPECT_EQ(readFile(exchange / "SOLUC.cpg"), "1252");

    const CliOutcome dump = run({"dump", "PROFT"});
    EXPECT_EQ(dump.status, 0) << dump.err;
    EXPECT_THAT(dump.out, HasSubstr("\nPEÑA,Ana Peñalver,,,Ñ17,"));

    const CliOutcome results = run({"results", pathToUtf8(document)});
    ASSERT_EQ(results.status, 0) << results.err;
    EXPECT_THAT(readFile(sauce / "ResultadoHoradiaexport.xml"),
                HasSubstr("<salida dato=\"X_EMPLEADO\">Ñ17</salida>"));
}

} // namespace
} // namespace velmora::testing
