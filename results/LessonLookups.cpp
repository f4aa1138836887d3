#include "results/LessonLookups.h"

#include "formats/ExchangeTables.h"
#include "services/text/Text.h"

#include <string_view>

namespace velmora {

namespace {

using namespace tables;

template <typename Map, typename Key>
const typename Map::mapped_type* find(const Map& map, const Key& key) {
    const auto found = map.find(key);
    return found == map.end() ? nullptr : &found->second;
}

// Calls visit for every record of the table, from the first in stored order.
template <typename Visit> void forEachRecord(DbfReader& table, Visit visit) {
    while (const auto record = table.next()) {
        visit(*record);
    }
}

} // namespace

std::size_t LessonLookups::TwoKeysHash::operator()(const TwoKeys& keys) const {
    const std::size_t first = std::hash<std::string>{}(keys.first);
    const std::size_t second = std::hash<std::string>{}(keys.second);
    return first ^ (second + 0x9e3779b97f4a7c15ULL + (first << 6) + (first >> 2));
}

// try_emplace keeps the value already stored under a key, which is the first record's. Every
// column is looked up before the first record is read, so a table without a field fails before
// anything else is done.
LessonLookups::LessonLookups(ResultTables& tables, StringPool& pool) : pool_(pool) {
    const std::size_t casig = columnOf(tables.asigt, ASIGT::CASIG);
    const std::size_t cgrup = columnOf(tables.asigt, ASIGT::CGRUP);
    const std::size_t asigtClave = columnOf(tables.asigt, ASIGT::CLAVE);
    const std::size_t cod = columnOf(tables.asignomt, ASIGNOMT::COD);
    const std::size_t codTarea = columnOf(tables.asignomt, ASIGNOMT::CODTAREA);
    const std::size_t abrev = columnOf(tables.grupost, GRUPOST::ABREV);
    const std::size_t grupoClave = columnOf(tables.grupost, GRUPOST::CLAVE);
    const std::size_t grupoCurso = columnOf(tables.grupost, GRUPOST::CLAVECURSO);
    const std::size_t cod2 = columnOf(tables.asignomt2, ASIGNOMT2::COD);
    const std::size_t curso2 = columnOf(tables.asignomt2, ASIGNOMT2::CLAVECURSO);
    const std::size_t alectiva = columnOf(tables.asignomt2, ASIGNOMT2::ALECTIVA);
    const std::size_t materia = columnOf(tables.asignomt2, ASIGNOMT2::MATERIA);
    const std::size_t diho = columnOf(tables.diashorast, DIASHORAST::DIHO);
    const std::size_t marco = columnOf(tables.diashorast, DIASHORAST::MARCO);
    const std::size_t dia = columnOf(tables.diashorast, DIASHORAST::DIA);
    const std::size_t codDiho = columnOf(tables.diashorast, DIASHORAST::CODDIHO);
    const std::size_t aula = columnOf(tables.aulat, AULAT::ABREV);
    const std::size_t depCentro = columnOf(tables.aulat, AULAT::DEPCENTRO);

    forEachRecord(tables.asigt, [&](const DbfRecord& r) {
        claveByAsignatura_.try_emplace({r.text(casig), r.text(cgrup)},
                                       pool_.intern(r.text(asigtClave)));
    });
    forEachRecord(tables.asignomt, [&](const DbfRecord& r) {
        codTareaByCod_.try_emplace(r.text(cod), pool_.intern(r.text(codTarea)));
    });
    forEachRecord(tables.grupost, [&](const DbfRecord& r) {
        groupByAbrev_.try_emplace(r.text(abrev),
                                  Group{pool_.intern(r.text(grupoClave)), r.text(grupoCurso)});
    });
    forEachRecord(tables.asignomt2, [&](const DbfRecord& r) {
        // The first record of a subject and course decides, even when it has no mark.
        const std::string key = isBlank(r.text(alectiva)) ? "" : r.text(materia);
        materiaByCodAndCurso_.try_emplace({r.text(cod2), r.text(curso2)}, pool_.intern(key));
    });
    forEachRecord(tables.diashorast, [&](const DbfRecord& r) {
        slotByDihoAndMarco_.try_emplace(
            {r.text(diho), r.text(marco)},
            Slot{pool_.intern(r.text(dia)), pool_.intern(r.text(codDiho))});
    });
    forEachRecord(tables.aulat, [&](const DbfRecord& r) {
        depCentroByAula_.try_emplace(r.text(aula), pool_.intern(r.text(depCentro)));
    });
}

LessonValues LessonLookups::valuesFor(const PlacedLesson& lesson, std::size_t record,
                                      RunNotes& notes) {
    // A code that is given and that its table does not know: the lesson comes back without
    // what that table would have told.
    const auto notFound = [&](std::string_view field, const std::string& code) {
        if (!isBlank(code)) {
            notes.add({.kind = NoteKind::CodeNotFound,
                       .table = SOLUC::layout.name,
                       .record = record,
                       .field = field,
                       .code = code});
        }
    };
    LessonValues values;

    // 1. The subject as taught to the group.
    const Id* clave = find(claveByAsignatura_, TwoKeys{lesson.asig, lesson.codGrupo});
    if (clave != nullptr) {
        values.materiaOmc = *clave;
    }

    // 2. The task's Sauce code; a task Horadia invented keeps its own code.
    const Id* codTarea = find(codTareaByCod_, lesson.tarea);
    values.actividad = codTarea ? *codTarea : pool_.intern(lesson.tarea);
    if (codTarea == nullptr) {
        notFound(nameOf(SOLUC::TAREA), lesson.tarea);
    }

    // 3. The group's key and its course's key.
    std::string claveCurso;
    if (const Group* group = find(groupByAbrev_, lesson.codGrupo)) {
        values.unidad = group->clave;
        claveCurso = group->claveCurso;
    } else {
        notFound(nameOf(SOLUC::CODGRUPO), lesson.codGrupo);
    }

    // 4. Without a subject key from the assignments, the subject as given in the course.
    if (isBlank(pool_.text(values.materiaOmc))) {
        const Id* materia = find(materiaByCodAndCurso_, TwoKeys{lesson.asig, claveCurso});
        if (materia != nullptr) {
            values.materiaOmc = *materia;
        } else if (clave == nullptr) {
            notFound(nameOf(SOLUC::ASIG), lesson.asig);
        }
    }

    // 5. The day number and Sauce's slot code of the day, hour and time frame.
    const TwoKeys dayHourAndFrame{dayHourKey(lesson), text::left(lesson.marco, 1)};
    if (const Slot* slot = find(slotByDihoAndMarco_, dayHourAndFrame)) {
        values.diaSemana = slot->dia;
        values.tramo = slot->codDiho;
    } else {
        notFound(solucSlotFields(), dayHourAndFrame.first + "+" + dayHourAndFrame.second);
    }

    // 6. The department the room belongs to.
    if (const Id* depCentro = find(depCentroByAula_, lesson.aula)) {
        values.depCentro = *depCentro;
    } else {
        notFound(nameOf(SOLUC::AULA), lesson.aula);
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
