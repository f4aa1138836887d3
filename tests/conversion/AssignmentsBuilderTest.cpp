#include "BuilderFixture.h"
#include "support/ErrorChecks.h"

#include <memory>

namespace velmora::testing {
namespace {

// Two courses: C1 with three groups stored around one group of C2.
const std::vector<SauceRecordValues> kCourses = {{"C1", "1º ESO", "x", "ESO", "1"},
                                                 {"C2", "2º BACH", "x", "BACH", "2"}};
const std::vector<SauceRecordValues> kGroups = {{"G1", "1 ESO A", "C1"},
                                                {"G2", "2 BACH A", "C2"},
                                                {"G3", "1 ESO B", "C1"},
                                                {"G4", "1 ESO C", "C1"}};
const std::vector<SauceRecordValues> kTasks = {{"156", "Lectiva", "LECTIVA", "S"},
                                               {"281", "Guardia", "GUARDIA", "N"},
                                               {"286", "Biblioteca", "BIBLIO", "N"}};

// Runs the builders that write what the assignments read, then the assignments.
std::unique_ptr<BuilderRun> assign(const std::vector<SauceRecordValues>& subjects,
                                   const std::vector<SauceRecordValues>& tasks = kTasks) {
    auto run = std::make_unique<BuilderRun>(std::vector<SauceSection>{
        {"MATERIAS", subjects}, {"TAREAS", tasks}, {"CURSOS", kCourses}, {"GRUPOS", kGroups}});
    CargarMaterias(run->context);
    CargarTareas(run->context);
    CargarCursosGrupos(run->context);
    CargarAsignaciones(run->context);
    return run;
}

TEST(AssignmentsBuilder, WritesOneRowPerGroupOfTheSubjectsCourse) {
    const auto run = assign({{"M1", "Matemáticas", "MATEMATICAS-1", "C1", "240"},
                             {"M2", "Historia", "HIST", "C2", "60"},
                             {"M3", "Sin grupos", "NADA", "C3", "60"},
                             {"M4", "Minúsculas", "MIN", "c1", "60"},
                             {"M2", "Historia", "HIST", "C2", "60"}});

    auto row = [](const std::string& subject, const std::string& group, const std::string& level,
                  const std::string& course, const std::string& letter, const std::string& key,
                  const std::string& courseKey) {
        return Row{{"CASIG", subject},
                   {"CGRUP", group},
                   {"NIVEL", level},
                   {"CURSO", course},
                   {"GRUPO", letter},
                   {"CLAVE", key},
                   {"CLAVECURSO", courseKey},
                   {"CPROF", ""},
                   {"CAULA", ""},
                   {"TURNO", ""},
                   {"NCONEX", ""}};
    };
    const std::vector<Row> expected = {
        row("MATEMATICA", "1 ESO A", "ESO", "1", "A", "M1", "C1"),
        row("MATEMATICA", "1 ESO B", "ESO", "1", "B", "M1", "C1"),
        row("MATEMATICA", "1 ESO C", "ESO", "1", "C", "M1", "C1"),
        row("HIST", "2 BACH A", "BACH", "2", "A", "M2", "C2"),
        row("HIST", "2 BACH A", "BACH", "2", "A", "M2", "C2"),
    };
    EXPECT_EQ(project(run->rows("ASIGT"), {"CASIG", "CGRUP", "NIVEL", "CURSO", "GRUPO", "CLAVE",
                                           "CLAVECURSO", "CPROF", "CAULA", "TURNO", "NCONEX"}),
              expected);
    EXPECT_EQ(floatColumn(run->table("ASIGT"), "HORAS"), (std::vector<double>{4, 4, 4, 1, 1}));
}

// Every group's row stores the subject's code: one cut to fit is one note that counts the other
// rows it was cut in too.
TEST(AssignmentsBuilder, ACodeCutInEveryGroupsRowIsNotedOnceWithTheOtherRows) {
    BuilderRun run({{"MATERIAS", {{"M1", "Matemáticas", "MATEMATICAS-1", "C1", "240"}}},
                    {"CURSOS", kCourses},
                    {"GRUPOS", kGroups}});
    run.context.noteWhatTheTablesChange();
    CargarMaterias(run.context);
    CargarTareas(run.context);
    CargarCursosGrupos(run.context);
    CargarAsignaciones(run.context);

    std::vector<Note> notes;
    for (const Note note : run.context.notes) {
        if (note.table == "ASIGT") {
            notes.push_back(note);
        }
    }
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].kind, NoteKind::TextCut);
    EXPECT_EQ(notes[0].field, "CASIG");
    EXPECT_EQ(notes[0].record, 1u);
    EXPECT_EQ(notes[0].stored, "MATEMATICA");
    EXPECT_EQ(notes[0].repeats, 2u);
}

