// A conversion killed at any step of replacing the tables: the next command finds either the
// whole old set or the whole new set, and nothing of the killed run left behind.
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace velmora::testing {
namespace {

const std::vector<std::string> kTables{"ASIGNOMT", "ASIGNOMT2", "PROFT", "AULAT",
                                       "CURSOST",  "GRUPOST",   "ASIGT", "DIASHORAST"};

std::string school(const std::string& teacher) {
    return sauceXml({{"PROFESORES", {{"E1", "01/09/2020", teacher, teacher}}},
                     {"AULAS", {{"A1", "Aula", "A1"}}},
                     {"JORNADAS", {{"M1", "Mañana", "-"}}},
                     {"INTERVALOS",
                      {{"dato=CODIGO_SAUCE|T1", "dato=NOMBRE|Primera", "dato=INICIO|08:00",
                        "dato=FIN|08:55", "dato=ORDEN|1", "dato=CLAVE_JORNADA|M1"}}}});
}

// Every file of the folder with its bytes.
std::map<std::string, std::string> contents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[entry.path().filename().string()] =
            entry.is_regular_file() ? readFile(entry.path()) : "(folder)";
    }
    return files;
}

class CrashSafety : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(oldDocument, school("ANTIGUO"));
        writeFile(newDocument, school("NUEVO"));
        // The tables as a first conversion leaves them, one under a lower-case name and one
        // with an index, as Horadia may leave them.
        std::filesystem::create_directory(oldSet);
        ASSERT_EQ(convert(oldDocument, oldSet).status, 0);
        std::filesystem::rename(oldSet / "PROFT.DBF", oldSet / "proft.dbf");
        writeFile(oldSet / "ASIGNOMT.MDX", "index");
        std::filesystem::create_directory(newSet);
        ASSERT_EQ(convert(newDocument, newSet).status, 0);
        ASSERT_NE(contents(oldSet), contents(newSet));
    }

    CliOutcome convert(const std::filesystem::path& document, const std::filesystem::path& folder) {
        return runCli(temp, {"convert", document.string(), "--exchange", folder.string()});
    }

    // The conversion, ended at once after a step of its replacement of the tables.
    CliOutcome convertKilledAfter(int step, const std::filesystem::path& document,
                                  const std::filesystem::path& folder) {
        return runStoppingCli(temp.path(),
                              {"convert", document.string(), "--exchange", folder.string()},
                              {{"VELMORA_STOP_AFTER_STEP", std::to_string(step)}});
    }

    TempDir temp;
    std::filesystem::path oldDocument = temp / "antiguo.xml";
    std::filesystem::path newDocument = temp / "nuevo.xml";
    std::filesystem::path oldSet = temp / "old";
    std::filesystem::path newSet = temp / "new";
};

TEST_F(CrashSafety, AConversionKilledAtAnyStepLeavesTheOldSetOrTheNewOne) {
    // The journal, 8 new files into the swap folder, the mark that it is ready, 9 old files
    // out, 8 new ones in, the replacement made final, the swap folder and the journal removed.
    const int steps = 1 + 8 + 1 + 9 + 8 + 1 + 1;
    int sawOld = 0;
    int sawNew = 0;
    for (int step = 1; step <= steps; ++step) {
        SCOPED_TRACE("killed after step " + std::to_string(step));
        const auto exchange = temp / ("exchange" + std::to_string(step));
        std::filesystem::copy(oldSet, exchange);

        const CliOutcome killed = convertKilledAfter(step, newDocument, exchange);
        ASSERT_EQ(killed.status, 86) << killed.err;

        // Any command that touches the folder first puts it back together.
        const CliOutcome dump = runCli(temp, {"dump", "AULAT", "--exchange", exchange.string()});
        EXPECT_EQ(dump.status, 0) << dump.err;
        const auto after = contents(exchange);
        if (after == contents(oldSet)) {
            ++sawOld;
        } else {
            EXPECT_EQ(after, contents(newSet));
            ++sawNew;
        }
    }
    // Until the last new table is in place the replacement is undone; after, it is finished.
    EXPECT_EQ(sawOld, 1 + 8 + 1 + 9 + 7);
    EXPECT_EQ(sawNew, 3);
}

TEST_F(CrashSafety, AKilledConversionIsPutRightByTheNextConversion) {
    const auto exchange = temp / "exchange";
    std::filesystem::copy(oldSet, exchange);
    ASSERT_EQ(convertKilledAfter(21, newDocument, exchange).status, 86);
    EXPECT_EQ(convert(oldDocument, exchange).status, 0);
    auto expected = contents(oldSet);
    expected.erase("ASIGNOMT.MDX");
    // A rename that only changes case may keep the old name where names ignore case (Wine).
    auto teachers = expected.extract(expected.contains("proft.dbf") ? "proft.dbf" : "PROFT.DBF");
    ASSERT_FALSE(teachers.empty());
    teachers.key() = "PROFT.DBF";
    expected.insert(std::move(teachers));
    EXPECT_EQ(contents(exchange), expected);
}

} // namespace
} // namespace velmora::testing
