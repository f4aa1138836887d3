#include "formats/ExchangeTables.h"
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
        Table::create(exchange / "ASIGT.DBF", {{"CASIG", FieldType::Text, 12},
                                               {"HORAS", FieldType::Float, 0},
                                               {"ESTAREA", FieldType::Boolean, 0},
                                               {"DNI", FieldType::Integer, 0}});
        Table table = Table::open(exchange / "ASIGT.DBF", OpenMode::Shared);
        const std::vector<std::string> names{"Matemáticas", "a,b", "say \"hi\"", "two\nlines",
                                             "  lead"};
        double hours = 1;
        for (const std::string& name : names) {
            table.append();
            table.writeText("CASIG", name);
            table.writeFloat("HORAS", hours);
            table.writeBoolean("ESTAREA", hours > 2);
            table.post();
            hours += 0.5;
        }
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
    EXPECT_EQ(outcome.err, "The table SOLUC was not found in the exchange folder " +
                               pathToUtf8(exchange) +
                               ". Let Horadia work out the timetable first, then try again.\n");
}

TEST_F(DumpCommand, ATableHeldByAnotherProgramExitsWithOne) {
    ForeignLock horadia(exchange / "ASIGT.DBF");
    const CliOutcome outcome = runDump(temp, {"ASIGT", "--exchange", pathToUtf8(exchange)});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("is in use by another program"), std::string::npos) << outcome.err;
}

TEST_F(DumpCommand, WithoutATableExitsWithTwo) {
    const CliOutcome outcome = runDump(temp, {"--exchange", pathToUtf8(exchange)});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("TABLE"), std::string::npos) << outcome.err;
}

} // namespace
} // namespace velmora::testing
