#include "BuilderFixture.h"

namespace velmora::testing {
namespace {

struct SubjectsByCourseCase {
    std::string description;
    std::vector<SauceRecordValues> subjects;
    std::vector<SauceRecordValues> tasks;
    std::vector<Row> expected;
};

void PrintTo(const SubjectsByCourseCase& c, std::ostream* out) {
    *out << c.description;
}

Row subject(const std::string& code, const std::string& sauceCode, const std::string& name,
            const std::string& key, const std::string& course) {
    return {{"COD", code},    {"CODLARGO", sauceCode}, {"NOMBRE", name},
            {"MATERIA", key}, {"CLAVECURSO", course},  {"ALECTIVA", ""}};
}

Row task(const std::string& code, const std::string& sauceCode, const std::string& name,
         const std::string& key, const std::string& lective) {
    return {{"COD", code},    {"CODLARGO", sauceCode}, {"NOMBRE", name},
            {"MATERIA", key}, {"CLAVECURSO", ""},      {"ALECTIVA", lective}};
}

const SubjectsByCourseCase kSubjectsByCourseCases[] = {
    {"the code keeps four characters and the long code ten",
     {{"M1", "Matemáticas", "MATEMATICAS", "C1"}},
     {},
     {subject("MATE", "MATEMATICA", "Matemáticas", "M1", "C1")}},
    {"a code shorter than four characters is kept whole",
     {{"M2", "Física y Química", "FQ", "C1"}},
     {},
     {subject("FQ", "FQ", "Física y Química", "M2", "C1")}},
    {"four characters, not four bytes",
     {{"M3", "Álgebra", "ÁLGEBRA", "C1"}},
     {},
     {subject("ÁLGE", "ÁLGEBRA", "Álgebra", "M3", "C1")}},
    {"one row per course and per repetition, in document order",
     {{"M1", "Mates", "MATES", "C1"},
      {"M1", "Mates", "MATES", "C2"},
      {"M1", "Mates", "MATES", "C2"},
      {"M4", "Matemáticas B", "MATEMATICASB", "C1"}},
     {},
     {subject("MATE", "MATES", "Mates", "M1", "C1"), subject("MATE", "MATES", "Mates", "M1", "C2"),
      subject("MATE", "MATES", "Mates", "M1", "C2"),
      subject("MATE", "MATEMATICA", "Matemáticas B", "M4", "C1")}},
    {"a task keeps the first character of its lective mark",
     {},
     {{"156", "Lectiva", "LECTIVA", "SI"}, {"281", "Guardia", "GUARDIA", ""}},
     {task("LECT", "LECTIVA", "Lectiva", "156", "S"),
      task("GUAR", "GUARDIA", "Guardia", "281", "")}},
    {"short records are skipped and missing positions read as empty",
     {{"SOLO"}, {"M5", "Sin código"}, {"M6", "Sin curso", "SINCURSO"}},
     {{"T0"}, {"T1", "Sin nada"}},
     {subject("", "", "Sin código", "M5", ""), subject("SINC", "SINCURSO", "Sin curso", "M6", ""),
      task("", "", "Sin nada", "T1", "")}},
    {"values are trimmed and cut to their fields",
     {{"  CLAVE-LARGA  ", std::string(50, 'x'), "\tCODIGO-MUY-LARGO\n", " CURSO-DEMASIADO-LARGO "}},
     {},
     {subject("CODI", "CODIGO-MUY", std::string(40, 'x'), "CLAVE-LA", "CURSO-DEMASI")}},
};

class SubjectsByCourseBuilderTest : public ::testing::TestWithParam<SubjectsByCourseCase> {};

TEST_P(SubjectsByCourseBuilderTest, WritesEverySubjectThenEveryTask) {
    const SubjectsByCourseCase& c = GetParam();
    // Tasks come first in the document; the rows still list the subjects first.
    BuilderRun run({{"TAREAS", c.tasks}, {"MATERIAS", c.subjects}});

    CargarMateriasCurso(run.context);

    EXPECT_EQ(run.rows("ASIGNOMT2"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SubjectsByCourseBuilderTest,
                         ::testing::ValuesIn(kSubjectsByCourseCases),
                         [](const auto& info) { return caseName(info.param.description); });

} // namespace
} // namespace velmora::testing
