#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

using ::testing::HasSubstr;

// A document folder with a service document, and an exchange folder whose tables hold one
// teacher.
class ResultsCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(sauce);
        std::filesystem::create_directory(exchange);
        writeFile(document, sauceXml({{"PROFESORES", {{"E1", "F1", "Ana", "ANA"}}}}));
        for (const TableLayout& layout : convertedTables()) {
            writeTable(exchange, layout, {});
        }
        writeTable(exchange, tables::SOLUC::layout, {});
        writeTable(exchange, tables::PROFT::layout, {{{"ABREV", "ANA"}, {"X_EMPLEADO", "E1"}}});
    }

    TempDir temp;
    std::filesystem::path sauce = temp / "sauce";
    std::filesystem::path exchange = temp / "HTEMP";
    std::filesystem::path document = sauce / "export.xml";
    std::filesystem::path result = sauce / "ResultadoHoradiaexport.xml";
};

TEST_F(ResultsCommand, PrintsTheResultPath) {
    const CliOutcome outcome =
        runCli(temp, {"results", pathToUtf8(document), "--exchange", pathToUtf8(exchange)});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, pathToUtf8(result) + "\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_THAT(readFile(result), HasSubstr("<salida dato=\"X_EMPLEADO\">E1</salida>"));
}

TEST_F(ResultsCommand, DefaultExchangeFolder) {
    const CliOutcome outcome = runCli(temp, {"results", pathToUtf8(document)},
                                      {{"VELMORA_EXCHANGE_DIR", pathToUtf8(exchange)}});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, pathToUtf8(result) + "\n");
}

TEST_F(ResultsCommand, MissingDocument) {
    for (const auto& missing : {sauce / "otro.xml", sauce}) {
        const CliOutcome outcome =
            runCli(temp, {"results", pathToUtf8(missing), "--exchange", pathToUtf8(exchange)});
        EXPECT_EQ(outcome.status, 1) << missing;
        EXPECT_EQ(outcome.err, "No existe archivo\n");
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(result));
}

TEST_F(ResultsCommand, HeldTableReportedWithStatusOne) {
    ForeignLock held(exchange / "AULAT.DBF");
    const CliOutcome outcome =
        runCli(temp, {"results", pathToUtf8(document), "--exchange", pathToUtf8(exchange)});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, HasSubstr("AULAT"));
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(std::filesystem::exists(result));
}

TEST_F(ResultsCommand, UsageErrorsGiveStatusTwo) {
    EXPECT_EQ(runCli(temp, {"results"}).status, 2);
    EXPECT_EQ(runCli(temp, {"results", pathToUtf8(document), "--exchange"}).status, 2);
    EXPECT_EQ(runCli(temp, {"results", pathToUtf8(document), "extra"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(result));
}

} // namespace
} // namespace velmora::testing
