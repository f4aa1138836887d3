#include "BuilderFixture.h"

namespace velmora::testing {
namespace {

struct RoomsCase {
    std::string description;
    std::vector<SauceRecordValues> rooms;
    std::vector<Row> expected; // ABREV, NOMBRE, DEPCENTRO
};

void PrintTo(const RoomsCase& c, std::ostream* out) {
    *out << c.description;
}

Row room(const std::string& code, const std::string& name, const std::string& key) {
    return {{"ABREV", code}, {"NOMBRE", name}, {"DEPCENTRO", key}};
}

const RoomsCase kRoomsCases[] = {
    {"blanks left at the end of the cut are dropped before the look-up",
     {{"A1", "Aula norte", "AULA 1    NORTE"},
      {"A2", "Aula 1", "AULA 1"},
      {"A3", "aula", "aula 1"}},
     {room("AULA 1", "Aula norte", "A1"), room("AULA 11", "Aula 1", "A2"),
      room("aula 12", "aula", "A3")}},
    {"the same source three times",
     {{"A1", "Uno", "X"}, {"A2", "Dos", "X"}, {"A3", "Tres", "x"}},
     {room("X", "Uno", "A1"), room("X1", "Dos", "A2"), room("x2", "Tres", "A3")}},
    {"empty sources get the first free numbers",
     {{"A1", "Uno", ""}, {"A2", "Dos", ""}, {"A3", "Tres", "1"}, {"A4", "Cuatro", ""}},
     {room("", "Uno", "A1"), room("1", "Dos", "A2"), room("11", "Tres", "A3"),
      room("2", "Cuatro", "A4")}},
    {"short records: one value skipped, two values without a code",
     {{"X"}, {"A1", "Sin código"}},
     {room("", "Sin código", "A1")}},
    {"long values are cut to their fields",
     {{" DEPARTAMENTO-LARGO ", std::string(81, 'r') + " ", "LABORATORIOS"}},
     {room("LABORATORI", std::string(80, 'r'), "DEPARTAMEN")}},
};

class RoomsBuilderTest : public ::testing::TestWithParam<RoomsCase> {};

TEST_P(RoomsBuilderTest, WritesOneRoomPerRecordWithADistinctCode) {
    const RoomsCase& c = GetParam();
    BuilderRun run({{"AULAS", c.rooms}});

    CargarAulas(run.context);

    const auto rows = run.rows("AULAT");
    EXPECT_EQ(project(rows, {"ABREV", "NOMBRE", "DEPCENTRO"}), c.expected);
    EXPECT_EQ(column(rows, "EDIFICIO"), std::vector<std::string>(rows.size(), ""));
}

INSTANTIATE_TEST_SUITE_P(Cases, RoomsBuilderTest, ::testing::ValuesIn(kRoomsCases),
                         [](const auto& info) { return caseName(info.param.description); });

} // namespace
} // namespace velmora::testing
