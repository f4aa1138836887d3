// What killed runs leave behind is removed by the next run; what a living run holds is not.
#include "messages/Messages.h"
#include "services/Error.h"
#include "services/files/FileReplacement.h"
#include "services/files/WorkFolder.h"
#include "services/xml/XmlDocument.h"
#include "support/ErrorChecks.h"
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
    std::filesystem::create_directories(exchange / ".velmora-trabajo-111");
    writeFile(exchange / ".velmora-trabajo-111" / "run.lock", "");
    writeFile(exchange / ".velmora-trabajo-111" / "PROFT.DBF", "half a table");
    std::filesystem::create_directories(exchange / ".velmora-trabajo-222");
    writeFile(exchange / ".velmora-trabajo-222" / "run.lock", "");
    const ForeignLock livingRun(exchange / ".velmora-trabajo-222" / "run.lock");
    writeFile(exchange / "PROFT.DBF", "Horadia's table");

    tidyExchangeFolder(exchange.path());

    EXPECT_EQ(names(exchange.path()),
              (std::vector<std::string>{".velmora-trabajo-222", "PROFT.DBF"}));
}

#ifndef _WIN32
// What a dead run's work folder holds goes, but never what a link in it points to, and never a
// folder it holds: only the run's own files are its to remove.
TEST(Leftovers, ADeadRunsWorkFolderLosesOnlyItsOwnEntries) {
    TempDir root;
    const auto exchange = root / "exchange";
    const auto work = exchange / ".velmora-trabajo-333";
    std::filesystem::create_directories(work / "inside");
    writeFile(work / "run.lock", "");
    writeFile(work / "inside" / "kept.txt", "not the run's");
    writeFile(root / "victim.txt", "outside");
    std::filesystem::create_directory(root / "victims");
    writeFile(root / "victims" / "file.txt", "outside too");
    std::filesystem::create_symlink(root / "victim.txt", work / "ASIGT.DBF");
    std::filesystem::create_directory_symlink(root / "victims", work / "GRUPOST.DBF");
    // A work folder that is itself a link is no work folder of ours.
    std::filesystem::create_directory_symlink(root / "victims", exchange / ".velmora-trabajo-444");

    tidyExchangeFolder(exchange);

    EXPECT_EQ(readFile(root / "victim.txt"), "outside");
    EXPECT_EQ(readFile(root / "victims" / "file.txt"), "outside too");
    EXPECT_EQ(names(work), (std::vector<std::string>{"inside"}));
    EXPECT_TRUE(std::filesystem::is_symlink(exchange / ".velmora-trabajo-444"));
}
#endif

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
    const auto work = exchange / ".velmora-trabajo-9";
    std::filesystem::create_directory(work);
    writeFile(work / "A.DBF", "new A");
    writeFile(work / "B.DBF", "new B");
    const auto before = names(exchange.path());

    // The plan names an old file that is not there: its move fails half way through.
    EXPECT_THROW(replaceTogether(exchange.path(), work,
                                 {{"A.DBF", {"A.DBF"}}, {"B.DBF", {"B.DBF", "B.MDX"}}}),
                 Error);

    // Nothing is left of the replacement: no journal, no swap folder.
    EXPECT_EQ(names(exchange.path()), before);
    EXPECT_EQ(readFile(exchange / "A.DBF"), "old A");
    EXPECT_EQ(readFile(exchange / "B.DBF"), "old B");
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
        // The journal, the two new files into the swap folder, the mark that it is ready, then
        // A.DBF moved aside.
        const auto takeTheNameOfA = [&](int step) {
            if (step == 5) {
                writeFile(exchange / "A.DBF", "someone else's A");
            }
        };
        EXPECT_TRUE(failsWith(
            [&] {
                replaceTogether(exchange.path(), work,
                                {{"A.DBF", {"A.DBF"}}, {"B.DBF", {"B.DBF", "B.MDX"}}},
                                {.afterStep = takeTheNameOfA});
            },
            ErrorKind::ReplacementFailed, {.reason = ErrorReason::UndoFailed}));
    }
    ASSERT_TRUE(std::filesystem::exists(oldFilesFolder(exchange.path()) / "A.DBF"))
        << "the old file went with the swap folder";

    std::filesystem::remove(exchange / "A.DBF");
    tidyExchangeFolder(exchange.path());

    EXPECT_EQ(names(exchange.path()), before);
    EXPECT_EQ(readFile(exchange / "A.DBF"), "old A");
    EXPECT_EQ(readFile(exchange / "B.DBF"), "old B");
}

TEST(FileReplacement, AJournalThatCannotBeReadStopsEveryRunAndSaysWhatToDo) {
    TempDir exchange;
    writeFile(journalFile(exchange.path()), "velmora replacement 2\nnew A.DBF\nend\nsum 0");

    const auto error = errorFrom([&] { tidyExchangeFolder(exchange.path()); });
    ASSERT_TRUE(isError(error, ErrorKind::ReplacementJournalDamaged));
    const std::string words = messages::describe(*error);
    EXPECT_THAT(words, HasSubstr("copie los archivos"));
    EXPECT_THAT(words, HasSubstr(pathToUtf8(oldFilesFolder(exchange.path()))));
    EXPECT_TRUE(std::filesystem::exists(journalFile(exchange.path())));
}

TEST(FileReplacement, ASecondRunNeverWritesOverTheJournalOfTheFirst) {
    TempDir exchange;
    const std::string firstRunsPlan = "the first run's journal";
    writeFile(journalFile(exchange.path()), firstRunsPlan);
    const auto work = exchange / ".velmora-trabajo-2";
    std::filesystem::create_directory(work);
    writeFile(work / "A.DBF", "new A");

    EXPECT_TRUE(failsWith(
        [&] {
            replaceTogether(exchange.path(), work, {{"A.DBF", {}}});
        },
        ErrorKind::ReplacementInProgress));

    EXPECT_EQ(readFile(journalFile(exchange.path())), firstRunsPlan);
    EXPECT_FALSE(std::filesystem::exists(exchange / "A.DBF"));
}

// Only names a replacement can have made stand in a journal: a path of any kind, or a name
// that could become one, is refused whatever the checksum says.
TEST(FileReplacement, OnlyPlainFileNamesMayStandInAJournal) {
    for (const char* name : {"ASIGNOMT.DBF", "asignomt.mdx", "PROFT.CPG", "A-1_B.DBF", "SOLUC"}) {
        EXPECT_TRUE(isPlainFileName(name)) << name;
    }
    for (const char* name :
         {"", "..", ".", "../victim", "a/b.DBF", "a\\b.DBF", "/etc/passwd", "C:x.DBF", "C:\\x.DBF",
          ".velmora-cambio", "A..DBF", "A.B.DBF", "A.", "A B.DBF", "A.DBF\n"}) {
        EXPECT_FALSE(isPlainFileName(name)) << name;
    }
    EXPECT_FALSE(isPlainFileName(std::string(65, 'A')));
}
