// The completion file is written the way the platform's private-profile write does it: only the
// one key changes, every other byte of the file stays.
#include "services/files/IniFile.h"
#include "services/Error.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmora;
using namespace velmora::testing;

namespace {

#ifdef _WIN32
const std::string nl = "\r\n";
#else
const std::string nl = "\n";
#endif

struct IniCase {
    std::string name;
    std::string before;
    std::string after;
};

void PrintTo(const IniCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingTheKey : public ::testing::TestWithParam<IniCase> {};

TEST_P(SettingTheKey, ChangesOnlyThatKey) {
    const IniCase& c = GetParam();
    EXPECT_EQ(withProfileString(c.before, "Transformadores", "Transformado", "1"), c.after);
    // Written again, nothing changes.
    EXPECT_EQ(withProfileString(c.after, "Transformadores", "Transformado", "1"), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingTheKey,
    ::testing::Values(
        IniCase{"EmptyFileGetsSectionAndKey", "", "[Transformadores]" + nl + "Transformado=1" + nl},
        IniCase{"MissingSectionAddedAtTheEndInTheFilesLineEnds",
                "; escrito por Horadia\r\n[Otra]\r\nclave=x\r\n",
                "; escrito por Horadia\r\n[Otra]\r\nclave=x\r\n[Transformadores]\r\n"
                "Transformado=1\r\n"},
        IniCase{"LastLineWithoutLineEnd", "[Otra]\nclave=x",
                "[Otra]\nclave=x\n[Transformadores]\nTransformado=1\n"},
        IniCase{"LastLineEndingInABareCrItsHeaderWithoutBracket", "[Transformadores\r",
                "[Transformadores\r\nTransformado=1\r\n"},
        IniCase{"ExistingValueReplacedTheRestKept",
                "; comentario\r\n[Transformadores]\r\nOtro = 7 \r\nTransformado=0\r\nMas=2\r\n\r\n"
                "[Final]\r\nTransformado=9\r\n",
                "; comentario\r\n[Transformadores]\r\nOtro = 7 \r\nTransformado=1\r\nMas=2\r\n\r\n"
                "[Final]\r\nTransformado=9\r\n"},
        IniCase{"SectionAndKeyMatchWhateverTheirLetterCase",
                "[TRANSFORMADORES]\ntransformado = -1\n", "[TRANSFORMADORES]\nTransformado=1\n"},
        IniCase{"HeaderAndKeyWithBlanksAroundThem", "  [ Transformadores ]  \n\tTransformado\t=5\n",
                "  [ Transformadores ]  \nTransformado=1\n"},
        IniCase{"MissingKeyAfterTheSectionsLastLineBeforeTheBlankLines",
                "[Transformadores]\nOtro=7\n\n[Final]\nx=1\n",
                "[Transformadores]\nOtro=7\nTransformado=1\n\n[Final]\nx=1\n"},
        IniCase{"MissingKeyInTheLastSectionWithoutALineEnd", "[Transformadores]\r\nOtro=7",
                "[Transformadores]\r\nOtro=7\r\nTransformado=1\r\n"},
        IniCase{"TheKeyOfAnotherSectionIsNotTouched", "[Final]\nTransformado=9\n",
                "[Final]\nTransformado=9\n[Transformadores]\nTransformado=1\n"},
        IniCase{"KeysThatOnlyBeginAlikeAreOtherKeys",
                "[Transformadores]\nTransformados=3\nTransformado2=4\n",
                "[Transformadores]\nTransformados=3\nTransformado2=4\nTransformado=1\n"},
        IniCase{"OfTwoEqualSectionsTheFirstOneIsUsed",
                "[Transformadores]\nA=1\n[Transformadores]\nTransformado=0\n",
                "[Transformadores]\nA=1\nTransformado=1\n[Transformadores]\nTransformado=0\n"},
        IniCase{"ALineWithoutEqualsIsNoKey", "[Transformadores]\nTransformado\n",
                "[Transformadores]\nTransformado\nTransformado=1\n"},
        IniCase{"TheUtf8MarkAtTheStartStaysAndDoesNotHideTheSection",
                "\xEF\xBB\xBF[Transformadores]\nTransformado=0\n",
                "\xEF\xBB\xBF[Transformadores]\nTransformado=1\n"}),
    [](const auto& info) { return info.param.name; });

TEST(IniFile, CreatesAMissingFile) {
    TempDir folder;
    writeProfileString(folder / "Horadia.ini", "Transformadores", "Transformado", "-1");
    EXPECT_EQ(readFile(folder / "Horadia.ini"), "[Transformadores]" + nl + "Transformado=-1" + nl);
}

TEST(IniFile, RewritesAnExistingFileKeepingItsPermissionsAndLeavingNothingBehind) {
    TempDir folder;
    const auto ini = folder / "Horadia.ini";
    writeFile(ini, "[Horadia]\r\nRuta=C:\\HTEMP\r\n[Transformadores]\r\nTransformado=0\r\n");
    // Windows keeps only whether a file is read-only; elsewhere every bit counts.
    std::filesystem::permissions(ini, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_write |
                                          std::filesystem::perms::group_read);
    const auto permissions = std::filesystem::status(ini).permissions();

    writeProfileString(ini, "Transformadores", "Transformado", "1");

    EXPECT_EQ(readFile(ini),
              "[Horadia]\r\nRuta=C:\\HTEMP\r\n[Transformadores]\r\nTransformado=1\r\n");
    EXPECT_EQ(std::filesystem::status(ini).permissions(), permissions);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(IniFile, FailsWhereNoFileCanBeWrittenAndNamesTheFile) {
    for (const char* where : {"missing/Horadia.ini", "Horadia.ini"}) {
        TempDir folder;
        // A folder in the file's place.
        std::filesystem::create_directory(folder / "Horadia.ini");
        const auto ini = folder.path() / std::filesystem::path(where).make_preferred();
        EXPECT_TRUE(
            failsWith([&] { writeProfileString(ini, "Transformadores", "Transformado", "1"); },
                      ErrorKind::IniNotWritten, {.file = ini}))
            << where;
        EXPECT_TRUE(std::filesystem::is_directory(folder / "Horadia.ini")) << where;
    }
}

} // namespace
