// The window's presenter with the core's own runs behind it, as the program starts it: the
// conversion asks its frame question through the window, the results run reads what it left.
#include "FakeView.h"
#include "FrameFixtures.h"

#include "results/ResultsRun.h"
#include "support/TableFixtures.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

std::string schoolOfTwoFrames() {
    return sauceXml({
        {"MATERIAS", {{"M1", "Matemáticas", "MATES", "C1", "120"}}},
        {"TAREAS", {{"156", "Lectiva", "LECT", "S"}}},
        {"PROFESORES", {{"E1", "01/09/2015", "Ana Pérez", "AP"}}},
        {"AULAS", {{"A1", "Aula 1", "AULA1"}}},
        {"CURSOS", {{"C1", "1º ESO", "", "ESO", "1"}}},
        {"GRUPOS", {{"G1", "1 ESO A", "C1"}}},
        {"JORNADAS", {{"M1", "Mañana", "01/09/2026"}, {"T1", "Tarde", "01/09/2026"}}},
        {"INTERVALOS",
         {frameSlot("1", "Primera", "08:00", "08:55", "M1"),
          frameSlot("1", "Sexta", "15:00", "15:55", "T1")}},
    });
}

TEST(CoreRuns, AConversionAndItsResultsThroughTheWindow) {
    Scene scene;
    writeFile(scene.document, schoolOfTwoFrames());
    const auto program = scene.home / "bin";

    {
        FakeView view;
        app::WindowSetup setup = app::programSetup(program, {"EXPORTAR", "x"});
        setup.exchangeFolder = scene.exchange;
        setup.runs = app::coreRuns(scene.exchange);
        app::MainPresenter presenter(view, std::move(setup));
        view.presenter = &presenter;
        view.documentAnswers = {scene.document};
        view.frameAnswers = {{1}};

        presenter.windowShown();

        EXPECT_EQ(view.kinds(), (std::vector<std::string>{"frames", "message"}));
        EXPECT_EQ(view.texts("message"), std::vector<std::string>{"Proceso finalizado"});
        // Only the afternoon's slots belong to a chosen frame.
        int afternoon = 0;
        for (const Row& slot : readRows(scene.exchange / "DIASHORAST.DBF")) {
            const bool chosen = slot.at("MARCOXML") == "T1";
            afternoon += chosen ? 1 : 0;
            EXPECT_EQ(slot.at("MARCO"), chosen ? "0" : "") << slot.at("MARCOXML");
        }
        EXPECT_GT(afternoon, 0);
        EXPECT_EQ(readFile(program / "Horadia.ini"), completionFile("1"));
    }
    {
        FakeView view;
        app::WindowSetup setup = app::programSetup(program, {"importar", "x"});
        setup.exchangeFolder = scene.exchange;
        setup.runs = app::coreRuns(scene.exchange);
        app::MainPresenter presenter(view, std::move(setup));
        view.presenter = &presenter;
        view.documentAnswers = {scene.document};
        writeTable(scene.exchange, tables::SOLUC::layout, {});

        presenter.windowShown();

        EXPECT_EQ(view.texts("message"), std::vector<std::string>{"Proceso finalizado"});
        EXPECT_TRUE(std::filesystem::exists(resultPathFor(scene.document)));
        EXPECT_EQ(readFile(program / "Horadia.ini"), completionFile("1"));
    }
}

} // namespace
