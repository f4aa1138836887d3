#include "messages/Messages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const NoteKind kEveryKind[] = {
    NoteKind::CodeNumbered,    NoteKind::TextCut,      NoteKind::CharactersReplaced,
    NoteKind::RecordSkipped,   NoteKind::ValueIgnored, NoteKind::MinutesUnused,
    NoteKind::RowAdded,        NoteKind::RowRemoved,   NoteKind::CodeMoved,
    NoteKind::LessonNotPlaced, NoteKind::CodeNotFound};

std::string withoutLeadingCount(const std::string& text) {
    return text.substr(text.find(' ') + 1);
}

// One of each count reads in the singular, every other count (none too) in the plural; and no
// two kinds share their words, which a kind left out of the switch would.
TEST(NoteWords, CountsAgreeWithTheirNumberAndTellKindsApart) {
    EXPECT_EQ(messages::countOf(NoteKind::CodeNumbered, 1),
              "1 código numerado para que no se repita");
    EXPECT_EQ(messages::countOf(NoteKind::CodeNumbered, 3),
              "3 códigos numerados para que no se repitan");
    EXPECT_EQ(messages::countOf(NoteKind::LessonNotPlaced, 0),
              "0 clases sin colocar en el horario");
    std::set<std::string> singulars;
    std::set<std::string> plurals;
    for (const NoteKind kind : kEveryKind) {
        const std::string one = messages::countOf(kind, 1);
        const std::string many = messages::countOf(kind, 12);
        EXPECT_EQ(one.rfind("1 ", 0), 0u) << one;
        EXPECT_EQ(many.rfind("12 ", 0), 0u) << many;
        EXPECT_NE(withoutLeadingCount(one), withoutLeadingCount(many)) << noteKindName(kind);
        EXPECT_EQ(withoutLeadingCount(messages::countOf(kind, 2)), withoutLeadingCount(many));
        EXPECT_TRUE(singulars.insert(withoutLeadingCount(one)).second) << one;
        EXPECT_TRUE(plurals.insert(withoutLeadingCount(many)).second) << many;
    }
}

TEST(NoteWords, RowChangesCountEachSideInItsNumber) {
    EXPECT_EQ(messages::rowChanges(1, 0), "1 nuevo y 0 quitados");
    EXPECT_EQ(messages::rowChanges(2, 1), "2 nuevos y 1 quitado");
}

// Each note's sentence names what the school needs to find it: the table or section, the
// record, and the values it carries.
struct DescribedNote {
    Note note;
    std::vector<std::string> parts;
};

