// What killed runs leave behind is removed by the next run; what a living run holds is not.
#include "messages/Messages.h"
#include "services/Error.h"
#include "services/files/FileReplacement.h"
#include "services/files/WorkFolder.h"
#include "services/xml/XmlDocument.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::testing;
using ::testing::HasSubstr;

namespace {

std::vector<std::string> names(const std::filesystem::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

TEST(Leftovers, WorkFoldersOfDeadRunsGoAndThoseOfLivingRunsStay) {
    TempDir exchange;
    std::filesystem::create_directories(exchange / ".velmora-111");
    writeFile(exchange / ".velmora-111" / "run.lock", "");
    writeFile(exchange / ".velmora-111" / "PROFT.DBF", "half a table");
    std::filesystem::create_directories(exchange / ".velmora-222");
    writeFile(exchange / ".velmora-222" / "run.lock", "");
    const ForeignLock livingRun(exchange / ".velmora-222" / "run.lock");
    writeFile(exchange / "PROFT.DBF", "Horadia's table");

    tidyExchangeFolder(exchange.path());

    EXPECT_EQ(names(exchange.path()), (std::vector<std::string>{".velmora-222", "PROFT.DBF"}));
}

TEST(Leftovers, AWorkFolderLivesWhileItsObjectDoes) {
    TempDir exchange;
    std::filesystem::path path;
    {
        const WorkFolder work(exchange.path());
        path = work.path();
        tidyExchangeFolder(exchange.path());
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_TRUE(WorkFolder::isOwnerAlive(path));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Leftovers, TemporaryFilesOfKilledSavesGoAndThoseBeingWrittenStay) {
    TempDir folder;
    const auto result = folder / "ResultadoHoradiaexport.xml";
    const auto abandoned = folder / ".ResultadoHoradiaexport.xml.123.tmp";
    const auto beingWritten = folder / ".ResultadoHoradiaexport.xml.456.tmp";
    const auto someoneElses = folder / ".otro.xml.789.tmp";
    writeFile(abandoned, "<a/>");
    writeFile(beingWritten, "<a/>");
    writeFile(someoneElses, "<a/>");
    const ForeignLock writer(beingWritten);

    XmlDocument::parse("<SERVICIO/>", "export.xml").save(result);

    EXPECT_FALSE(std::filesystem::exists(abandoned));
    EXPECT_TRUE(std::filesystem::exists(beingWritten));
    EXPECT_TRUE(std::filesystem::exists(someoneElses));
    EXPECT_TRUE(std::filesystem::exists(result));
}

TEST(FileReplacement, AMoveThatFailsUndoesEveryMoveBefore) {
    TempDir exchange;
    writeFile(exchange / "A.DBF", "old A");
    writeFile(exchange / "B.DBF", "old B");
    const auto work = exchange / ".velmora-9";
    std::filesystem::create_directory(work);
    writeFile(work / "A.DBF", "new A");
    writeFile(work / "B.DBF", "new B");
    const auto before = names(exchange.path());

    // The plan names an old file that is not there: its move fails half way through.
    EXPECT_THROW(replaceTogether(exchange.path(), work,
                                 {{"A.DBF", {"A.DBF"}}, {"B.DBF", {"B.DBF", "B.MDX"}}}),
                 Error);

    EXPECT_EQ(names(exchange.path()), before);
    EXPECT_EQ(readFile(exchange / "A.DBF"), "old A");
    EXPECT_EQ(readFile(exchange / "B.DBF"), "old B");
    EXPECT_EQ(readFile(work / "A.DBF"), "new A");
}

// The undo itself fails when another program has taken the name of a table moved aside: the
// old table must then wait where it is, for the next run to put back once the name is free.
TEST(FileReplacement, AnUndoThatFailsKeepsTheOldFilesForTheNextRun) {
    TempDir exchange;
    writeFile(exchange / "A.DBF", "old A");
    writeFile(exchange / "B.DBF", "old B");
    const auto before = names(exchange.path());
    std::filesystem::path work;
    {
        const WorkFolder workFolder(exchange.path());
        work = workFolder.path();
        writeFile(work / "A.DBF", "new A");
        writeFile(work / "B.DBF", "new B");
        const auto takeTheNameOfA = [&](int step) {
            if (step == 2) { // A.DBF has just been moved aside
                writeFile(exchange / "A.DBF", "someone else's A");
            }
        };
        try {
            replaceTogether(exchange.path(), work,
                            {{"A.DBF", {"A.DBF"}}, {"B.DBF", {"B.DBF", "B.MDX"}}}, takeTheNameOfA);
            FAIL() << "the replacement went through";
        } catch (const Error& error) {
            EXPECT_EQ(error.kind(), ErrorKind::ReplacementFailed);
            EXPECT_EQ(error.details().reason, "undo");
        }
    }
    ASSERT_TRUE(std::filesystem::exists(work)) << "the old files went with the work folder";

    std::filesystem::remove(exchange / "A.DBF");
    tidyExchangeFolder(exchange.path());

    EXPECT_EQ(names(exchange.path()), before);
    EXPECT_EQ(readFile(exchange / "A.DBF"), "old A");
    EXPECT_EQ(readFile(exchange / "B.DBF"), "old B");
}

TEST(FileReplacement, AJournalThatCannotBeReadStopsEveryRunAndSaysWhatToDo) {
    TempDir exchange;
    writeFile(exchange / ".velmora-journal", "velmora replacement 1\nwork .velmora-1\nnew A");

    try {
        tidyExchangeFolder(exchange.path());
        FAIL() << "the journal was taken as read";
    } catch (const Error& error) {
        EXPECT_EQ(error.details().reason, "journal");
        EXPECT_THAT(messages::describe(error), HasSubstr("borre ese archivo"));
    }
    EXPECT_TRUE(std::filesystem::exists(exchange / ".velmora-journal"));
}

TEST(FileReplacement, ASecondRunNeverWritesOverTheJournalOfTheFirst) {
    TempDir exchange;
    const std::string firstRunsPlan = "velmora replacement 1\nwork .velmora-1\nnew A.DBF\nend\n";
    writeFile(exchange / ".velmora-journal", firstRunsPlan);
    const auto work = exchange / ".velmora-2";
    std::filesystem::create_directory(work);
    writeFile(work / "A.DBF", "new A");

    EXPECT_THROW(replaceTogether(exchange.path(), work, {{"A.DBF", {}}}), Error);

    EXPECT_EQ(readFile(exchange / ".velmora-journal"), firstRunsPlan);
    EXPECT_FALSE(std::filesystem::exists(exchange / "A.DBF"));
}
