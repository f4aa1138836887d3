// What a run that left notes says when it ends, how the user saves them, and what automatic mode
// leaves beside the completion file.
#include "FakeView.h"
#include "messages/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

// Two teachers known by one surname: the second one's code got a number.
Note numberedCode() {
    return {.kind = NoteKind::CodeNumbered,
            .table = "PROFT",
            .record = 2,
            .value = "GARCÍA",
            .code = "GARCÍA1"};
}

// The new García came first and took the code the other one had.
Note movedCode() {
    return {.kind = NoteKind::CodeMoved,
            .table = "PROFT",
            .code = "GARCÍA",
            .before = "E1 (García López, María)",
            .after = "E2 (García Ruiz, José)"};
}

const std::string numberedDetails =
    "1 código numerado para que no se repita:\n"
    "  - Tabla PROFT, registro 2: el código de «GARCÍA» ya se había dado a otro registro; se ha "
    "escrito «GARCÍA1».\n";

RunNotes notesOf(std::initializer_list<Note> notes) {
    RunNotes out;
    for (const Note& note : notes) {
        out.add(note);
    }
    return out;
}

TEST(ClosingMessage, NamesTheNotesCountsThemAndSaysWhatToDo) {
    for (const bool conversion : {true, false}) {
        Scene scene;
        scene.runs.notes = notesOf({numberedCode()});
        auto presenter = scene.started({});
        scene.view.documentAnswers = {scene.document};

        conversion ? presenter->convertClicked() : presenter->resultsClicked();

        EXPECT_EQ(scene.view.kinds(), std::vector<std::string>{"notes"});
        EXPECT_FALSE(scene.view.shown.at(0).busy);
        const app::NotesMessage& shown = scene.view.notesMessages.at(0);
        EXPECT_EQ(shown.text, "Proceso finalizado");
        EXPECT_EQ(shown.summary,
                  "Hay avisos de cosas que se han cambiado o que no se han podido usar:\n"
                  "- 1 código numerado para que no se repita\n\n"
                  "En los detalles están los primeros avisos de cada tabla y campo, y cuántos "
                  "más hay; con «Guardar avisos...» puede guardarlos todos, uno por uno, en un "
                  "archivo de texto. La guía de Velmora (botón F1 Ayuda) explica qué hacer con "
                  "cada clase de aviso.");
        EXPECT_EQ(shown.details, numberedDetails);
        EXPECT_EQ(scene.view.runsEnabled, false);
        EXPECT_EQ(presenter->completionCode(), 1);
        // Interactive use leaves no notes file.
        presenter->windowClosing();
        EXPECT_FALSE(std::filesystem::exists(scene.notesFile));
    }
}

TEST(ClosingMessage, AMovedCodeIsWarnedOfFirstAtTheWindowOnly) {
    for (const bool automatic : {false, true}) {
        Scene scene;
        scene.runs.notes = notesOf({numberedCode(), movedCode()});
        scene.view.documentAnswers = {scene.document};
        auto presenter = scene.started(automatic ? std::vector<std::string>{"exportar", "x"}
                                                 : std::vector<std::string>{});
        if (!automatic) {
            presenter->convertClicked();
        }

        if (automatic) {
            EXPECT_EQ(scene.view.kinds(), std::vector<std::string>{"notes"});
        } else {
            EXPECT_EQ(scene.view.kinds(), (std::vector<std::string>{"warning", "notes"}));
            const std::string warning = scene.view.texts("warning").at(0);
            EXPECT_TRUE(warning.starts_with("Atención: un código de Horadia nombra ahora a otro "))
                << warning;
            EXPECT_TRUE(warning.ends_with("\n\n- Tabla PROFT, código «GARCÍA»: antes «E1 (García "
                                          "López, María)», ahora «E2 (García Ruiz, José)»."))
                << warning;
        }
        EXPECT_NE(scene.view.notesMessages.at(0).details.find(
                      "Tabla PROFT: el código «GARCÍA» era de «E1 (García López, María)» y ahora "
                      "es de «E2 (García Ruiz, José)»."),
                  std::string::npos);
    }
}

