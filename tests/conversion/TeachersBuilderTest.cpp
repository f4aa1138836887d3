#include "BuilderFixture.h"

namespace velmora::testing {
namespace {

struct TeachersCase {
    std::string description;
    std::vector<SauceRecordValues> teachers;
    std::vector<Row> expected; // ABREV, NOMBRE, X_EMPLEADO, F_TOMAPOS
};

void PrintTo(const TeachersCase& c, std::ostream* out) {
    *out << c.description;
}

Row teacher(const std::string& code, const std::string& name, const std::string& employee,
            const std::string& since) {
    return {{"ABREV", code}, {"NOMBRE", name}, {"X_EMPLEADO", employee}, {"F_TOMAPOS", since}};
}

const TeachersCase kTeachersCases[] = {
    {"repeated codes are numbered in document order, ignoring letter case",
     {{"E1", "01/09/2010", "Ana Pérez", "PEREZ"},
      {"E2", "01/09/2011", "Luis Pérez", "PEREZ1"},
      {"E3", "01/09/2012", "Eva Pérez", "perez"},
      {"E4", "01/09/2013", "Juan Pérez", "PEREZ"}},
     {teacher("PEREZ", "Ana Pérez", "E1", "01/09/2010"),
      teacher("PEREZ1", "Luis Pérez", "E2", "01/09/2011"),
      teacher("perez2", "Eva Pérez", "E3", "01/09/2012"),
      teacher("PEREZ3", "Juan Pérez", "E4", "01/09/2013")}},
    {"sources that agree in their first ten characters collide",
     {{"E1", "", "Uno", "GARCIALOPE"}, {"E2", "", "Dos", "GARCIALOPEZ"}},
     {teacher("GARCIALOPE", "Uno", "E1", ""), teacher("GARCIALOP1", "Dos", "E2", "")}},
    {"empty sources get the first free numbers",
     {{"E1", "", "Uno", ""}, {"E2", "", "Dos", ""}, {"E3", "", "Tres", ""}},
     {teacher("", "Uno", "E1", ""), teacher("1", "Dos", "E2", ""), teacher("2", "Tres", "E3", "")}},
    {"a one-value record is skipped and takes no code",
     {{"PEREZ"}, {"E1", "", "Ana", "PEREZ"}},
     {teacher("PEREZ", "Ana", "E1", "")}},
    {"a two-value record reads its missing positions as empty",
     {{"E1", "01/09/2010"}},
     {teacher("", "", "E1", "01/09/2010")}},
    {"codes are made unique on the text as stored",
     {{"E1", "", "Łukasz", "ŁA"},
      {"E2", "", "Ödön", "ŐA"},
      {"E3", "", "Luis", "LA"},
      {"E4", "", "Wang", "漢1"},
      {"E5", "", "Zhang", "字1"}},
     {teacher("LA", "Lukasz", "E1", ""), teacher("OA", "Ödön", "E2", ""),
      teacher("LA1", "Luis", "E3", ""), teacher("?1", "Wang", "E4", ""),
      teacher("?11", "Zhang", "E5", "")}},
    {"long values are cut to their fields",
     {{" EMPLEADO-12345 ", "2010-09-01T00:00", std::string(85, 'a'), "MARTINEZRUIZ"}},
     {teacher("MARTINEZRU", std::string(80, 'a'), "EMPLEADO-1", "2010-09-01")}},
};

class TeachersBuilderTest : public ::testing::TestWithParam<TeachersCase> {};

TEST_P(TeachersBuilderTest, WritesOneTeacherPerRecordWithADistinctCode) {
    const TeachersCase& c = GetParam();
    BuilderRun run({{"PROFESORES", c.teachers}});

    CargarProfesores(run.context);

    const auto rows = run.rows("PROFT");
    EXPECT_EQ(project(rows, {"ABREV", "NOMBRE", "X_EMPLEADO", "F_TOMAPOS"}), c.expected);
    for (const Row& row : rows) {
        EXPECT_EQ(row.at("DEPART"), "");
        EXPECT_EQ(row.at("EMAIL"), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TeachersBuilderTest, ::testing::ValuesIn(kTeachersCases),
                         [](const auto& info) { return caseName(info.param.description); });

TEST(TeachersBuilder, CodesOfOtherBuildersDoNotCount) {
    BuilderRun run({{"PROFESORES", {{"E1", "", "Ana", "LAB"}}}, {"AULAS", {{"A1", "Lab", "LAB"}}}});
    CargarAulas(run.context);
    CargarProfesores(run.context);
    CargarProfesores(run.context); // each call starts its own list
    EXPECT_EQ(column(run.rows("PROFT"), "ABREV"), std::vector<std::string>{"LAB"});
    EXPECT_EQ(column(run.rows("AULAT"), "ABREV"), std::vector<std::string>{"LAB"});
}

} // namespace
} // namespace velmora::testing
