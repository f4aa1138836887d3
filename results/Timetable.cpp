#include "results/Timetable.h"

namespace velmora {

namespace {

std::vector<Teacher> readTeachers(Table& proft) {
    std::vector<Teacher> teachers;
    for (proft.first(); !proft.eof(); proft.next()) {
        teachers.push_back(
            {proft.readText("ABREV"), proft.readText("X_EMPLEADO"), proft.readText("F_TOMAPOS")});
    }
    return teachers;
}

PlacedLesson readPlacedLesson(const Table& soluc) {
    return {soluc.readText("ASIG"),  soluc.readText("CODGRUPO"), soluc.readText("AULA"),
            soluc.readText("TAREA"), soluc.readText("DIA"),      soluc.readInteger("HORA"),
            soluc.readText("MARCO")};
}

} // namespace

std::span<const LessonValues> Timetable::lessonsOf(const Teacher& teacher) const {
    const auto found = lessonsByProf.find(teacher.abrev);
    if (found == lessonsByProf.end()) {
        return {};
    }
    return found->second;
}

Timetable readTimetable(ResultTables& tables) {
    requireFields(tables.proft, {"ABREV", "X_EMPLEADO", "F_TOMAPOS"});
    requireFields(tables.soluc,
                  {"PROF", "ASIG", "CODGRUPO", "TAREA", "DIA", "HORA", "MARCO", "AULA"});
    const LessonLookups lookups(tables);

    Timetable timetable;
    timetable.teacherRecordCount = tables.proft.recordCount();
    timetable.teachers = readTeachers(tables.proft);

    // One pass over SOLUC, in stored order, instead of one filtered pass per teacher.
    Table& soluc = tables.soluc;
    for (soluc.first(); !soluc.eof(); soluc.next()) {
        if (soluc.readInteger("DIA") == 0) {
            continue; // not placed in the week
        }
        timetable.lessonsByProf[soluc.readText("PROF")].push_back(
            lookups.valuesFor(readPlacedLesson(soluc)));
    }
    return timetable;
}

} // namespace velmora
