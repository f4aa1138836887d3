#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace velmora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A school with one teacher and one time frame, so that a conversion needs no --frames.
std::string oneFrameSchool() {
    return sauceXml(
        {{"PROFESORES", {{"E1", "F1", "Ana", "ANA"}}}, {"JORNADAS", {{"UNICA", "Única", "-"}}}});
}

// The path written from the root of its drive with forward slashes, as a user may type it:
// "/tmp/x" on Linux, "/users/x" for C:\users\x on Windows.
std::string fromTheRootOfItsDrive(const std::filesystem::path& path) {
    return "/" + pathToUtf8(path.relative_path().generic_u8string());
}

TEST(CommandLinePaths, FoldersAndDocumentsWithAccentsGoThroughEveryCommand) {
    TempDir temp;
    const auto school = temp / "Año ñ";
    const auto exchange = school / "HTEMP";
    std::filesystem::create_directories(exchange);
    const auto document = school / pathFromUtf8("documento señalado.xml");
    writeFile(document, oneFrameSchool());

    const CliOutcome converted =
        runCli(temp, {"convert", pathToUtf8(document), "--exchange", pathToUtf8(exchange)});
    ASSERT_EQ(converted.status, 0) << converted.err;
    EXPECT_THAT(converted.out, StartsWith("Tablas escritas en " + pathToUtf8(exchange) + ":\n"));

    // The folder named in the environment, which Windows keeps in UTF-16.
    const CliOutcome dumped =
        runCli(temp, {"dump", "PROFT"}, {{"VELMORA_EXCHANGE_DIR", pathToUtf8(exchange)}});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_THAT(dumped.out, HasSubstr("\nANA,"));

    writeTable(exchange, tables::SOLUC::layout, {});
    const CliOutcome results =
        runCli(temp, {"results", pathToUtf8(document), "--exchange", pathToUtf8(exchange)});
    ASSERT_EQ(results.status, 0) << results.err;
    const auto result = school / pathFromUtf8("ResultadoHoradiadocumento señalado.xml");
    EXPECT_EQ(results.out, pathToUtf8(result) + "\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(result));
}

TEST(CommandLinePaths, APathBeginningWithASlashIsNeverAnOption) {
    // On the drive of the current folder, beside the test: Wine reads a path beginning with '/'
    // as a Linux one (its drive Z: is the Linux root), Windows as one on the current drive, and
    // here both name the same file.
    TempDir temp(std::filesystem::current_path());
    const auto document = temp / "escuela.xml";
    writeFile(document, oneFrameSchool());
    const auto exchange = temp / "HTEMP";
    std::filesystem::create_directory(exchange);

    const CliOutcome outcome = runCli(temp, {"convert", fromTheRootOfItsDrive(document),
                                             "--exchange", fromTheRootOfItsDrive(exchange)});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(exchange / "PROFT.DBF"));
}

#ifdef _WIN32
// The files that took a child's output can stay held for a moment after the child is seen to
// end (Wine's server lets go of its handles a little later): removal is tried for a while.
void removeOnceReleased(const std::filesystem::path& folder) {
    std::error_code error;
    for (int attempt = 0; attempt < 40; ++attempt) {
        std::filesystem::remove_all(folder, error);
        if (!error) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "cannot remove " << pathToUtf8(folder) << ": " << error.message();
}

// Under Wine the build maps a drive of its own to an empty temporary folder and names it in
// VELMORA_TEST_DRIVE (tests/support/WineDrive.cmake); elsewhere a drive made with subst can be
// named there.
TEST(CommandLinePaths, TheDefaultExchangeFolderIsHTEMPOnTheDriveOfTheCurrentFolder) {
    const char* drive = std::getenv("VELMORA_TEST_DRIVE");
    if (drive == nullptr || *drive == '\0') {
        GTEST_SKIP() << "no second drive: VELMORA_TEST_DRIVE names none";
    }
    const std::filesystem::path root = pathFromUtf8(std::string(drive) + "\\");
    const auto exchange = root / "HTEMP";
    const auto school = root / "escuela";
    std::filesystem::create_directories(exchange);
    std::filesystem::create_directories(school);
    writeFile(school / "documento.xml", oneFrameSchool());

    const CliOutcome outcome =
        runCli(school, {"convert", "documento.xml"}, {{"VELMORA_EXCHANGE_DIR", ""}});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_THAT(outcome.out, StartsWith("Tablas escritas en " + pathToUtf8(exchange) + ":\n"));
    EXPECT_TRUE(std::filesystem::is_regular_file(exchange / "PROFT.DBF"));

    removeOnceReleased(exchange);
    removeOnceReleased(school);
}
#endif

} // namespace
} // namespace velmora::testing
