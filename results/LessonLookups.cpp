#include "results/LessonLookups.h"

#include "services/Text.h"

namespace velmora {

namespace {

// Calls visit for every record of the table, from the first in stored order.
template <typename Visit> void forEachRecord(Table& table, Visit visit) {
    for (table.first(); !table.eof(); table.next()) {
        visit(table);
    }
}

template <typename Map, typename Key>
const typename Map::mapped_type* find(const Map& map, const Key& key) {
    const auto found = map.find(key);
    return found == map.end() ? nullptr : &found->second;
}

} // namespace

std::size_t LessonLookups::TwoKeysHash::operator()(const TwoKeys& keys) const {
    const std::size_t first = std::hash<std::string>{}(keys.first);
    const std::size_t second = std::hash<std::string>{}(keys.second);
    return first ^ (second + 0x9e3779b97f4a7c15ULL + (first << 6) + (first >> 2));
}

// try_emplace keeps the value already stored under a key, which is the first record's.
LessonLookups::LessonLookups(ResultTables& tables) {
    requireFields(tables.asigt, {"CASIG", "CGRUP", "CLAVE"});
    requireFields(tables.asignomt, {"COD", "CODTAREA"});
    requireFields(tables.grupost, {"ABREV", "CLAVE", "CLAVECURSO"});
    requireFields(tables.asignomt2, {"COD", "CLAVECURSO", "ALECTIVA", "MATERIA"});
    requireFields(tables.diashorast, {"DIHO", "MARCO", "DIA", "CODDIHO"});
    requireFields(tables.aulat, {"ABREV", "DEPCENTRO"});

    forEachRecord(tables.asigt, [this](const Table& t) {
        claveByAsignatura_.try_emplace({t.readText("CASIG"), t.readText("CGRUP")},
                                       t.readText("CLAVE"));
    });
    forEachRecord(tables.asignomt, [this](const Table& t) {
        codTareaByCod_.try_emplace(t.readText("COD"), t.readText("CODTAREA"));
    });
    forEachRecord(tables.grupost, [this](const Table& t) {
        groupByAbrev_.try_emplace(t.readText("ABREV"),
                                  Group{t.readText("CLAVE"), t.readText("CLAVECURSO")});
    });
    forEachRecord(tables.asignomt2, [this](const Table& t) {
        // The first record of a subject and course decides, even when it has no mark.
        const std::string materia = isBlank(t.readText("ALECTIVA")) ? "" : t.readText("MATERIA");
        materiaByCodAndCurso_.try_emplace({t.readText("COD"), t.readText("CLAVECURSO")}, materia);
    });
    forEachRecord(tables.diashorast, [this](const Table& t) {
        slotByDihoAndMarco_.try_emplace({t.readText("DIHO"), t.readText("MARCO")},
                                        Slot{t.readText("DIA"), t.readText("CODDIHO")});
    });
    forEachRecord(tables.aulat, [this](const Table& t) {
        depCentroByAula_.try_emplace(t.readText("ABREV"), t.readText("DEPCENTRO"));
    });
}

LessonValues LessonLookups::valuesFor(const PlacedLesson& lesson) const {
    LessonValues values;

    // 1. The subject as taught to the group.
    if (const auto* clave = find(claveByAsignatura_, TwoKeys{lesson.asig, lesson.codGrupo})) {
        values.materiaOmc = *clave;
    }

    // 2. The task's Sauce code; a task Horadia invented keeps its own code.
    const auto* codTarea = find(codTareaByCod_, lesson.tarea);
    values.actividad = codTarea ? *codTarea : lesson.tarea;

    // 3. The group's key and its course's key.
    std::string claveCurso;
    if (const auto* group = find(groupByAbrev_, lesson.codGrupo)) {
        values.unidad = group->clave;
        claveCurso = group->claveCurso;
    }

    // 4. Without a subject key from the assignments, the subject as given in the course.
    if (isBlank(values.materiaOmc)) {
        if (const auto* materia = find(materiaByCodAndCurso_, TwoKeys{lesson.asig, claveCurso})) {
            values.materiaOmc = *materia;
        }
    }

    // 5. The day number and Sauce's slot code of the day, hour and time frame.
    const TwoKeys dayHourAndFrame{dayHourKey(lesson), text::left(lesson.marco, 1)};
    if (const auto* slot = find(slotByDihoAndMarco_, dayHourAndFrame)) {
        values.diaSemana = slot->dia;
        values.tramo = slot->codDiho;
    }

    // 6. The department the room belongs to.
    if (const auto* depCentro = find(depCentroByAula_, lesson.aula)) {
        values.depCentro = *depCentro;
    }
    return values;
}

std::string dayHourKey(const PlacedLesson& lesson) {
    return lesson.dia + std::to_string(lesson.hora);
}

bool isBlank(const std::string& text) {
    return text::trim(text).empty();
}

} // namespace velmora