struct HoursCase {
    std::string minutes;
    double hours;
    std::string sessions;
};

void PrintTo(const HoursCase& c, std::ostream* out) {
    *out << "minutes \"" << c.minutes << "\"";
}

const std::string kThirteenOnes(13, '1');

const HoursCase kHoursCases[] = {
    {"90", 2, "11"},
    {"", 1, "1"},
    {"0", 1, "1"},
    {"60", 1, "1"},
    {"61", 2, "11"},
    {"120", 2, "11"},
    {"121", 3, "111"},
    {"780", 13, kThirteenOnes},
    {"840", 14, "1" + kThirteenOnes},
    {"1500", 25, "12" + kThirteenOnes},
    {"+59", 1, "1"},
    {"-90", 1, "1"},
    {"-2147483648", 1, "1"},
    // 35791395 hours: the pattern is cut to its field of 20 characters.
    {"2147483647", 35791395, "35791382" + std::string(12, '1')},
};

class AssignmentHoursTest : public ::testing::TestWithParam<HoursCase> {};

TEST_P(AssignmentHoursTest, RoundsMinutesUpToWholeHoursOfAtLeastOne) {
    const HoursCase& c = GetParam();
    const auto run = assign({{"M1", "Mates", "MATES", "C2", c.minutes}});

    EXPECT_EQ(floatColumn(run->table("ASIGT"), "HORAS"), std::vector<double>{c.hours});
    EXPECT_EQ(column(run->rows("ASIGT"), "SESIONES"), std::vector<std::string>{c.sessions});
}

INSTANTIATE_TEST_SUITE_P(
    Minutes, AssignmentHoursTest, ::testing::ValuesIn(kHoursCases), [](const auto& info) {
        const std::string& minutes = info.param.minutes;
        if (minutes.empty()) {
            return std::string("Empty");
        }
        return (minutes[0] == '-' ? "Minus" : minutes[0] == '+' ? "Plus" : "") + caseName(minutes);
    });

class BadMinutesTest : public ::testing::TestWithParam<std::string> {};

TEST_P(BadMinutesTest, EndsTheRunNamingTheRecordAndTheValue) {
    const std::string minutes = GetParam();
    EXPECT_TRUE(failsWith(
        [&] {
            assign({{"M1", "Mates", "MATES", "C2", "60"},
                    {"solo"},
                    {"M2", "Lengua", "LENGUA", "C2", " " + minutes + "\n"}});
        },
        ErrorKind::BadMinutes,
        {.section = "MATERIAS", .record = 3, .item = "LENGUA (Lengua)", .value = minutes}))
        << minutes;
}

