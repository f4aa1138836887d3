// Which command lines start a run as soon as the window is shown, and which leave the window to
// the user.
#include "FakeView.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

struct CommandLineCase {
    std::string name;
    std::vector<std::string> arguments; // after the program's name
    bool automatic;
    std::string run; // "convert", "results", or empty when none starts
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, DecidesAutomaticModeAndTheRunItStarts) {
    const CommandLineCase& c = GetParam();
    Scene scene;
    const std::string before = "[Transformadores]\r\nTransformado=7\r\n";
    writeFile(scene.ini, before);
    scene.view.documentAnswers = {scene.document};

    auto presenter = scene.started(c.arguments);

    EXPECT_EQ(presenter->automaticMode(), c.automatic);
    if (c.run.empty()) {
        EXPECT_EQ(scene.view.documentQuestions(), 0);
        EXPECT_TRUE(scene.runs.started.empty());
        EXPECT_EQ(scene.view.closes, 0);
        // Closed by the user.
        presenter->windowClosing();
        EXPECT_EQ(readFile(scene.ini),
                  c.automatic ? "[Transformadores]\r\nTransformado=0\r\n" : before);
    } else {
        // The file dialog asks even when the second argument names a document.
        EXPECT_EQ(scene.view.documentQuestions(), 1);
        EXPECT_EQ(scene.runs.started,
                  std::vector<std::string>{c.run + " " + pathToUtf8(scene.document)});
        EXPECT_EQ(scene.view.closes, 1);
        EXPECT_EQ(readFile(scene.ini), "[Transformadores]\r\nTransformado=1\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    ::testing::Values(CommandLineCase{"None", {}, false, ""},
                      CommandLineCase{"OneImportar", {"importar"}, false, ""},
                      CommandLineCase{"OneEXPORTAR", {"EXPORTAR"}, false, ""},
                      CommandLineCase{"ThreeExportar", {"exportar", "a", "b"}, false, ""},
                      CommandLineCase{"ExportarInCapitals", {"EXPORTAR", "x"}, true, "convert"},
                      CommandLineCase{"Importar", {"Importar", "x"}, true, "results"},
                      CommandLineCase{"SecondArgumentADocumentIsNotRead",
                                      {"exportar", "HTEMP/Sauce/otro.xml"},
                                      true,
                                      "convert"},
                      CommandLineCase{"HolaWaitsForTheUser", {"hola", "x"}, true, ""},
                      CommandLineCase{"NoTrimming", {" exportar", "x"}, true, ""},
                      // Only A-Z are lowered: a dotted capital I stays what it is.
                      CommandLineCase{
                          "OnlyAsciiLettersAreLowered", {"\xC4\xB0MPORTAR", "x"}, true, ""},
                      CommandLineCase{"EmptyFirstArgument", {"", "x"}, true, ""}),
    [](const auto& info) { return info.param.name; });

TEST(WindowShown, OnlyTheFirstShowStartsTheRun) {
    Scene scene;
    auto presenter = scene.created({"importar", "x"});
    // A failed run leaves the window open; the next show (after a minimize) starts nothing.
    scene.runs.fail = [] { throw Error(ErrorKind::TableNotFound, {.table = "SOLUC"}); };
    scene.view.documentAnswers = {scene.document};

    presenter->windowShown();
    presenter->windowShown();

    EXPECT_EQ(scene.runs.started.size(), 1u);
    EXPECT_EQ(scene.view.documentQuestions(), 1);
}

TEST(WindowShown, AutomaticModeWithAnotherWordRunsFromTheButtonAndClosesAfterIt) {
    Scene scene;
    auto presenter = scene.started({"hola", "x"});
    scene.view.documentAnswers = {scene.document};

    presenter->convertClicked();

    EXPECT_EQ(scene.view.texts("message"), std::vector<std::string>{"Proceso finalizado"});
    EXPECT_EQ(scene.view.closes, 1);
    EXPECT_EQ(readFile(scene.ini), completionFile("1"));
}

} // namespace