// A school whose codes are all too long for their fields: every name cut, most codes numbered.
constexpr std::size_t kCutNames = 3000;
constexpr std::size_t kNumberedCodes = 1200;

RunNotes largeSchoolNotes() {
    RunNotes notes;
    for (std::size_t record = 1; record <= kCutNames; ++record) {
        const std::string number = std::to_string(record);
        const std::string value = "AULA NÚMERO " + number + " DEL EDIFICIO";
        const std::string stored = "AULA " + number;
        notes.add({.kind = NoteKind::TextCut,
                   .table = "AULAT",
                   .record = record,
                   .field = "NOMBRE",
                   .value = value,
                   .stored = stored});
    }
    for (std::size_t record = 1; record <= kNumberedCodes; ++record) {
        const std::string value = "PROFESORA" + std::to_string(record);
        const std::string code = "PROFES" + std::to_string(record);
        notes.add({.kind = NoteKind::CodeNumbered,
                   .table = "PROFT",
                   .record = record,
                   .field = "COD",
                   .value = value,
                   .code = code});
    }
    return notes;
}

std::size_t linesStartingWith(const std::string& text, const std::string& start) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        count += text.compare(at, start.size(), start) == 0 ? 1 : 0;
        at = end + 1;
    }
    return count;
}

TEST(ClosingMessage, WithManyNotesShowsAFewOfEachPlaceAndSavesEveryOne) {
    Scene scene;
    const RunNotes notes = largeSchoolNotes();
    scene.runs.notes = notes;
    const auto saved = scene.home / "todos.txt";
    scene.view.notesFileAnswers = {saved};
    scene.view.savePressesPerNotesMessage = 1;
    auto presenter = scene.started({});
    scene.view.documentAnswers = {scene.document};

    presenter->convertClicked();

    ASSERT_EQ(scene.view.kinds(), std::vector<std::string>{"notes"});
    const std::string& details = scene.view.notesMessages.at(0).details;
    EXPECT_EQ(details,
              "1200 códigos numerados para que no se repitan:\n"
              "  - Tabla PROFT, registro 1: el código de «PROFESORA1» ya se había dado a otro "
              "registro; se ha escrito «PROFES1».\n"
              "  - Tabla PROFT, registro 2: el código de «PROFESORA2» ya se había dado a otro "
              "registro; se ha escrito «PROFES2».\n"
              "  - Tabla PROFT, registro 3: el código de «PROFESORA3» ya se había dado a otro "
              "registro; se ha escrito «PROFES3».\n"
              "  - Y 1197 más en la tabla PROFT, campo COD.\n"
              "\n"
              "3000 textos recortados para caber en su campo:\n"
              "  - Tabla AULAT, registro 1, campo NOMBRE: «AULA NÚMERO 1 DEL EDIFICIO» no cabe en "
              "el campo y se ha guardado como «AULA 1».\n"
              "  - Tabla AULAT, registro 2, campo NOMBRE: «AULA NÚMERO 2 DEL EDIFICIO» no cabe en "
              "el campo y se ha guardado como «AULA 2».\n"
              "  - Tabla AULAT, registro 3, campo NOMBRE: «AULA NÚMERO 3 DEL EDIFICIO» no cabe en "
              "el campo y se ha guardado como «AULA 3».\n"
              "  - Y 2997 más en la tabla AULAT, campo NOMBRE.\n");

    // Written in pieces, with the platform's line ends: the same text as every note's details.
    const std::string file = readFile(saved);
    EXPECT_EQ(file, withPlatformLineEnds(messages::noteDetails(notes)));
    EXPECT_EQ(linesStartingWith(file, "  - Tabla AULAT, registro "), kCutNames);
    EXPECT_EQ(linesStartingWith(file, "  - Tabla PROFT, registro "), kNumberedCodes);
    EXPECT_EQ(linesStartingWith(file, "  - Y "), 0u);
    EXPECT_NE(file.find("  - Tabla PROFT, registro 1200: el código de «PROFESORA1200» ya se había "
                        "dado a otro registro; se ha escrito «PROFES1200»."),
              std::string::npos);
}

