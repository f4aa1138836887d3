#include "BuilderFixture.h"

namespace velmora::testing {
namespace {

struct CoursesAndGroupsCase {
    std::string description;
    std::vector<SauceRecordValues> courses;
    std::vector<SauceRecordValues> groups;
    std::vector<Row> expectedGroups; // ABREV, NIVEL, CURSO, GRUPO, DESCRIP, CLAVE, CLAVECURSO
};

void PrintTo(const CoursesAndGroupsCase& c, std::ostream* out) {
    *out << c.description;
}

Row group(const std::string& code, const std::string& level, const std::string& course,
          const std::string& letter, const std::string& description, const std::string& key,
          const std::string& courseKey) {
    return {{"ABREV", code},          {"NIVEL", level}, {"CURSO", course},        {"GRUPO", letter},
            {"DESCRIP", description}, {"CLAVE", key},   {"CLAVECURSO", courseKey}};
}

const std::vector<SauceRecordValues> kEso = {{"C1", "1º ESO", "x", "ESO", "1"}};

const CoursesAndGroupsCase kCoursesAndGroupsCases[] = {
    {"a group takes level, course and description from its course",
     kEso,
     {{"G1", "1 ESO A", "C1"}},
     {group("1 ESO A", "ESO", "1", "A", "(G1) 1º ESO", "G1", "C1")}},
    {"a course without level is stored as NIV, and so are its groups",
     {{"C2", "2º BACH", "x", "", "2"}},
     {{"G2", "2 BACH A", "C2"}},
     {group("2 BACH A", "NIV", "2", "A", "(G2) 2º BACH", "G2", "C2")}},
    // The blank after the key ends the description, and reading a table drops trailing blanks.
    {"a group whose course is missing keeps only its key in the description",
     kEso,
     {{"G9", "9 X", "C9"}},
     {group("9 X", "", "", "X", "(G9)", "G9", "C9")}},
    {"course keys match with letter case",
     kEso,
     {{"G1", "1 ESO A", "c1"}},
     {group("1 ESO A", "", "", "A", "(G1)", "G1", "c1")}},
    {"of two courses with one key the first is taken",
     {{"C1", "Primero", "x", "ESO", "1"}, {"C1", "Segundo", "x", "BACH", "2"}},
     {{"G1", "A", "C1"}},
     {group("A", "ESO", "1", "A", "(G1) Primero", "G1", "C1")}},
    {"a course key cut by its field is found only under its stored form",
     {{"CURSO-LARGO-2024", "Largo", "x", "ESO", "3"}},
     {{"G1", "A", "CURSO-LARGO-2024"}, {"G2", "B", "CURSO-LARGO-"}},
     {group("A", "", "", "A", "(G1)", "G1", "CURSO-LARGO-"),
      group("B", "ESO", "3", "B", "(G2) Largo", "G2", "CURSO-LARGO-")}},
    {"the letter is the name's last character, the code drops blanks left by the cut",
     kEso,
     {{"G1", "1 ESO A   BIS", "C1"}, {"G2", "1 ESO A", "C1"}},
     {group("1 ESO A", "ESO", "1", "S", "(G1) 1º ESO", "G1", "C1"),
      group("1 ESO A1", "ESO", "1", "A", "(G2) 1º ESO", "G2", "C1")}},
    {"groups of one name in two courses get distinct codes and the same letter",
     {{"C1", "Ciencias", "x", "BACH", "2"}, {"C2", "Letras", "x", "BACH", "2"}},
     {{"G1", "2 BACH A", "C1"}, {"G2", "2 bach a", "C2"}},
     {group("2 BACH A", "BACH", "2", "A", "(G1) Ciencias", "G1", "C1"),
      group("2 bach a1", "BACH", "2", "a", "(G2) Letras", "G2", "C2")}},
    {"a name of one accented character gives that character as letter",
     kEso,
     {{"G1", "Ñ", "C1"}, {"G2", "", "C1"}},
     {group("Ñ", "ESO", "1", "Ñ", "(G1) 1º ESO", "G1", "C1"),
      group("", "ESO", "1", "", "(G2) 1º ESO", "G2", "C1")}},
    {"short records: one value skipped, two values without a course",
     {{"C0"}, {"C1", "Dos valores"}},
     {{"G0"}, {"G1", "A"}, {"G2", "B", "C1"}},
     {group("A", "", "", "A", "(G1)", "G1", ""),
      group("B", "NIV", "", "B", "(G2) Dos valores", "G2", "C1")}},
    {"keys and descriptions are cut to their fields",
     {{"C1", std::string(85, 'd'), "x", "ESO", "1"}},
     {{"GRUPO-LARGO1", "A", "C1"}},
     {group("A", "ESO", "1", "A", ("(GRUPO-LARGO1) " + std::string(85, 'd')).substr(0, 80),
            "GRUPO-LARG", "C1")}},
};

class CoursesAndGroupsBuilderTest : public ::testing::TestWithParam<CoursesAndGroupsCase> {};

TEST_P(CoursesAndGroupsBuilderTest, WritesTheGroupsWithTheirCourse) {
    const CoursesAndGroupsCase& c = GetParam();
    BuilderRun run({{"CURSOS", c.courses}, {"GRUPOS", c.groups}});

    CargarCursosGrupos(run.context);

    const auto rows = run.rows("GRUPOST");
    EXPECT_EQ(project(rows, {"ABREV", "NIVEL", "CURSO", "GRUPO", "DESCRIP", "CLAVE", "CLAVECURSO"}),
              c.expectedGroups);
    EXPECT_EQ(column(rows, "TURNO"), std::vector<std::string>(rows.size(), ""));
    EXPECT_EQ(column(rows, "MARCO"), std::vector<std::string>(rows.size(), "0"));
}

INSTANTIATE_TEST_SUITE_P(Cases, CoursesAndGroupsBuilderTest,
                         ::testing::ValuesIn(kCoursesAndGroupsCases),
                         [](const auto& info) { return caseName(info.param.description); });

TEST(CoursesAndGroupsBuilder, WritesEveryCourseRecord) {
    BuilderRun run({{"CURSOS",
                     {{"C1", "1º ESO", "no leído", "ESO", "1"},
                      {"C1", "Repetido", "x", "", "2"},
                      {"C3"},
                      {" CLAVE-DE-CURSO-LARGA ", " 3º ESO ", "x", "NIVELES", "CUARTO"}}}});

    CargarCursosGrupos(run.context);

    const std::vector<Row> expected = {
        {{"ABREV", ""},
         {"TURNO", ""},
         {"CLAVE", "C1"},
         {"NIVEL", "ESO"},
         {"CURSO", "1"},
         {"DESCRICUR", "1º ESO"}},
        {{"ABREV", ""},
         {"TURNO", ""},
         {"CLAVE", "C1"},
         {"NIVEL", "NIV"},
         {"CURSO", "2"},
         {"DESCRICUR", "Repetido"}},
        {{"ABREV", ""},
         {"TURNO", ""},
         {"CLAVE", "CLAVE-DE-CUR"},
         {"NIVEL", "NIVEL"},
         {"CURSO", "CUA"},
         {"DESCRICUR", "3º ESO"}},
    };
    EXPECT_EQ(run.rows("CURSOST"), expected);
    EXPECT_TRUE(run.rows("GRUPOST").empty());
}

TEST(CoursesAndGroupsBuilder, EachCallStartsItsOwnCodeList) {
    BuilderRun run({{"CURSOS", kEso}, {"GRUPOS", {{"G1", "1 ESO A", "C1"}}}});
    CargarCursosGrupos(run.context);
    CargarCursosGrupos(run.context);
    EXPECT_EQ(column(run.rows("GRUPOST"), "ABREV"), std::vector<std::string>{"1 ESO A"});
    EXPECT_EQ(run.rows("CURSOST").size(), 1u);
}

} // namespace
} // namespace velmora::testing
