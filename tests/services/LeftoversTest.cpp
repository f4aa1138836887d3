// What killed runs leave behind is removed by the next run; what a living run holds is not.
#include "services/Error.h"
#include "services/FileReplacement.h"
#include "services/WorkFolder.h"
#include "services/XmlDocument.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::testing;

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
