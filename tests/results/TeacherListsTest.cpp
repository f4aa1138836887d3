#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

Record teacher(const std::string& abrev, const std::string& empleado) {
    return {{"ABREV", abrev}, {"X_EMPLEADO", empleado}, {"F_TOMAPOS", "F" + empleado}};
}

// A SOLUC record told apart by its task code, which comes back as X_ACTIVIDAD when no other
// table knows it. An empty day leaves DIA unwritten.
Record placed(const std::string& prof, const std::string& tarea, const std::string& dia) {
    Record record{{"PROF", prof}, {"TAREA", tarea}, {"HORA", "1"}, {"MARCO", "1"}};
    if (!dia.empty()) {
        record["DIA"] = dia;
    }
    return record;
}

std::string status(int teachers) {
    return "ERROR: CN_ERROR=0, TE_ERROR=Servicio finalizado Correctamente, REGISTROS "
           "RECUPERADOS=" +
           std::to_string(teachers);
}

std::string teacherLine(const std::string& seq, const std::string& empleado,
                        const std::string& lessons = "") {
    return seq + ": X_EMPLEADO=" + empleado + ", F_TOMAPOS=F" + empleado + lessons;
}

std::string lesson(const std::string& path, const std::string& tarea) {
    return lessonLine(path, {tarea, "", "", "", "", ""});
}

struct TeacherCase {
    std::string name;
    std::vector<Record> proft;
    std::vector<Record> soluc;
    std::vector<std::string> expected;
};

const TeacherCase teacherCases[] = {
    {"NoTeachers", {}, {placed("T1", "L1", "1")}, {"SALIDAS: <ERROR>", status(0)}},
    {"TeachersNumberedInRecordOrder",
     {teacher("T3", "E3"), teacher("T1", "E1"), teacher("T2", "E2")},
     {},
     {"SALIDAS: <ERROR>, [EMP_1], [EMP_2], [EMP_3]", status(3), teacherLine("EMP_1", "E3"),
      teacherLine("EMP_2", "E1"), teacherLine("EMP_3", "E2")}},
    {"TeachersWithoutScheduledLessons",
     {teacher("T1", "E1"), teacher("T2", "E2")},
     {placed("T2", "L1", "0"), placed("T2", "L2", "")},
     {"SALIDAS: <ERROR>, [EMP_1], [EMP_2]", status(2), teacherLine("EMP_1", "E1"),
      teacherLine("EMP_2", "E2")}},
    {"LessonsNumberedPerTeacherWithoutGaps",
     {teacher("T1", "E1"), teacher("T2", "E2")},
     {placed("T1", "L1", "1"), placed("T2", "L2", "1"), placed("T1", "L3", "0"),
      placed("T1", "L4", "3"), placed("T2", "L5", "5")},
     {"SALIDAS: <ERROR>, [EMP_1], [EMP_2]", status(2),
      teacherLine("EMP_1", "E1", ", [TRAMO_1], [TRAMO_2]"), lesson("EMP_1/TRAMO_1", "L1"),
      lesson("EMP_1/TRAMO_2", "L4"), teacherLine("EMP_2", "E2", ", [TRAMO_1], [TRAMO_2]"),
      lesson("EMP_2/TRAMO_1", "L2"), lesson("EMP_2/TRAMO_2", "L5")}},
    {"LessonGoesToEveryTeacherOfItsCode",
     {teacher("T1", "E1"), teacher("T2", "E2"), teacher("T1", "E3")},
     {placed("T1", "L1", "2")},
     {"SALIDAS: <ERROR>, [EMP_1], [EMP_2], [EMP_3]", status(3),
      teacherLine("EMP_1", "E1", ", [TRAMO_1]"), lesson("EMP_1/TRAMO_1", "L1"),
      teacherLine("EMP_2", "E2"), teacherLine("EMP_3", "E3", ", [TRAMO_1]"),
      lesson("EMP_3/TRAMO_1", "L1")}},
    {"LessonOfNoTeacherLeftOut",
     {teacher("T1", "E1")},
     {placed("t1", "L1", "1"), placed("T9", "L2", "1"), placed("", "L3", "1")},
     {"SALIDAS: <ERROR>, [EMP_1]", status(1), teacherLine("EMP_1", "E1")}},
    {"DayRoundedToNearestHalvesToEven",
     {teacher("T1", "E1")},
     {placed("T1", "L1", "2.5"), placed("T1", "L2", "0.4"), placed("T1", "L3", "0.5"),
      placed("T1", "L4", "0.6"), placed("T1", "L5", "-0.5")},
     {"SALIDAS: <ERROR>, [EMP_1]", status(1), teacherLine("EMP_1", "E1", ", [TRAMO_1], [TRAMO_2]"),
      lesson("EMP_1/TRAMO_1", "L1"), lesson("EMP_1/TRAMO_2", "L4")}},
};

void PrintTo(const TeacherCase& c, std::ostream* out) {
    *out << c.name;
}

class TeacherListsTest : public ::testing::TestWithParam<TeacherCase> {};

TEST_P(TeacherListsTest, ResultHoldsStatusAndTeacherLists) {
    const TeacherCase& c = GetParam();
    RunFolders folders;
    writeExchange(folders.exchange, {{"PROFT", c.proft}, {"SOLUC", c.soluc}});

    const auto result = ResultsRun(folders.document, folders.exchange).run();

    EXPECT_EQ(result, folders.result);
    EXPECT_EQ(salidasOutline(result), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TeacherListsTest, ::testing::ValuesIn(teacherCases),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace velmora::testing
