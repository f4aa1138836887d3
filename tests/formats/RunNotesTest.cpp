#include "formats/RunNotes.h"
#include "support/NoteLines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using testing::noteLine;
using testing::noteLines;

// One note of each kind with every detail its kind carries, some texts shared between notes.
const Note kEveryKind[] = {
    {.kind = NoteKind::CodeNumbered,
     .table = "PROFT",
     .record = 2,
     .field = "ABREV",
     .value = "GARCÍA",
     .code = "GARCÍA1"},
    {.kind = NoteKind::TextCut,
     .table = "ASIGNOMT",
     .record = 4,
     .field = "NOMBRE",
     .value = "Un nombre muy largo",
     .stored = "Un nombre"},
    {.kind = NoteKind::CharactersReplaced,
     .table = "PROFT",
     .record = 1,
     .field = "NOMBRE",
     .value = "Łukasz",
     .stored = "Lukasz"},
    {.kind = NoteKind::RecordSkipped,
     .section = "MATERIAS",
     .record = 5,
     .value = "mat",
     .code = "MAT",
     .before = "Matemáticas",
     .after = "Matemáticas II",
     .reason = "repeated-code"},
    {.kind = NoteKind::ValueIgnored,
     .section = "INTERVALOS",
     .record = 2,
     .field = "7",
     .value = "extra",
     .reason = "no-dato"},
    {.kind = NoteKind::MinutesUnused, .section = "MATERIAS", .record = 9, .value = "9O"},
    {.kind = NoteKind::RowAdded, .table = "AULAT", .value = "A3 (Aula 3)"},
    {.kind = NoteKind::RowRemoved, .table = "AULAT", .value = "A1 (Aula 1)"},
    {.kind = NoteKind::CodeMoved,
     .table = "PROFT",
     .code = "PEREZ",
     .before = "E1 (Ana Pérez)",
     .after = "E0 (Luis Pérez)"},
    {.kind = NoteKind::LessonNotPlaced, .table = "SOLUC", .record = 8, .reason = "no-day"},
    {.kind = NoteKind::CodeNotFound, .table = "SOLUC", .record = 6, .field = "AULA", .code = "Z9"},
};

TEST(RunNotes, giveBackEveryNoteWithItsDetailsInTheOrderMade) {
    RunNotes notes;
    std::vector<std::string> expected;
    for (const Note& note : kEveryKind) {
        notes.add(note);
        expected.push_back(noteLine(note));
    }
    EXPECT_EQ(noteLines(notes), expected);
    EXPECT_EQ(notes.size(), std::size(kEveryKind));
    for (const Note& note : kEveryKind) {
        EXPECT_EQ(notes.countOf(note.kind), 1u) << noteKindName(note.kind);
    }
}

// The same code not found in three lessons: three notes, each with its own record.
TEST(RunNotes, notesThatShareTheirDetailsKeepTheirOwnRecords) {
    RunNotes notes;
    for (const std::size_t record : {3u, 7u, 12u}) {
        notes.add({.kind = NoteKind::CodeNotFound,
                   .table = "SOLUC",
                   .record = record,
                   .field = "AULA",
                   .code = "Z9"});
    }
    notes.add({.kind = NoteKind::CodeNotFound,
               .table = "SOLUC",
               .record = 13,
               .field = "AULA",
               .code = "Z"});
    EXPECT_THAT(noteLines(notes),
                ElementsAre("code-not-found table=SOLUC record=3 field=AULA code=Z9",
                            "code-not-found table=SOLUC record=7 field=AULA code=Z9",
                            "code-not-found table=SOLUC record=12 field=AULA code=Z9",
                            "code-not-found table=SOLUC record=13 field=AULA code=Z"));
    EXPECT_EQ(notes.countOf(NoteKind::CodeNotFound), 4u);
}

// A value cut in every row that stores it is one note, of the first row, with the others as
// its repeats; any detail that differs (the field, the kind, the value) makes another note.
TEST(RunNotes, aRepeatedNoteCountsOnTheFirst) {
    const Note cut{.kind = NoteKind::TextCut,
                   .table = "DIASHORAST",
                   .record = 1,
                   .field = "TEXTOHOR",
                   .value = "Primera hora de la tarde",
                   .stored = "Primera hora de"};
    RunNotes notes;
    for (std::size_t record = 1; record <= 7; ++record) {
        Note again = cut;
        again.record = record;
        notes.addOrRepeat(again);
    }
    Note otherField = cut;
    otherField.field = "TEXTODIA";
    notes.addOrRepeat(otherField);
    Note otherKind = cut;
    otherKind.kind = NoteKind::CharactersReplaced;
    notes.addOrRepeat(otherKind);
    Note otherValue = cut;
    otherValue.value = "Primera hora de la noche";
    notes.addOrRepeat(otherValue);

    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes.at(0).record, 1u);
    EXPECT_EQ(notes.at(0).repeats, 6u);
    for (std::size_t i = 1; i < notes.size(); ++i) {
        EXPECT_EQ(notes.at(i).repeats, 0u) << noteLine(notes.at(i));
    }
    EXPECT_EQ(notes.at(1).field, "TEXTODIA");
    EXPECT_EQ(notes.at(2).kind, NoteKind::CharactersReplaced);
    EXPECT_EQ(notes.at(3).value, "Primera hora de la noche");
    EXPECT_EQ(notes.countOf(NoteKind::TextCut), 3u) << "repeats are no notes of their own";
}