TEST(ClosingMessage, AutomaticModeLeavesEveryNoteOfAManyNotesRun) {
    Scene scene;
    scene.runs.notes = largeSchoolNotes();
    scene.view.documentAnswers = {scene.document};

    auto presenter = scene.started({"exportar", "x"});

    EXPECT_EQ(scene.view.closes, 1);
    const std::string file = readFile(scene.notesFile);
    EXPECT_EQ(linesStartingWith(file, "  - Tabla AULAT, registro "), kCutNames);
    EXPECT_EQ(linesStartingWith(file, "  - Tabla PROFT, registro "), kNumberedCodes);
    EXPECT_EQ(linesStartingWith(file, "  - Y "), 0u);
}

enum class SaveAnswer { Suggested, Cancelled, Unwritable, TwiceElsewhere };

struct SaveCase {
    std::string name;
    SaveAnswer answer;
};

void PrintTo(const SaveCase& c, std::ostream* os) {
    *os << c.name;
}

class SavingTheNotes : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SavingTheNotes, WritesThemWhereTheUserChooses) {
    const SaveCase& c = GetParam();
    Scene scene;
    scene.runs.notes = notesOf({numberedCode()});
    const auto suggested = scene.exchange / "Sauce" / "Avisos de Velmora.txt";
    const auto unwritable = scene.home / "no-existe" / "avisos.txt";
    const auto elsewhere = scene.home / "otros avisos.txt";
    switch (c.answer) {
    case SaveAnswer::Suggested:
        scene.view.notesFileAnswers = {suggested};
        break;
    case SaveAnswer::Cancelled:
        scene.view.notesFileAnswers = {std::nullopt};
        break;
    case SaveAnswer::Unwritable:
        scene.view.notesFileAnswers = {unwritable};
        break;
    case SaveAnswer::TwiceElsewhere:
        scene.view.notesFileAnswers = {elsewhere, suggested};
        break;
    }
    scene.view.savePressesPerNotesMessage = static_cast<int>(scene.view.notesFileAnswers.size());
    auto presenter = scene.started({});
    scene.view.documentAnswers = {scene.document};

    presenter->convertClicked();

    const std::vector<std::filesystem::path> everySuggestion(scene.view.savePressesPerNotesMessage,
                                                             suggested);
    EXPECT_EQ(scene.view.suggestedNotesFiles, everySuggestion);
    const bool savedThere =
        c.answer == SaveAnswer::Suggested || c.answer == SaveAnswer::TwiceElsewhere;
    if (savedThere) {
        EXPECT_EQ(readFile(suggested), withPlatformLineEnds(numberedDetails));
    } else {
        EXPECT_FALSE(std::filesystem::exists(suggested));
    }
    if (c.answer == SaveAnswer::TwiceElsewhere) {
        EXPECT_EQ(readFile(elsewhere), withPlatformLineEnds(numberedDetails));
    }
    if (c.answer == SaveAnswer::Unwritable) {
        std::filesystem::path shown = unwritable;
        EXPECT_EQ(scene.view.kinds(), (std::vector<std::string>{"notes", "error"}));
        EXPECT_EQ(scene.view.texts("error"),
                  std::vector<std::string>{"No se puede escribir el archivo \"" +
                                           pathToUtf8(shown.make_preferred()) +
                                           "\" (no existe). Compruebe que la carpeta existe y "
                                           "que se puede escribir en ella."});
    } else {
        EXPECT_EQ(scene.view.kinds(), std::vector<std::string>{"notes"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SavingTheNotes,
    ::testing::Values(SaveCase{"TheSuggestedFile", SaveAnswer::Suggested},
                      SaveCase{"Cancelled", SaveAnswer::Cancelled},
                      SaveCase{"AFolderThatDoesNotExist", SaveAnswer::Unwritable},
                      SaveCase{"TwiceInTwoPlaces", SaveAnswer::TwiceElsewhere}),
    [](const auto& info) { return info.param.name; });

} // namespace
