#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

CliOutcome runDump(const TempDir& temp, std::vector<std::string> arguments,
                   const Environment& environment = {}) {
    arguments.insert(arguments.begin(), "dump");
    return runCli(temp, arguments, environment);
}

class DumpCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(exchange);
        const FixtureLayout layout{"ASIGT",
                                   {{"CASIG", FieldType::Text, 12},
                                    {"HORAS", FieldType::Float, 0},
                                    {"ESTAREA", FieldType::Boolean, 0},
                                    {"DNI", FieldType::Integer, 0}}};
        const std::vector<std::string> names{"Matemáticas", "a,b", "say \"hi\"", "two\nlines",
                                             "  lead"};
        std::vector<Record> records;
        double hours = 1;
        for (const std::string& name : names) {
            records.push_back({{"CASIG", name},
                               {"HORAS", std::to_string(hours)},
                               {"ESTAREA", hours > 2 ? "T" : "F"}});
            hours += 0.5;
        }
        writeTable(exchange, layout, records);
    }

    TempDir temp;
    std::filesystem::path exchange = temp / "HTEMP";
};

TEST_F(DumpCommand, PrintsTheTableAsCsv) {
    const CliOutcome outcome = runDump(temp, {"ASIGT", "--exchange", pathToUtf8(exchange)});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "CASIG,HORAS,ESTAREA,DNI\n"
                           "Matemáticas,1,False,\n"
                           "\"a,b\",1.5,False,\n"
                           "\"say \"\"hi\"\"\",2,False,\n"
                           "\"two\nlines\",2.5,True,\n"
                           "  lead,3,True,\n");
    EXPECT_EQ(outcome.err, "");
}

TEST_F(DumpCommand, FindsTheTableWhateverTheCaseAndInTheDefaultFolder) {
    const CliOutcome outcome =
        runDump(temp, {"asigt"}, {{"VELMORA_EXCHANGE_DIR", pathToUtf8(exchange)}});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out.substr(0, outcome.out.find('\n')), "CASIG,HORAS,ESTAREA,DNI");
}

TEST_F(DumpCommand, AMissingTableExitsWithOneAndSaysWhy) {
    const CliOutcome outcome = runDump(temp, {"SOLUC", "--exchange", pathToUtf8(exchange)});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "No se encuentra la tabla SOLUC en la carpeta de intercambio \"" +
                               pathToUtf8(exchange) +
                               "\". Genere primero el horario en Horadia y vuelva a intentarlo.\n");
}

TEST_F(DumpCommand, ATableHeldByAnotherProgramExitsWithOne) {
    ForeignLock horadia(exchange / "ASIGT.DBF");
    const CliOutcome outcome = runDump(temp, {"ASIGT", "--exchange", pathToUtf8(exchange)});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("está abierta en otro programa"), std::string::npos) << outcome.err;
}

TEST_F(DumpCommand, WithoutATableExitsWithTwo) {
    const CliOutcome outcome = runDump(temp, {"--exchange", pathToUtf8(exchange)});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("Falta TABLA"), std::string::npos) << outcome.err;
}

} // namespace
} // namespace velmora::testing
