#include "BuilderFixture.h"
#include "support/NoteLines.h"

#include <gmock/gmock.h>

namespace velmora::testing {
namespace {

struct CatalogueCase {
    std::string description;
    std::vector<SauceRecordValues> subjects;
    std::vector<SauceRecordValues> tasks;
    std::vector<Row> expected; // COD, CODLARGO, NOMBRE, CODTAREA
    std::vector<bool> isTask;
};

void PrintTo(const CatalogueCase& c, std::ostream* out) {
    *out << c.description;
}

Row row(const std::string& code, const std::string& sauceCode, const std::string& name,
        const std::string& taskKey = "") {
    return {{"COD", code}, {"CODLARGO", sauceCode}, {"NOMBRE", name}, {"CODTAREA", taskKey}};
}

const std::string kLongName(90, 'n');

const CatalogueCase kCatalogueCases[] = {
    {"codes that agree in their first ten characters are numbered",
     {{"M1", "Mat 1", "MATEMATICAS1"},
      {"M2", "Mat 2", "MATEMATICAS2"},
      {"M3", "Mat 3", "MATEMATICAS3"}},
     {},
     {row("MATEMATICA", "MATEMATICA", "Mat 1"), row("MATEMATIC1", "MATEMATICA", "Mat 2"),
      row("MATEMATIC2", "MATEMATICA", "Mat 3")},
     {false, false, false}},
    {"numbering skips a code already given out",
     {{"F1", "Física", "FISICA2011"}, {"F2", "Física B", "FISICA2011B"}},
     {},
     {row("FISICA2011", "FISICA2011", "Física"), row("FISICA2012", "FISICA2011", "Física B")},
     {false, false}},
    {"a Sauce code met again in other letter case gives no row",
     {{"A1", "Primera", "AB"}, {"A2", "Segunda", "ab"}, {"A3", "Tercera", "FIS"}},
     {},
     {row("AB", "AB", "Primera"), row("FIS", "FIS", "Tercera")},
     {false, false}},
    {"a task with a subject's Sauce code gives no row",
     {{"L1", "Lengua", "LENGUA"}},
     {{"156", "Lengua otra vez", "lengua", "S"}, {"281", "Guardia", "GUARDIA", "N"}},
     {row("LENGUA", "LENGUA", "Lengua"), row("GUARDIA", "GUARDIA", "Guardia", "281")},
     {false, true}},
    {"a task's short code never repeats a subject's",
     {{"R1", "Reunión A", "REUNIONES-A"}},
     {{"300", "Reunión B", "REUNIONES-B", "N"}},
     {row("REUNIONES-", "REUNIONES-", "Reunión A"),
      row("REUNIONES1", "REUNIONES-", "Reunión B", "300")},
     {false, true}},
    {"only the first empty Sauce code gives a row",
     {{"E1", "Sin código", ""}, {"E2", "Tampoco", ""}},
     {{"T1", "Tarea sin código", "", "S"}},
     {row("", "", "Sin código")},
     {false}},
    {"records with one value are skipped",
     {{"SOLO"}, {"M2", "Tres", "TRES"}},
     {{"T1"}, {"T2", "Tarea", "TAREA"}},
     {row("TRES", "TRES", "Tres"), row("TAREA", "TAREA", "Tarea", "T2")},
     {false, true}},
    {"records with two values have an empty Sauce code",
     {{"M1", "Dos valores"}},
     {{"T1", "Tarea de dos valores"}},
     {row("", "", "Dos valores")},
     {false}},
    {"values are trimmed and long names cut to their field",
     {{" M1 ", "\n  " + kLongName + "\t", "  DIBUJO \n"}},
     {},
     {row("DIBUJO", "DIBUJO", std::string(80, 'n'))},
     {false}},
    {"a code whose tenth character is a blank is not cut again",
     {{"A1", "Uno", "ABCDEFGHI XYZ"}, {"A2", "Dos", "ABCDEFGHI"}},
     {},
     {row("ABCDEFGHI", "ABCDEFGHI", "Uno"), row("ABCDEFGHI1", "ABCDEFGHI", "Dos")},
     {false, false}},
};

class CatalogueBuilderTest : public ::testing::TestWithParam<CatalogueCase> {};

TEST_P(CatalogueBuilderTest, WritesOneRowPerSauceCodeSubjectsFirst) {
    const CatalogueCase& c = GetParam();
    // Tasks come first in the document: the builders' order, not the document's, sets the rows'.
    BuilderRun run({{"TAREAS", c.tasks}, {"MATERIAS", c.subjects}});

    CargarMaterias(run.context);
    CargarTareas(run.context);

    const auto rows = run.rows("ASIGNOMT");
    EXPECT_EQ(project(rows, {"COD", "CODLARGO", "NOMBRE", "CODTAREA"}), c.expected);
    EXPECT_EQ(column(rows, "MATERIA"), std::vector<std::string>(rows.size(), ""));
    EXPECT_EQ(booleanColumn(run.table("ASIGNOMT"), "ESTAREA"), c.isTask);
}

INSTANTIATE_TEST_SUITE_P(Cases, CatalogueBuilderTest, ::testing::ValuesIn(kCatalogueCases),
                         [](const auto& info) { return caseName(info.param.description); });

struct RepeatedCodeCase {
    std::string description;
    std::vector<SauceRecordValues> subjects;
    std::vector<SauceRecordValues> tasks;
    std::vector<std::string> notes;
};

void PrintTo(const RepeatedCodeCase& c, std::ostream* out) {
    *out << c.description;
}

const RepeatedCodeCase kRepeatedCodeCases[] = {
    {"the same subject listed for another course says nothing",
     {{"M1", "Matemáticas", "MAT", "C1"}, {"M2", "Matemáticas", "MAT", "C2"}},
     {},
     {}},
    {"another name under a code already given is noted",
     {{"M1", "Matemáticas", "MAT", "C1"},
      {"M2", "Música", "FIS", "C1"},
      {"M3", "Matemáticas II", "MAT", "C2"}},
     {},
     {"record-skipped section=MATERIAS record=3 value=MAT code=MAT before=Matemáticas "
      "after=Matemáticas II reason=repeated-code"}},
    {"the code in another letter case is noted even with the same name",
     {{"M1", "Matemáticas", "MAT", "C1"}, {"M2", "Matemáticas", "Mat", "C2"}},
     {},
     {"record-skipped section=MATERIAS record=2 value=Mat code=MAT before=Matemáticas "
      "after=Matemáticas reason=repeated-code"}},
    {"a second record without a code is noted by its name",
     {{"E1", "Sin código"}, {"E2", "Tampoco"}},
     {},
     {"record-skipped section=MATERIAS record=2 before=Sin código after=Tampoco "
      "reason=repeated-code"}},
    {"a task under a subject's code is noted in its own section",
     {{"L1", "Lengua", "LENGUA", "C1"}},
     {{"281", "Guardia", "GUARDIA", "N"}, {"156", "Lengua otra vez", "LENGUA", "S"}},
     {"record-skipped section=TAREAS record=2 value=LENGUA code=LENGUA before=Lengua "
      "after=Lengua otra vez reason=repeated-code"}},
};

class CatalogueRepeatedCode : public ::testing::TestWithParam<RepeatedCodeCase> {};

// Sauce lists a subject once for each course that has it; only a repeated code that brings
// something the catalogue leaves out is worth the school's attention.
TEST_P(CatalogueRepeatedCode, IsNotedOnlyWhenItSaysSomethingElse) {
    const RepeatedCodeCase& c = GetParam();
    BuilderRun run({{"MATERIAS", c.subjects}, {"TAREAS", c.tasks}});

    CargarMaterias(run.context);
    CargarTareas(run.context);

    EXPECT_THAT(noteLines(run.context.notes, {NoteKind::RecordSkipped}),
                ::testing::ElementsAreArray(c.notes));
}

INSTANTIATE_TEST_SUITE_P(Cases, CatalogueRepeatedCode, ::testing::ValuesIn(kRepeatedCodeCases),
                         [](const auto& info) { return caseName(info.param.description); });

TEST(CatalogueBuilder, MissingSectionsGiveOnlyTheOtherKind) {
    BuilderRun onlyTasks({{"TAREAS", {{"281", "Guardia", "GUARDIA", "N"}}}});
    CargarMaterias(onlyTasks.context);
    CargarTareas(onlyTasks.context);
    EXPECT_EQ(column(onlyTasks.rows("ASIGNOMT"), "COD"), std::vector<std::string>{"GUARDIA"});

    BuilderRun onlySubjects({{"MATERIAS", {{"M1", "Música", "MUSICA"}}}});
    CargarMaterias(onlySubjects.context);
    CargarTareas(onlySubjects.context);
    EXPECT_EQ(column(onlySubjects.rows("ASIGNOMT"), "COD"), std::vector<std::string>{"MUSICA"});
}

TEST(CatalogueBuilder, ARetriedRunStartsFromEmptyCodeLists) {
    BuilderRun run({{"MATERIAS", {{"M1", "Música", "MUSICA"}}}});
    CargarMaterias(run.context); // an attempt that failed before its tasks were added
    CargarMaterias(run.context);
    CargarTareas(run.context);
    EXPECT_EQ(project(run.rows("ASIGNOMT"), {"COD", "CODLARGO"}),
              (std::vector<Row>{{{"COD", "MUSICA"}, {"CODLARGO", "MUSICA"}}}));
}

} // namespace
} // namespace velmora::testing