// Runs give names in strings of their own that they reuse: the same buffer with another text
// names another field.
TEST(RunNotes, aNameIsItsTextNotWhereItWasHeld) {
    RunNotes notes;
    std::string position;
    for (const char* text : {"7", "8", "7"}) {
        position = text;
        notes.add({.kind = NoteKind::ValueIgnored,
                   .section = "INTERVALOS",
                   .record = 2,
                   .field = position,
                   .value = "x",
                   .reason = "no-dato"});
    }
    std::vector<std::string> fields;
    for (const Note& note : notes) {
        fields.emplace_back(note.field);
    }
    EXPECT_THAT(fields, ElementsAre("7", "8", "7"));
}

// The window keeps the notes of a finished run after the run is gone.
TEST(RunNotes, aCopyReadsTheSameWhenTheOriginalIsGone) {
    std::optional<RunNotes> original(std::in_place);
    for (const Note& note : kEveryKind) {
        original->add(note);
    }
    const std::vector<std::string> before = noteLines(*original);
    const RunNotes copy = *original;
    original.reset();
    EXPECT_EQ(noteLines(copy), before);
}

// Enough notes of one place and another for the index of shared details to grow many times.
TEST(RunNotes, manyNotesStayApartAndInOrder) {
    RunNotes notes;
    constexpr std::size_t kNotes = 20000;
    for (std::size_t i = 0; i < kNotes; ++i) {
        const std::string code = std::to_string(i % 7000);
        notes.add({.kind = NoteKind::CodeNotFound,
                   .table = "SOLUC",
                   .record = i + 1,
                   .field = i % 2 == 0 ? "AULA" : "TAREA",
                   .code = code});
    }
    ASSERT_EQ(notes.size(), kNotes);
    for (const std::size_t i : {0u, 1u, 6999u, 7000u, 7001u, 13999u, 19999u}) {
        const Note note = notes.at(i);
        EXPECT_EQ(note.record, i + 1);
        EXPECT_EQ(note.field, i % 2 == 0 ? "AULA" : "TAREA");
        EXPECT_EQ(note.code, std::to_string(i % 7000));
    }
}

TEST(RunNotes, placesGroupByKindAndTableFieldWithTheirFirstNotes) {
    RunNotes notes;
    const auto cut = [&](const char* table, const char* field, std::size_t record) {
        const std::string value = "V" + std::to_string(record) + "-demasiado-largo";
        notes.add({.kind = NoteKind::TextCut,
                   .table = table,
                   .record = record,
                   .field = field,
                   .value = value,
                   .stored = value.substr(0, 10)});
    };
    notes.add({.kind = NoteKind::RowAdded, .table = "PROFT", .value = "E1"});
    for (std::size_t record = 1; record <= 5; ++record) {
        cut("ASIGNOMT", "CODLARGO", record);
        cut("ASIGT", "CASIG", record);
    }
    cut("ASIGNOMT", "NOMBRE", 9);
    notes.add({.kind = NoteKind::ValueIgnored,
               .section = "INTERVALOS",
               .record = 1,
               .field = "7",
               .reason = "no-dato"});
    notes.add({.kind = NoteKind::ValueIgnored,
               .section = "INTERVALOS",
               .record = 3,
               .field = "8",
               .reason = "no-dato"});

    const std::vector<NotePlace> places = notes.places(2);
    std::vector<std::string> summary;
    for (const NotePlace& place : places) {
        std::string line = std::string(noteKindName(place.kind)) + " " + std::string(place.table) +
                           std::string(place.section) + " " + std::string(place.field) + " " +
                           std::to_string(place.count) + ":";
        for (const Note& example : place.examples) {
            line += " " + std::to_string(example.record);
        }
        summary.push_back(line);
    }
    EXPECT_THAT(summary, ElementsAre("text-cut ASIGNOMT CODLARGO 5: 1 2",
                                     "text-cut ASIGT CASIG 5: 1 2", "text-cut ASIGNOMT NOMBRE 1: 9",
                                     "value-ignored INTERVALOS  2: 1 3", "row-added PROFT  1: 0"))
        << "a value's position is no place of its own";
    EXPECT_EQ(noteLine(places[0].examples[1]),
              "text-cut table=ASIGNOMT record=2 field=CODLARGO value=V2-demasiado-largo "
              "stored=V2-demasia");
}

} // namespace
} // namespace velmora
