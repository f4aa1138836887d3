// A file written as its text is made: whole, in place once made, or not at all.
#include "services/Error.h"
#include "services/files/WholeFile.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Lines of different lengths, so that the pieces the writer passes on never end at a line.
std::string numberedLines(int count) {
    std::string text;
    for (int line = 0; line < count; ++line) {
        text += std::to_string(line) + std::string(static_cast<std::size_t>(line % 97), 'x') + "\n";
    }
    return text;
}

} // namespace

TEST(StreamedFile, HoldsEveryByteWrittenInPiecesAndCharacters) {
    TempDir folder;
    const auto file = folder / "avisos.txt";
    writeFile(file, "an older file");
    const std::string lines = numberedLines(20000); // several times what is held before passing on

    writeWholeFile(file, [&](std::ostream& out) {
        out << lines;
        out.put('!');
        out << std::string(3, '\0') << "end";
    });

    EXPECT_EQ(readFile(file), lines + "!" + std::string(3, '\0') + "end");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"avisos.txt"});
}

TEST(StreamedFile, AWriterThatFailsHalfwayLeavesTheOldFileAndNoDraft) {
    TempDir folder;
    const auto file = folder / "avisos.txt";
    writeFile(file, "an older file");

    EXPECT_THROW(writeWholeFile(file,
                                [&](std::ostream& out) {
                                    out << numberedLines(20000);
                                    throw std::runtime_error("stopped");
                                }),
                 std::runtime_error);

    EXPECT_EQ(readFile(file), "an older file");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"avisos.txt"});
}

TEST(StreamedFile, AFolderThatDoesNotExistIsAnErrorNamingTheFile) {
    TempDir folder;
    const auto file = folder / "no-existe" / "avisos.txt";
    bool written = false;

    EXPECT_TRUE(failsWith(
        [&] {
            writeWholeFile(file, [&](std::ostream& out) {
                out << "x";
                written = true;
            });
        },
        ErrorKind::FileNotWritten, {.file = file}));
    EXPECT_FALSE(written);
}
