#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace velmora::testing {
namespace {

// A large school: 300 teachers with 100 lessons each, their SOLUC records interleaved, and
// look-up tables of thousands of records.
constexpr int teachers = 300;
constexpr int lessonsPerTeacher = 100;
constexpr int subjects = 50;
constexpr int groups = 150;
constexpr int courses = 10;
constexpr int tasks = 40;
constexpr int rooms = 200;

std::string code(char prefix, int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%03d", prefix, number);
    return text;
}

struct Placement {
    int subject, group, room, task, day, hour;
};

Placement placementOf(int teacher, int lesson) {
    const int record = lesson * teachers + teacher;
    return {lesson % subjects, record % groups, record % rooms,
            lesson % tasks,    1 + lesson % 5,  1 + (lesson / 5) % 6};
}

// Half the assignments carry no key, so the course's subject answers for them.
bool assignmentHasKey(int subject, int group) {
    return (subject + group) % 2 == 0;
}

ExchangeRecords largeSchool() {
    ExchangeRecords t;
    for (int teacher = 0; teacher < teachers; ++teacher) {
        t["PROFT"].push_back({{"ABREV", code('T', teacher)},
                              {"X_EMPLEADO", code('E', teacher)},
                              {"F_TOMAPOS", "01/09/2020"}});
    }
    for (int lesson = 0; lesson < lessonsPerTeacher; ++lesson) {
        for (int teacher = 0; teacher < teachers; ++teacher) {
            const Placement p = placementOf(teacher, lesson);
            t["SOLUC"].push_back({{"PROF", code('T', teacher)},
                                  {"ASIG", code('S', p.subject)},
                                  {"CODGRUPO", code('G', p.group)},
                                  {"AULA", code('A', p.room)},
                                  {"TAREA", code('X', p.task)},
                                  {"DIA", std::to_string(p.day)},
                                  {"HORA", std::to_string(p.hour)},
                                  {"MARCO", "1"}});
        }
    }
    for (int subject = 0; subject < subjects; ++subject) {
        for (int group = 0; group < groups; ++group) {
            t["ASIGT"].push_back(
                {{"CASIG", code('S', subject)},
                 {"CGRUP", code('G', group)},
                 {"CLAVE",
                  assignmentHasKey(subject, group) ? code('K', subject) + code('-', group) : ""}});
        }
        for (int course = 0; course < courses; ++course) {
            t["ASIGNOMT2"].push_back({{"COD", code('S', subject)},
                                      {"CLAVECURSO", code('C', course)},
                                      {"ALECTIVA", "S"},
                                      {"MATERIA", code('M', subject) + code('-', course)}});
        }
    }
    for (int group = 0; group < groups; ++group) {
        t["GRUPOST"].push_back({{"ABREV", code('G', group)},
                                {"CLAVE", code('U', group)},
                                {"CLAVECURSO", code('C', group % courses)}});
    }
    for (int task = 0; task < tasks; ++task) {
        t["ASIGNOMT"].push_back({{"COD", code('X', task)}, {"CODTAREA", code('Y', task)}});
    }
    for (int room = 0; room < rooms; ++room) {
        t["AULAT"].push_back({{"ABREV", code('A', room)}, {"DEPCENTRO", code('D', room % 7)}});
    }
    for (int day = 1; day <= 5; ++day) {
        for (int hour = 1; hour <= 6; ++hour) {
            t["DIASHORAST"].push_back({{"DIHO", std::to_string(day * 10 + hour)},
                                       {"MARCO", "1"},
                                       {"DIA", std::to_string(day)},
                                       {"CODDIHO", code('H', day * 10 + hour)}});
        }
    }
    return t;
}

std::vector<std::string> expectedOutline() {
    std::vector<std::string> lines{"SALIDAS: <ERROR>",
                                   "ERROR: CN_ERROR=0, TE_ERROR=Servicio finalizado Correctamente, "
                                   "REGISTROS RECUPERADOS=" +
                                       std::to_string(teachers)};
    for (int teacher = 0; teacher < teachers; ++teacher) {
        const std::string seq = "EMP_" + std::to_string(teacher + 1);
        lines.front() += ", [" + seq + "]";
        std::string teacherLine =
            seq + ": X_EMPLEADO=" + code('E', teacher) + ", F_TOMAPOS=01/09/2020";
        std::vector<std::string> lessonLines;
        for (int lesson = 0; lesson < lessonsPerTeacher; ++lesson) {
            const Placement p = placementOf(teacher, lesson);
            const std::string tramo = "TRAMO_" + std::to_string(lesson + 1);
            teacherLine += ", [" + tramo + "]";
            const std::string subjectKey =
                assignmentHasKey(p.subject, p.group)
                    ? code('K', p.subject) + code('-', p.group)
                    : code('M', p.subject) + code('-', p.group % courses);
            lessonLines.push_back(lessonLine(seq + "/" + tramo,
                                             {code('Y', p.task), std::to_string(p.day),
                                              code('H', p.day * 10 + p.hour), code('D', p.room % 7),
                                              subjectKey, code('U', p.group)}));
        }
        lines.push_back(teacherLine);
        lines.insert(lines.end(), lessonLines.begin(), lessonLines.end());
    }
    return lines;
}

// How long it takes is the benchmark's business (scripts/bench); here, that every lesson of a
// large school finds its way to the right place.
TEST(ResultsScale, LargeSchoolGivesEveryLessonInItsPlace) {
    RunFolders folders;
    writeExchange(folders.exchange, largeSchool());

    const auto result = ResultsRun(folders.document, folders.exchange).run();

    const auto outline = salidasOutline(result);
    const auto expected = expectedOutline();
    ASSERT_EQ(outline.size(), expected.size());
    const auto [differs, wanted] = std::mismatch(outline.begin(), outline.end(), expected.begin());
    EXPECT_TRUE(differs == outline.end()) << "line " << (differs - outline.begin()) << ":\n"
                                          << *differs << "\ninstead of\n"
                                          << *wanted;
}

} // namespace
} // namespace velmora::testing
