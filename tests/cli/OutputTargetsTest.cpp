// Where a run is to write its report or its result is checked before the run changes anything:
// a run that cannot write everything it was asked to write changes nothing at all, and never
// replaces a folder, a device, a pipe or a link with a file of its own.
#include "support/ExchangeSets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace velmora::testing {
namespace {

using ::testing::HasSubstr;

struct Target {
    std::string name;
    // Makes what stands at the path (nothing for a path in a missing folder) and gives the path.
    std::function<std::filesystem::path(const std::filesystem::path& home)> make;
    std::string said;

    friend void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }
};

std::vector<Target> targets() {
    std::vector<Target> all{
        {"AFolder",
         [](const std::filesystem::path& home) {
             std::filesystem::create_directory(home / "informe");
             writeFile(home / "informe" / "dentro.txt", "kept");
             return home / "informe";
         },
         "no es un archivo normal"},
        {"AFileInAMissingFolder",
         [](const std::filesystem::path& home) { return home / "no-existe" / "informe.json"; },
         "(no existe)"},
    };
#ifndef _WIN32
    all.push_back({"APipe",
                   [](const std::filesystem::path& home) {
                       ::mkfifo((home / "tuberia").c_str(), 0600);
                       return home / "tuberia";
                   },
                   "no es un archivo normal"});
    all.push_back({"ALinkToAFileElsewhere",
                   [](const std::filesystem::path& home) {
                       std::filesystem::create_directory(home / "otra");
                       writeFile(home / "otra" / "datos.txt", "someone's data");
                       std::filesystem::create_symlink(home / "otra" / "datos.txt",
                                                       home / "enlace.json");
                       return home / "enlace.json";
                   },
                   "no es un archivo normal"});
#endif
    return all;
}

class OutputTargets : public ::testing::TestWithParam<Target> {
protected:
    CliOutcome run(const std::vector<std::string>& arguments) { return runCli(home, arguments); }

    TempDir home;
    ExchangeSets sets;
};

TEST_P(OutputTargets, AReportThatCannotBeWrittenStopsAConversionBeforeAnyTableChanges) {
    const auto exchange = sets.freshExchange("exchange");
    const auto report = GetParam().make(home.path());
    const auto before = treeSnapshot(sets.root.path());
    const auto homeBefore = treeSnapshot(home.path());

    const CliOutcome refused = run({"convert", pathToUtf8(sets.newDocument), "--exchange",
                                    pathToUtf8(exchange), "--report", pathToUtf8(report)});

    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr(GetParam().said));
    EXPECT_EQ(treeSnapshot(sets.root.path()), before);
    auto homeAfter = treeSnapshot(home.path());
    homeAfter.erase(pathToUtf8(home.path().filename() / "cli.out"));
    homeAfter.erase(pathToUtf8(home.path().filename() / "cli.err"));
    EXPECT_EQ(homeAfter, homeBefore);
}

TEST_P(OutputTargets, AReportThatCannotBeWrittenStopsAResultsRunBeforeTheResultIsSaved) {
    const auto report = GetParam().make(home.path());
    const auto result = sets.root / "ResultadoHoradianuevo.xml";
    writeFile(result, "an earlier result");
    const auto before = treeSnapshot(sets.root.path());

    const CliOutcome refused = run({"results", pathToUtf8(sets.newDocument), "--exchange",
                                    pathToUtf8(sets.newSet), "--report", pathToUtf8(report)});

    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr(GetParam().said));
    EXPECT_EQ(treeSnapshot(sets.root.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Targets, OutputTargets, ::testing::ValuesIn(targets()),
                         [](const auto& info) { return info.param.name; });

// The result document's own place is checked in the same way, before the tables are read.
TEST(ResultTarget, AFolderInTheResultsPlaceIsLeftAloneAndNamed) {
    TempDir home;
    ExchangeSets sets;
    const auto result = sets.root / "ResultadoHoradianuevo.xml";
    std::filesystem::create_directory(result);
    writeFile(result / "dentro.txt", "kept");

    const CliOutcome refused = runCli(
        home, {"results", pathToUtf8(sets.newDocument), "--exchange", pathToUtf8(sets.newSet)});

    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("no es un archivo normal"));
    EXPECT_EQ(readFile(result / "dentro.txt"), "kept");
}

} // namespace
} // namespace velmora::testing