TEST(NoteWords, EachNoteNamesWhereAndWhat) {
    const DescribedNote cases[] = {
        {{.kind = NoteKind::CodeNumbered,
          .table = "PROFT",
          .record = 2,
          .value = "GARCÍA",
          .code = "GARCÍA1"},
         {"Tabla PROFT, registro 2", "«GARCÍA»", "«GARCÍA1»"}},
        {{.kind = NoteKind::TextCut,
          .table = "ASIGNOMT",
          .record = 4,
          .field = "NOMBRE",
          .value = "Un nombre muy largo",
          .stored = "Un nombre"},
         {"Tabla ASIGNOMT, registro 4, campo NOMBRE", "«Un nombre muy largo»", "«Un nombre»"}},
        {{.kind = NoteKind::TextCut,
          .table = "DIASHORAST",
          .record = 8,
          .field = "TEXTOHOR",
          .value = "Primera hora de la tarde",
          .stored = "Primera hora de",
          .repeats = 6},
         {"Tabla DIASHORAST, registro 8, campo TEXTOHOR", "Lo mismo en 6 registros más"}},
        {{.kind = NoteKind::CharactersReplaced,
          .table = "PROFT",
          .record = 1,
          .field = "NOMBRE",
          .value = "Łukasz",
          .stored = "Lukasz"},
         {"Tabla PROFT, registro 1, campo NOMBRE", "«Łukasz»", "«Lukasz»"}},
        {{.kind = NoteKind::RecordSkipped, .section = "AULAS", .record = 3, .reason = "few-values"},
         {"Sección AULAS del documento, registro 3", "menos de dos datos"}},
        {{.kind = NoteKind::RecordSkipped,
          .section = "MATERIAS",
          .record = 5,
          .value = "mat",
          .code = "MAT",
          .before = "Matemáticas",
          .after = "Matemáticas II",
          .reason = "repeated-code"},
         {"Sección MATERIAS del documento, registro 5", "«mat» (Matemáticas II)",
          "«MAT» (Matemáticas)"}},
        {{.kind = NoteKind::RecordSkipped,
          .section = "MATERIAS",
          .record = 6,
          .before = "Sin código",
          .after = "Tampoco",
          .reason = "repeated-code"},
         {"Sección MATERIAS del documento, registro 6", "«Tampoco» no tiene código",
          "«Sin código»"}},
        {{.kind = NoteKind::ValueIgnored,
          .section = "INTERVALOS",
          .record = 2,
          .field = "7",
          .value = "extra",
          .reason = "no-dato"},
         {"Sección INTERVALOS del documento, registro 2", "dato número 7", "«extra»"}},
        {{.kind = NoteKind::MinutesUnused, .section = "MATERIAS", .record = 9, .value = "9O"},
         {"Sección MATERIAS del documento, registro 9", "«9O»"}},
        {{.kind = NoteKind::RowAdded, .table = "AULAT", .value = "A3 (Aula 3)"},
         {"Tabla AULAT", "«A3 (Aula 3)»"}},
        {{.kind = NoteKind::RowRemoved, .table = "AULAT", .value = "A1 (Aula 1)"},
         {"Tabla AULAT", "«A1 (Aula 1)»"}},
        {{.kind = NoteKind::CodeMoved,
          .table = "PROFT",
          .code = "PEREZ",
          .before = "E1 (Ana Pérez)",
          .after = "E0 (Luis Pérez)"},
         {"Tabla PROFT", "«PEREZ»", "«E1 (Ana Pérez)»", "«E0 (Luis Pérez)»"}},
        {{.kind = NoteKind::LessonNotPlaced, .table = "SOLUC", .record = 8, .reason = "no-day"},
         {"Tabla SOLUC, registro 8", "día 0"}},
        {{.kind = NoteKind::CodeNotFound,
          .table = "SOLUC",
          .record = 6,
          .field = "PROF",
          .code = "ZZZ"},
         {"Tabla SOLUC, registro 6", "«ZZZ»", "PROFT"}},
        {{.kind = NoteKind::CodeNotFound,
          .table = "SOLUC",
          .record = 7,
          .field = "AULA",
          .code = "Z99"},
         {"Tabla SOLUC, registro 7, campo AULA", "«Z99»", "AULAT"}},
    };
    for (const DescribedNote& c : cases) {
        const std::string text = messages::describe(c.note);
        for (const std::string& part : c.parts) {
            EXPECT_THAT(text, HasSubstr(part)) << noteKindName(c.note.kind);
        }
        EXPECT_EQ(text.back(), '.') << text;
        EXPECT_THAT(text, Not(HasSubstr("«»"))) << "nothing to show is not shown as empty";
    }
}

// The details list the kinds in one fixed order, whatever order the run met them in, each
// under the line that counts it and with its notes in the run's order.
TEST(NoteWords, DetailsGroupTheNotesByKindInTheKindsOrder) {
    const Note moved{.kind = NoteKind::CodeMoved,
                     .table = "PROFT",
                     .code = "PEREZ",
                     .before = "E1 (Ana Pérez)",
                     .after = "E0 (Luis Pérez)"};
    const Note skippedFirst{
        .kind = NoteKind::RecordSkipped, .section = "AULAS", .record = 4, .reason = "few-values"};
    const Note numbered{
        .kind = NoteKind::CodeNumbered, .table = "PROFT", .record = 2, .value = "X", .code = "X1"};
    const Note skippedSecond{
        .kind = NoteKind::RecordSkipped, .section = "AULAS", .record = 2, .reason = "few-values"};
    RunNotes notes;
    for (const Note& note : {moved, skippedFirst, numbered, skippedSecond}) {
        notes.add(note);
    }

    const auto item = [](const Note& note) { return "  - " + messages::describe(note) + "\n"; };
    EXPECT_EQ(messages::noteDetails(notes),
              "1 código numerado para que no se repita:\n" + item(numbered) + "\n" +
                  "2 registros del documento sin usar:\n" + item(skippedFirst) +
                  item(skippedSecond) + "\n" +
                  "1 código que ahora nombra a otro profesor, aula, grupo o materia:\n" +
                  item(moved));
    EXPECT_EQ(messages::noteCounts(notes),
              (std::vector<std::string>{
                  "1 código numerado para que no se repita", "2 registros del documento sin usar",
                  "1 código que ahora nombra a otro profesor, aula, grupo o materia"}));
    EXPECT_EQ(messages::noteDetails(RunNotes{}), "");
}

