// What closing leaves for the program that started the window: this run's notes or none, then
// the completion code; and what the user hears when either cannot be written.
#include "FakeView.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

Note cutText() {
    return {.kind = NoteKind::TextCut,
            .table = "ASIGNOMT",
            .record = 1,
            .field = "NOMBRE",
            .value = "Matemáticas aplicadas a las ciencias sociales",
            .stored = "Matemáticas aplicadas a las"};
}

enum class Ending { WithNotes, WithoutNotes, Failed };

struct EndingCase {
    std::string name;
    Ending ending;
    std::vector<std::string> boxes;
    std::string code;
};

void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

class AutomaticClosing : public ::testing::TestWithParam<EndingCase> {};

TEST_P(AutomaticClosing, LeavesOnlyThisRunsNotesThenTheCode) {
    const EndingCase& c = GetParam();
    Scene scene;
    if (c.ending == Ending::WithNotes) {
        scene.runs.notes.add(cutText());
    }
    if (c.ending == Ending::Failed) {
        scene.runs.fail = [] { throw Error(ErrorKind::NoTimeFrame, {}); };
    }
    writeFile(scene.notesFile, "Avisos de una transformación anterior\n");
    // Other sections and keys of the file stay as they are; the key keeps its section.
    const std::string otherLines = "; Horadia\r\n[Horadia]\r\nRuta=C:\\HTEMP\r\n\r\n";
    writeFile(scene.ini, otherLines + "[transformadores]\r\nTransformado=0\r\nOtro=x\r\n");
    scene.view.documentAnswers = {scene.document};

    auto presenter = scene.started({"exportar", "x"});
    // A failed run leaves the window open, for the user to close.
    if (c.ending == Ending::Failed) {
        EXPECT_EQ(scene.view.closes, 0);
        presenter->windowClosing();
    }

    EXPECT_EQ(scene.view.kinds(), c.boxes);
    if (c.ending == Ending::WithNotes) {
        const std::string saved = readFile(scene.notesFile);
        EXPECT_EQ(saved, withPlatformLineEnds(scene.view.notesMessages.at(0).details));
        EXPECT_NE(saved.find("se ha guardado como «Matemáticas aplicadas a las»"),
                  std::string::npos);
    } else {
        EXPECT_FALSE(std::filesystem::exists(scene.notesFile));
    }
    EXPECT_EQ(readFile(scene.ini),
              otherLines + "[transformadores]\r\nTransformado=" + c.code + "\r\nOtro=x\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutomaticClosing,
    ::testing::Values(EndingCase{"ARunWithNotes", Ending::WithNotes, {"notes"}, "1"},
                      EndingCase{"ARunWithoutNotes", Ending::WithoutNotes, {"message"}, "1"},
                      EndingCase{"AFailedRun", Ending::Failed, {"error"}, "0"}),
    [](const auto& info) { return info.param.name; });

std::string native(std::filesystem::path file) {
    return pathToUtf8(file.make_preferred());
}

TEST(AutomaticClosing, NotesThatCannotBeLeftAreReportedAndTheCodeStillWritten) {
    Scene scene;
    // A folder in its place stands for an old notes file that cannot be removed.
    std::filesystem::create_directory(scene.notesFile);
    writeFile(scene.notesFile / "dentro.txt", "x");
    scene.view.documentAnswers = {scene.document};

    scene.started({"exportar", "x"});

    EXPECT_EQ(scene.view.closes, 1);
    EXPECT_EQ(scene.view.kinds(), (std::vector<std::string>{"message", "error"}));
    const std::string error = scene.view.texts("error").at(0);
    EXPECT_TRUE(
        error.starts_with("No se puede borrar el archivo \"" + native(scene.notesFile) + "\" ("))
        << error;
    EXPECT_TRUE(error.ends_with("). Tiene los avisos de un proceso anterior: bórrelo usted para "
                                "que nadie los tome por los de este."))
        << error;
    EXPECT_EQ(readFile(scene.ini), completionFile("1"));
}

TEST(AutomaticClosing, AnUnwritableCompletionFileIsReportedAndTheCloseGoesOn) {
    for (const bool withNotes : {false, true}) {
        Scene scene;
        if (withNotes) {
            scene.runs.notes.add(cutText());
        }
        scene.view.documentAnswers = {scene.document};
        std::filesystem::remove_all(scene.program);
        auto presenter = scene.created({"exportar", "x"});

        presenter->windowShown();

        EXPECT_EQ(scene.view.closes, 1);
        const std::string ini =
            "No se puede escribir en el archivo \"" + native(scene.ini) +
            "\" (no existe). El programa que abrió Velmora lee en él cómo ha terminado "
            "el proceso: no lo sabrá, o leerá lo que quedó de una vez "
            "anterior. Compruebe que se puede escribir en la carpeta de "
            "Velmora y vuelva a empezar desde ese programa.";
        if (withNotes) {
            EXPECT_EQ(scene.view.kinds(), (std::vector<std::string>{"notes", "error", "error"}));
            EXPECT_EQ(scene.view.texts("error"),
                      (std::vector<std::string>{"No se puede escribir el archivo \"" +
                                                    native(scene.notesFile) +
                                                    "\" (no existe). Compruebe que la carpeta "
                                                    "existe y que se puede escribir en ella.",
                                                ini}));
        } else {
            EXPECT_EQ(scene.view.kinds(), (std::vector<std::string>{"message", "error"}));
            EXPECT_EQ(scene.view.texts("error"), std::vector<std::string>{ini});
        }
        EXPECT_FALSE(std::filesystem::exists(scene.program));
    }
}

TEST(InteractiveClosing, WritesNothing) {
    Scene scene;
    scene.runs.notes.add(cutText());
    writeFile(scene.notesFile, "Avisos de una transformación anterior\n");
    auto presenter = scene.started({});
    scene.view.documentAnswers = {scene.document};
    presenter->convertClicked();

    presenter->windowClosing();

    EXPECT_EQ(readFile(scene.notesFile), "Avisos de una transformación anterior\n");
    EXPECT_FALSE(std::filesystem::exists(scene.ini));
    EXPECT_TRUE(scene.view.texts("error").empty());
}

} // namespace
