// Started as another program starts it, with two arguments: the run the first one names starts
// once the window is shown, the window closes when the run ends, and the completion code is
// left in the ini file. Alt+S leaves in any mode.
#include "WindowTesting.h"

#include "app/win32/Resources.h"

#include <gtest/gtest.h>

namespace velmora::testing::win32 {
namespace {

enum class Answer { ExistingDocument, MissingDocument, NotAsked };

struct AutomaticCase {
    const char* name;
    std::vector<std::string> arguments;
    Answer answer;
    const char* message;    // what the run says, which the user confirms; none when nullptr
    bool closesByItself;    // otherwise the user leaves with Alt+S
    const char* iniContent; // nullptr: no ini file at all
};

std::string caseName(const ::testing::TestParamInfo<AutomaticCase>& info) {
    return info.param.name;
}

class AutomaticMode : public ::testing::TestWithParam<AutomaticCase> {};

TEST_P(AutomaticMode, leavesTheCompletionCodeOfHowItEnded) {
    const AutomaticCase& test = GetParam();
    WindowUnderTest subject(test.arguments);
    if (test.answer == Answer::ExistingDocument) {
        subject.documentAnswer = subject.existingDocument();
    } else if (test.answer == Answer::MissingDocument) {
        subject.documentAnswer = subject.folder / "no-existe.xml";
    }
    ModalScript script;
    MessageBoxContent said;
    if (test.message != nullptr) {
        script.then("Velmora", readInto(said));
    }
    app::win32::MainWindow& window = subject.open();
    script.ignore(window.handle());

    const bool closed = pumpUntil([&] { return !window.isOpen(); }, 1s);
    EXPECT_EQ(closed, test.closesByItself);
    if (!closed) {
        SetForegroundWindow(window.handle());
        SetFocus(GetDlgItem(window.handle(), IDC_CONVERT));
        pressKey('S', {VK_MENU});
        EXPECT_TRUE(pumpUntil([&] { return !window.isOpen(); })) << "Alt+S leaves";
    }

    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
    if (test.message != nullptr) {
        EXPECT_EQ(said.text, test.message);
    }
    const bool iniWritten = std::filesystem::exists(subject.iniFile);
    ASSERT_EQ(iniWritten, test.iniContent != nullptr);
    if (iniWritten) {
        EXPECT_EQ(readFile(subject.iniFile), test.iniContent);
    }
    EXPECT_EQ(subject.documentRequests.size(), test.answer == Answer::NotAsked ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    AsSauceStartsIt, AutomaticMode,
    ::testing::Values(
        AutomaticCase{"exportarInCapitalsFinishes",
                      {"EXPORTAR", "x"},
                      Answer::ExistingDocument,
                      "Proceso finalizado",
                      true,
                      "[Transformadores]\r\nTransformado=1\r\n"},
        AutomaticCase{"importarFinishes",
                      {"importar", "C:\\otro.xml"},
                      Answer::ExistingDocument,
                      "Proceso finalizado",
                      true,
                      "[Transformadores]\r\nTransformado=1\r\n"},
        AutomaticCase{"importarWithoutFile",
                      {"importar", "x"},
                      Answer::MissingDocument,
                      "No existe archivo",
                      true,
                      "[Transformadores]\r\nTransformado=-1\r\n"},
        AutomaticCase{"namingNoRunThenAltS",
                      {"hola", "x"},
                      Answer::NotAsked,
                      nullptr,
                      false,
                      "[Transformadores]\r\nTransformado=0\r\n"},
        AutomaticCase{"interactiveThenAltS", {}, Answer::NotAsked, nullptr, false, nullptr},
        AutomaticCase{
            "oneArgumentIsInteractive", {"importar"}, Answer::NotAsked, nullptr, false, nullptr}),
    caseName);

TEST(AutomaticModeAfterAButton, closesWhenARunStartedByHandFinishes) {
    WindowUnderTest subject({"hola", "x"});
    subject.documentAnswer = subject.existingDocument();
    ModalScript script;
    script.then("Velmora", pressOk());
    app::win32::MainWindow& window = subject.open();
    script.ignore(window.handle());
    pumpPending();
    ASSERT_TRUE(window.isOpen());
    clickLater(GetDlgItem(window.handle(), IDC_CONVERT));

    EXPECT_TRUE(pumpUntil([&] { return !window.isOpen(); }));
    EXPECT_EQ(readFile(subject.iniFile), "[Transformadores]\r\nTransformado=1\r\n");
}

} // namespace
} // namespace velmora::testing::win32
