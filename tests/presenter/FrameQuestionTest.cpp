// The conversion's time-frame question, as the window answers it: its dialog again and again
// until one or two frames are chosen, with the ordinary pointer while it asks.
#include "FakeView.h"
#include "FrameFixtures.h"

#include "messages/Messages.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

const std::string kTooMany =
    "Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos Horarios";
const std::string kNone = "Debe al menos seleccionar 1 Marco Horario.";

struct FrameScene : Scene {
    FrameScene() {
        writeFile(document, threeFrames());
        runs.askFrames = true;
        view.documentAnswers = {document};
    }
};

TEST(FrameQuestion, AsksAgainUntilOneOrTwoFramesAreChosen) {
    FrameScene scene;
    scene.view.frameAnswers = {{0, 1, 2}, {}, {2, 1}};

    auto presenter = scene.started({"exportar", "x"});

    EXPECT_EQ(scene.runs.answered, std::vector<std::string>{"TARDE     NOCHE     "});
    EXPECT_EQ(scene.view.kinds(), (std::vector<std::string>{"frames", "frame-message", "frames",
                                                            "frame-message", "frames", "message"}));
    EXPECT_EQ(scene.view.texts("frame-message"), (std::vector<std::string>{kTooMany, kNone}));
    // Each dialog reads the window's document, with the ordinary pointer; the run goes on
    // under the hour-glass.
    for (const Shown& box : scene.view.shown) {
        if (box.kind == "frames") {
            EXPECT_EQ(box.text, pathToUtf8(scene.document));
        }
        EXPECT_FALSE(box.busy) << box.kind;
    }
    EXPECT_EQ(presenter->completionCode(), 1);
}

TEST(FrameQuestion, TheBusyPointerComesBackAfterTheAnswer) {
    FrameScene scene;
    scene.view.frameAnswers = {{0}};
    bool busyAfterAnswer = false;
    scene.runs.fail = [&scene, &busyAfterAnswer] {
        busyAfterAnswer = scene.view.busy;
        throw Error(ErrorKind::TableInUse, {.table = "DIASHORAST"});
    };

    scene.started({"exportar", "x"});

    EXPECT_TRUE(busyAfterAnswer);
    EXPECT_FALSE(scene.view.busy);
}

enum class Spoiled { Removed, NotXml, OneFrame };

struct NothingCase {
    std::string name;
    Spoiled spoiled;
    bool meanwhile; // between the window's own reading and the dialog's, not before the question
    ErrorKind kind;
};

void PrintTo(const NothingCase& c, std::ostream* os) {
    *os << c.name;
}

class NothingToChoose : public ::testing::TestWithParam<NothingCase> {};

// The file has changed since the run read it: no choice can ever be made there.
TEST_P(NothingToChoose, StopsTheRunWithAnErrorInsteadOfAskingForEver) {
    const NothingCase& c = GetParam();
    FrameScene scene;
    const auto spoil = [&c, &scene] {
        switch (c.spoiled) {
        case Spoiled::Removed:
            std::filesystem::remove(scene.document);
            break;
        case Spoiled::NotXml:
            writeFile(scene.document, "<SERVICIO>");
            break;
        case Spoiled::OneFrame:
            writeFile(scene.document, sauceXml({{"JORNADAS", {{"M1", "Mañana"}}}}));
            break;
        }
    };
    scene.view.frameAnswers = {{0}};
    (c.meanwhile ? scene.view.beforeFrameDialog : scene.runs.beforeFrames) = spoil;

    auto presenter = scene.started({"exportar", "x"});

    // Asked before the question is put, the dialog is never shown.
    EXPECT_EQ(scene.view.texts("frames").size(), c.meanwhile ? 1u : 0u);
    EXPECT_EQ(scene.view.texts("error"), std::vector<std::string>{messages::describe(
                                             Error(c.kind, {.file = scene.document}))});
    EXPECT_TRUE(scene.runs.answered.empty());
    EXPECT_EQ(presenter->completionCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NothingToChoose,
    ::testing::Values(
        NothingCase{"Removed", Spoiled::Removed, false, ErrorKind::FramesUnreadable},
        NothingCase{"NotXml", Spoiled::NotXml, false, ErrorKind::FramesUnreadable},
        NothingCase{"OneFrame", Spoiled::OneFrame, false, ErrorKind::FramesNotOffered},
        NothingCase{"RemovedMeanwhile", Spoiled::Removed, true, ErrorKind::FramesUnreadable},
        NothingCase{"NotXmlMeanwhile", Spoiled::NotXml, true, ErrorKind::FramesUnreadable},
        NothingCase{"OneFrameMeanwhile", Spoiled::OneFrame, true, ErrorKind::FramesNotOffered}),
    [](const auto& info) { return info.param.name; });

} // namespace
