#include "results/Timetable.h"

#include "formats/ExchangeTables.h"

#include <unordered_set>

namespace velmora {

namespace {

using tables::PROFT;
using tables::SOLUC;

std::vector<Teacher> readTeachers(DbfReader& proft) {
    const std::size_t abrev = columnOf(proft, PROFT::ABREV);
    const std::size_t empleado = columnOf(proft, PROFT::X_EMPLEADO);
    const std::size_t tomaPos = columnOf(proft, PROFT::F_TOMAPOS);
    std::vector<Teacher> teachers;
    while (const auto record = proft.next()) {
        teachers.push_back({record->text(abrev), record->text(empleado), record->text(tomaPos)});
    }
    return teachers;
}

// SOLUC's columns, found once before its first record is read.
struct SolucColumns {
    explicit SolucColumns(const DbfReader& soluc)
        : prof(columnOf(soluc, SOLUC::PROF)), asig(columnOf(soluc, SOLUC::ASIG)),
          codGrupo(columnOf(soluc, SOLUC::CODGRUPO)), tarea(columnOf(soluc, SOLUC::TAREA)),
          dia(columnOf(soluc, SOLUC::DIA)), hora(columnOf(soluc, SOLUC::HORA)),
          marco(columnOf(soluc, SOLUC::MARCO)), aula(columnOf(soluc, SOLUC::AULA)) {}

    PlacedLesson lessonOf(const DbfRecord& record) const {
        return {record.text(asig), record.text(codGrupo), record.text(aula), record.text(tarea),
                record.text(dia),  record.integer(hora),  record.text(marco)};
    }

    std::size_t prof, asig, codGrupo, tarea, dia, hora, marco, aula;
};

} // namespace

std::span<const LessonValues> Timetable::lessonsOf(const Teacher& teacher) const {
    const auto found = lessonsByProf.find(teacher.abrev);
    if (found == lessonsByProf.end()) {
        return {};
    }
    return found->second;
}

std::size_t Timetable::lessonListCount() const {
    std::size_t count = 0;
    for (const Teacher& teacher : teachers) {
        count += lessonsOf(teacher).size();
    }
    return count;
}

Timetable readTimetable(ResultTables& tables) {
    Timetable timetable;
    const SolucColumns soluc(tables.soluc);
    timetable.teachers = readTeachers(tables.proft);
    std::unordered_set<std::string> teacherCodes;
    for (const Teacher& teacher : timetable.teachers) {
        teacherCodes.insert(teacher.abrev);
    }
    LessonLookups lookups(tables, timetable.texts);

    // One pass over SOLUC, in stored order, instead of one filtered pass per teacher.
    while (const auto record = tables.soluc.next()) {
        if (record->integer(soluc.dia) == 0) {
            timetable.notes.add({.kind = NoteKind::LessonNotPlaced,
                                 .table = SOLUC::layout.name,
                                 .record = record->number(),
                                 .reason = "no-day"});
            continue;
        }
        std::string prof = record->text(soluc.prof);
        if (teacherCodes.count(prof) == 0) {
            // No teacher list takes it: the lesson appears nowhere in the result.
            timetable.notes.add({.kind = NoteKind::CodeNotFound,
                                 .table = SOLUC::layout.name,
                                 .record = record->number(),
                                 .field = nameOf(SOLUC::PROF),
                                 .code = prof});
            continue;
        }
        timetable.lessonsByProf[std::move(prof)].push_back(
            lookups.valuesFor(soluc.lessonOf(*record), record->number(), timetable.notes));
    }
    return timetable;
}

} // namespace velmora
