// Two conversions into one exchange folder at the same moment, as two secretaries at two
// computers sharing it might start them: whichever loses says that the tables are in use or
// being replaced, never that a file is missing or that the journal is damaged, and the folder
// holds one whole set afterwards.
#include "support/ExchangeSets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace velmora::testing {
namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;

struct StartedCli {
    std::unique_ptr<ChildProcess> process;
    std::filesystem::path out;
    std::filesystem::path err;
};

StartedCli start(const std::filesystem::path& folder, const std::string& name,
                 const std::vector<std::string>& arguments) {
    ChildOptions options;
    options.workingFolder = folder;
    options.outputFile = folder / (name + ".out");
    options.errorFile = folder / (name + ".err");
    return {std::make_unique<ChildProcess>(
                std::filesystem::absolute(pathFromUtf8(VELMORA_CLI_PATH)), arguments, options),
            options.outputFile, options.errorFile};
}

TEST(ConcurrentRuns, TheRunThatLosesSaysWhyAndOneWholeSetStands) {
    TempDir home;
    ExchangeSets sets;
    const auto exchange = sets.freshExchange("exchange");
    // The two sets the folder may hold: one conversion's or the other's.
    const auto convertedAlone = [&](const std::filesystem::path& document) {
        const auto alone = home / "alone";
        std::filesystem::create_directory(alone);
        runCli(home, {"convert", pathToUtf8(document), "--exchange", pathToUtf8(alone)});
        auto tables = folderContents(alone);
        std::filesystem::remove_all(alone);
        return tables;
    };
    const auto oldSet = convertedAlone(sets.oldDocument);
    const auto newSet = convertedAlone(sets.newDocument);
    int lost = 0;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<StartedCli> runs;
        for (const auto& document : {sets.newDocument, sets.oldDocument, sets.newDocument}) {
            runs.push_back(
                start(home.path(), "run" + std::to_string(runs.size()),
                      {"convert", pathToUtf8(document), "--exchange", pathToUtf8(exchange)}));
        }
        for (StartedCli& run : runs) {
            const int status = run.process->wait();
            if (status != 0) {
                ++lost;
                EXPECT_EQ(status, 1);
                EXPECT_THAT(readFile(run.err), AnyOf(HasSubstr("está abierta en otro programa"),
                                                     HasSubstr("está sustituyendo ahora")));
            }
        }
        const CliOutcome next = runCli(home, {"dump", "AULAT", "--exchange", pathToUtf8(exchange)});
        EXPECT_EQ(next.status, 0) << next.err;
        const auto now = folderContents(exchange);
        EXPECT_TRUE(now == newSet || now == oldSet) << "the folder holds a mixed set";
    }
    std::cout << lost << " of 36 conversions lost the race and said so.\n";
}

} // namespace
} // namespace velmora::testing