// However many notes there are, the summary shows a few of each place and counts the rest.
TEST(NoteWords, TheSummaryShowsTheFirstNotesOfEachPlaceAndCountsTheRest) {
    RunNotes notes;
    for (std::size_t record = 1; record <= 5; ++record) {
        const std::string value = "10000000" + std::to_string(record);
        notes.add({.kind = NoteKind::CodeNumbered,
                   .table = "ASIGNOMT",
                   .record = record,
                   .field = "COD",
                   .value = value,
                   .code = value + "1"});
    }
    notes.add({.kind = NoteKind::TextCut,
               .table = "PROFT",
               .record = 4,
               .field = "NOMBRE",
               .value = "Un nombre muy largo",
               .stored = "Un nombre"});
    notes.add({.kind = NoteKind::TextCut,
               .table = "ASIGT",
               .record = 2,
               .field = "CASIG",
               .value = "10000000001",
               .stored = "1000000000"});
    notes.add(
        {.kind = NoteKind::RecordSkipped, .section = "AULAS", .record = 2, .reason = "few-values"});
    notes.add(
        {.kind = NoteKind::RecordSkipped, .section = "AULAS", .record = 7, .reason = "few-values"});

    const auto item = [&](std::size_t index) {
        return "  - " + messages::describe(notes.at(index)) + "\n";
    };
    EXPECT_EQ(messages::noteExamples(notes, 1),
              "5 códigos numerados para que no se repitan:\n" + item(0) +
                  "  - Y 4 más en la tabla ASIGNOMT, campo COD.\n"
                  "\n"
                  "2 textos recortados para caber en su campo:\n" +
                  item(5) + item(6) +
                  "\n"
                  "2 registros del documento sin usar:\n" +
                  item(7) + "  - Y 1 más en la sección AULAS del documento.\n");
    EXPECT_EQ(messages::noteExamples(notes, 5),
              "5 códigos numerados para que no se repitan:\n" + item(0) + item(1) + item(2) +
                  item(3) + item(4) +
                  "\n"
                  "2 textos recortados para caber en su campo:\n" +
                  item(5) + item(6) +
                  "\n"
                  "2 registros del documento sin usar:\n" +
                  item(7) + item(8))
        << "all shown: nothing more to count";
    EXPECT_EQ(messages::noteExamples(RunNotes{}), "");
}

RunNotes movedCodes(int count) {
    RunNotes notes;
    notes.add({.kind = NoteKind::RowAdded, .table = "PROFT", .value = "E0"});
    for (int i = 1; i <= count; ++i) {
        const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
        notes.add({.kind = NoteKind::CodeMoved,
                   .table = "PROFT",
                   .code = "C" + n,
                   .before = "E" + n,
                   .after = "N" + n});
    }
    return notes;
}

struct WarningCase {
    int moved;
    std::string opening;
    int listed;
    std::string rest; // the closing line for those not listed; empty when all are
};

TEST(NoteWords, TheMovedCodesWarningListsAtMostTenAndCountsTheRest) {
    const WarningCase cases[] = {
        {1, "Atención: un código de Horadia nombra ahora", 1, ""},
        {10, "Atención: 10 códigos de Horadia nombran ahora", 10, ""},
        {11, "Atención: 11 códigos de Horadia nombran ahora", 10, "\n- 1 otro más, en los avisos."},
        {25, "Atención: 25 códigos de Horadia nombran ahora", 10,
         "\n- 15 otros más, en los avisos."},
    };
    for (const WarningCase& c : cases) {
        const auto warning = messages::movedCodesWarning(movedCodes(c.moved));
        ASSERT_TRUE(warning.has_value()) << c.moved;
        EXPECT_EQ(warning->rfind(c.opening, 0), 0u) << *warning;
        for (int i = 1; i <= c.moved; ++i) {
            const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
            const auto line =
                "\n- Tabla PROFT, código «C" + n + "»: antes «E" + n + "», ahora «N" + n + "».";
            if (i <= c.listed) {
                EXPECT_THAT(*warning, HasSubstr(line)) << c.moved;
            } else {
                EXPECT_THAT(*warning, Not(HasSubstr(line))) << c.moved;
            }
        }
        if (c.rest.empty()) {
            EXPECT_THAT(*warning, Not(HasSubstr("más, en los avisos"))) << c.moved;
        } else {
            EXPECT_EQ(warning->substr(warning->size() - c.rest.size()), c.rest) << c.moved;
        }
    }
    EXPECT_FALSE(messages::movedCodesWarning(movedCodes(0)).has_value())
        << "other notes alone give no warning";
}

// A code that several tables could have known names them all.
TEST(NoteWords, ACodeNotFoundNamesEveryTableThatCouldHaveKnownIt) {
    const auto words = [](const char* field) {
        return messages::describe(Note{.kind = NoteKind::CodeNotFound,
                                       .table = "SOLUC",
                                       .record = 2,
                                       .field = field,
                                       .code = "X"});
    };
    EXPECT_THAT(words("ASIG"), HasSubstr("no está en ASIGT ni en ASIGNOMT2;"));
    EXPECT_THAT(words("DIA+HORA+MARCO"), HasSubstr("no está en DIASHORAST;"));
}

} // namespace
} // namespace velmora
