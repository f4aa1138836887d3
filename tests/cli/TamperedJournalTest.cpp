// A journal in the exchange folder is read as untrusted input: whoever can write to a shared
// exchange folder must not be able to make the next user's Velmora move or remove anything,
// inside the folder or outside it, and a journal damaged by a crash must never lead a person to
// lose the tables it was keeping.
#include "support/ExchangeSets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace velmora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string kJournal = ".velmora-diario";
const std::string kSwap = ".velmora-cambio";

// What a journal of this program ends with: a checksum of the rest (FNV-1a, 64 bits, in hex),
// as anyone who reads the program could compute it.
std::string withChecksum(const std::string& body) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : body) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return body + "sum " + hex + "\n";
}

class TamperedJournal : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(victim);
        writeFile(victim / "datos.txt", "someone's data");
        std::filesystem::create_directory(victim / "anteriores");
        writeFile(victim / "anteriores" / "AULAT.DBF", "a table of someone else's");
        writeFile(victim / "listo", "");
    }

    CliOutcome command(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = arguments;
        all.insert(all.end(), {"--exchange", pathToUtf8(exchange)});
        return runCli(home, all);
    }

    // Every command that reads or writes the folder refuses, and nothing anywhere changes.
    void expectEveryCommandRefusesAndNothingChanges() {
        const auto before = treeSnapshot(sets.root.path());
        for (const auto& arguments :
             std::vector<std::vector<std::string>>{{"dump", "AULAT"},
                                                   {"convert", pathToUtf8(sets.newDocument)},
                                                   {"results", pathToUtf8(sets.newDocument)}}) {
            SCOPED_TRACE(arguments.front());
            const CliOutcome refused = command(arguments);
            EXPECT_EQ(refused.status, 1) << refused.out;
            EXPECT_THAT(refused.err, HasSubstr("no se ha tocado nada"));
            EXPECT_THAT(refused.err, Not(HasSubstr("borre ese archivo")));
        }
        EXPECT_EQ(treeSnapshot(sets.root.path()), before);
    }

    TempDir home; // where the commands run
    ExchangeSets sets;
    std::filesystem::path exchange = sets.freshExchange("exchange");
    std::filesystem::path victim = sets.root / "victim";
};

// Journals of the form an earlier version wrote named the work folder: whatever they name, no
// folder is removed and no file moved.
TEST_F(TamperedJournal, AJournalNamingAFolderIsNeverActedOn) {
    for (const std::string& work :
         {std::string("../victim"), pathToUtf8(victim), std::string("..")}) {
        SCOPED_TRACE(work);
        writeFile(exchange / kJournal,
                  "velmora replacement 1\nwork " + work + "\nnew AULAT.DBF\nold AULAT.DBF\nend\n");
        expectEveryCommandRefusesAndNothingChanges();
    }
}

TEST_F(TamperedJournal, ANameThatIsAPathIsRefusedWhateverTheChecksum) {
    std::filesystem::create_directories(exchange / kSwap / "anteriores");
    writeFile(exchange / kSwap / "listo", "");
    for (const std::string& name : {std::string("../victim/datos.txt"),
                                    pathToUtf8(victim / "datos.txt"), std::string("..")}) {
        SCOPED_TRACE(name);
        writeFile(exchange / kJournal,
                  withChecksum("velmora replacement 2\nnew " + name + "\nold " + name + "\nend\n"));
        expectEveryCommandRefusesAndNothingChanges();
    }
}

#ifndef _WIN32
TEST_F(TamperedJournal, ASwapFolderThatIsALinkIsNeverFollowed) {
    writeFile(exchange / kJournal,
              withChecksum("velmora replacement 2\nnew AULAT.DBF\nold AULAT.DBF\nend\n"));
    std::filesystem::create_directory_symlink(victim, exchange / kSwap);
    expectEveryCommandRefusesAndNothingChanges();
}

// A pipe would hang every command, /dev/zero would never end; a link to a sound journal
// elsewhere is still not the folder's journal.
TEST_F(TamperedJournal, AJournalThatIsNoPlainFileIsNeverRead) {
    const auto elsewhere = sets.root / "journal";
    writeFile(elsewhere, withChecksum("velmora replacement 2\nnew AULAT.DBF\nend\n"));
    const std::vector<std::function<void(const std::filesystem::path&)>> makers{
        [](const std::filesystem::path& journal) { ASSERT_EQ(::mkfifo(journal.c_str(), 0600), 0); },
        [](const std::filesystem::path& journal) {
            std::filesystem::create_symlink("/dev/zero", journal);
        },
        [&](const std::filesystem::path& journal) {
            std::filesystem::create_symlink(elsewhere, journal);
        }};
    for (std::size_t kind = 0; kind < makers.size(); ++kind) {
        SCOPED_TRACE(kind);
        makers[kind](exchange / kJournal);
        expectEveryCommandRefusesAndNothingChanges();
        std::filesystem::remove(exchange / kJournal);
    }
}
#endif

TEST_F(TamperedJournal, AJournalLargerThanAnyOfOursIsNeverRead) {
    writeFile(exchange / kJournal,
              withChecksum("velmora replacement 2\n" + std::string(100 * 1024, 'x') + "\nend\n"));
    expectEveryCommandRefusesAndNothingChanges();
}

// A conversion killed while it moved the old tables aside leaves some of them in the swap
// folder; its journal then damaged (cut short, or given other line ends by a copy through
// another system) stops every command, and doing what the message says brings back every old
// table.
class DamagedJournalAfterAKill : public TamperedJournal,
                                 public ::testing::WithParamInterface<std::string> {};

TEST_P(DamagedJournalAfterAKill, StopsEveryCommandAndItsAdviceLosesNoTable) {
    // The journal, the eight new tables into the swap folder, the mark, four old files out.
    const int fourOldFilesOut = 1 + 8 + 1 + 4;
    const CliOutcome killed = runStoppingCli(
        home.path(), {"convert", pathToUtf8(sets.newDocument), "--exchange", pathToUtf8(exchange)},
        {{"VELMORA_STOP_AFTER_STEP", std::to_string(fourOldFilesOut)}});
    ASSERT_EQ(killed.status, 86) << killed.err;
    std::string journal = readFile(exchange / kJournal);
    if (GetParam() == "cut short") {
        journal.resize(journal.size() - 10);
    } else {
        std::string crlf;
        for (const char c : journal) {
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        journal = crlf;
    }
    writeFile(exchange / kJournal, journal);

    expectEveryCommandRefusesAndNothingChanges();
    const CliOutcome refused = command({"dump", "AULAT"});
    const std::string old = pathToUtf8(exchange / kSwap / "anteriores");
    EXPECT_THAT(refused.err, HasSubstr("copie los archivos de \"" + old + "\""));

    // What the message says, in its order: copy the old tables back, then remove the journal
    // and the swap folder.
    for (const auto& entry : std::filesystem::directory_iterator(exchange / kSwap / "anteriores")) {
        std::filesystem::copy_file(entry.path(), exchange / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    std::filesystem::remove(exchange / kJournal);
    std::filesystem::remove_all(exchange / kSwap);

    const CliOutcome next = command({"dump", "AULAT"});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(folderContents(exchange), folderContents(sets.oldSet));
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedJournalAfterAKill,
                         ::testing::Values("cut short", "with other line ends"),
                         [](const auto& info) {
                             return info.param == "cut short" ? "CutShort" : "OtherLineEnds";
                         });

} // namespace
} // namespace velmora::testing