INSTANTIATE_TEST_SUITE_P(Values, BadMinutesTest,
                         ::testing::Values("90.5", "abc", "12x", "1h30", "x12", "+-5", "- 5", "+",
                                           "-", "1 000", "٣٠", "2147483648", "-2147483649",
                                           "99999999999999999999999"),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(AssignmentsBuilder, BadMinutesKeepTheRowsOfEarlierSubjects) {
    BuilderRun run(
        {{"MATERIAS",
          {{"M1", "Mates", "MATES", "C1", "60"}, {"M2", "Lengua", "LENGUA", "C2", "1h30"}}},
         {"CURSOS", kCourses},
         {"GRUPOS", kGroups}});
    CargarMaterias(run.context);
    CargarTareas(run.context);
    CargarCursosGrupos(run.context);
    EXPECT_THROW(CargarAsignaciones(run.context), Error);
    EXPECT_EQ(column(run.rows("ASIGT"), "CGRUP"),
              (std::vector<std::string>{"1 ESO A", "1 ESO B", "1 ESO C"}));
}

TEST(AssignmentsBuilder, MinutesOfASubjectWithoutGroupsAreNeverRead) {
    // The subject gives no row, so its minutes are used nowhere and cannot stop the run.
    const auto run = assign(
        {{"M1", "Sin grupos", "NADA", "C9", "1h30"}, {"M2", "Historia", "HIST", "C2", "60"}});
    EXPECT_EQ(column(run->rows("ASIGT"), "CASIG"), std::vector<std::string>{"HIST"});
}

struct TaskCase {
    std::string subjectName;
    std::string task;
};

void PrintTo(const TaskCase& c, std::ostream* out) {
    *out << c.subjectName;
}

const TaskCase kTaskCases[] = {
    {"Guardia de recreo", "GUARDIA"},
    {"Biblioteca", "BIBLIO"},
    {"Guardia en la biblioteca", "BIBLIO"},
    {"guardia", "GUARDIA"},
    {"Matemáticas", "LECTIVA"},
    {"Guárdia", "LECTIVA"}, // only a to z change case; "GUáRDIA" holds no GUARD
};

class AssignmentTaskTest : public ::testing::TestWithParam<TaskCase> {};

TEST_P(AssignmentTaskTest, ChoosesTheTaskFromTheSubjectName) {
    const TaskCase& c = GetParam();
    const auto run = assign({{"M1", c.subjectName, "MATES", "C2", "60"}});
    EXPECT_EQ(column(run->rows("ASIGT"), "CTAREA"), std::vector<std::string>{c.task});
}

INSTANTIATE_TEST_SUITE_P(Names, AssignmentTaskTest, ::testing::ValuesIn(kTaskCases),
                         [](const auto& info) {
                             return caseName(info.param.subjectName) + "_" + info.param.task;
                         });

TEST(AssignmentsBuilder, TakesTheCodeOfTheFirstTaskRowWithTheKey) {
    // The second task with key 281 is stored later and must not be chosen; a subject whose
    // Sauce code is 281 is no task row.
    const auto run =
        assign({{"M1", "Guardia", "281", "C2", "60"}},
               {{"281", "Guardia A", "GUARDIA-A", "N"}, {"281", "Guardia B", "GUARDIA-B", "N"}});
    EXPECT_EQ(column(run->rows("ASIGT"), "CTAREA"), std::vector<std::string>{"GUARDIA-A"});
}

TEST(AssignmentsBuilder, LeavesTheTaskEmptyWhenNoTaskRowHasTheKey) {
    const auto run =
        assign({{"M1", "Biblioteca", "BIB", "C2", "60"}}, {{"156", "Lectiva", "LECTIVA", "S"}});
    EXPECT_EQ(column(run->rows("ASIGT"), "CTAREA"), std::vector<std::string>{""});
}

TEST(AssignmentsBuilder, ReadsMissingPositionsOfShortRecordsAsEmpty) {
    BuilderRun run({{"MATERIAS", {{"M1"}, {"M2", "Dos valores"}}},
                    {"CURSOS", kCourses},
                    {"GRUPOS", {{"G1", "1 ESO A", "C1"}, {"G9", "Sin curso"}}}});
    CargarMaterias(run.context);
    CargarTareas(run.context);
    CargarCursosGrupos(run.context);
    CargarAsignaciones(run.context);

    const auto rows = run.rows("ASIGT");
    EXPECT_EQ(project(rows, {"CASIG", "CGRUP", "CLAVE", "CLAVECURSO", "SESIONES"}),
              (std::vector<Row>{{{"CASIG", ""},
                                 {"CGRUP", "Sin curso"},
                                 {"CLAVE", "M2"},
                                 {"CLAVECURSO", ""},
                                 {"SESIONES", "1"}}}));
}

TEST(AssignmentsBuilder, FindsNoTaskWithoutTheCatalogue) {
    BuilderRun run({{"MATERIAS", {{"M1", "Guardia", "GUA", "C1", "60"}}},
                    {"CURSOS", kCourses},
                    {"GRUPOS", kGroups}});
    CargarCursosGrupos(run.context);
    CargarAsignaciones(run.context);
    EXPECT_EQ(column(run.rows("ASIGT"), "CTAREA"), (std::vector<std::string>{"", "", ""}));
}

} // namespace
} // namespace velmora::testing
