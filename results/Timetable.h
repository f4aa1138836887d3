#pragma once

#include "results/LessonLookups.h"
#include "results/ResultTables.h"
#include "results/StringPool.h"

#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora {

// One PROFT record.
struct Teacher {
    std::string abrev;    // the code SOLUC names the teacher by
    std::string empleado; // X_EMPLEADO
    std::string tomaPos;  // F_TOMAPOS
};

// Everything the result document reports, read from the tables in one pass each. The lessons
// hold numbers of texts in `texts`, so that a large timetable takes little memory beside the
// document it becomes.
struct Timetable {
    std::vector<Teacher> teachers; // in PROFT record order
    StringPool texts;
    std::unordered_map<std::string, std::vector<LessonValues>> lessonsByProf;
    RunNotes notes;

    // How many lesson lists the result holds: a lesson counts once for each teacher of its code.
    std::size_t lessonListCount() const;

    // The teacher's scheduled lessons, in SOLUC record order. Teachers who share a code share
    // their lessons.
    std::span<const LessonValues> lessonsOf(const Teacher& teacher) const;
};

// Reads the teachers and, grouped by teacher code, every SOLUC record whose day is not 0,
// with its Sauce codes looked up.
Timetable readTimetable(ResultTables& tables);

} // namespace velmora
