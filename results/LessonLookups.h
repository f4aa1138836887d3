#pragma once

#include "formats/RunNotes.h"
#include "results/ResultTables.h"
#include "results/StringPool.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>

namespace velmora {

// What the look-ups need from one scheduled SOLUC record.
struct PlacedLesson {
    std::string asig;      // subject code
    std::string codGrupo;  // group code
    std::string aula;      // room code
    std::string tarea;     // task code
    std::string dia;       // DIA as text: "2" for day 2
    std::int64_t hora = 0; // HORA as a whole number
    std::string marco;     // time frame; only its first character counts
};

// The six values of a lesson list, each named after the salida that carries it, as numbers of
// texts in the run's pool.
struct LessonValues {
    StringPool::Id actividad = StringPool::kEmpty;  // X_ACTIVIDAD
    StringPool::Id diaSemana = StringPool::kEmpty;  // N_DIASEMANA
    StringPool::Id tramo = StringPool::kEmpty;      // X_TRAMO
    StringPool::Id depCentro = StringPool::kEmpty;  // X_DEPCENTRO
    StringPool::Id materiaOmc = StringPool::kEmpty; // X_MATERIAOMC
    StringPool::Id unidad = StringPool::kEmpty;     // X_UNIDAD
};

// The six look-ups that turn a lesson's Horadia codes into Sauce's. Each look-up table is read
// once into a hash map that keeps, for every key, the first record in stored order that
// carries it, so a look-up finds the record a scan from the first record would find, in
// constant time.
class LessonLookups {
public:
    // Reads ASIGT, ASIGNOMT, GRUPOST, ASIGNOMT2, DIASHORAST and AULAT to their end.
    LessonLookups(ResultTables& tables, StringPool& pool);

    // The lesson's values; every code of it that its table does not know is noted against the
    // SOLUC record.
    LessonValues valuesFor(const PlacedLesson& lesson, std::size_t record, RunNotes& notes);

private:
    using TwoKeys = std::pair<std::string, std::string>;
    struct TwoKeysHash {
        std::size_t operator()(const TwoKeys& keys) const;
    };
    struct Group {
        StringPool::Id clave;
        std::string claveCurso;
    };
    struct Slot {
        StringPool::Id dia;
        StringPool::Id codDiho;
    };
    using Id = StringPool::Id;

    StringPool& pool_;
    std::unordered_map<TwoKeys, Id, TwoKeysHash> claveByAsignatura_;    // ASIGT
    std::unordered_map<std::string, Id> codTareaByCod_;                 // ASIGNOMT
    std::unordered_map<std::string, Group> groupByAbrev_;               // GRUPOST
    std::unordered_map<TwoKeys, Id, TwoKeysHash> materiaByCodAndCurso_; // ASIGNOMT2
    std::unordered_map<TwoKeys, Slot, TwoKeysHash> slotByDihoAndMarco_; // DIASHORAST
    std::unordered_map<std::string, Id> depCentroByAula_;               // AULAT
};

// The key under which DIASHORAST holds a day and hour: the day as text followed by the hour,
// so day 2 and hour 3 give "23".
std::string dayHourKey(const PlacedLesson& lesson);

// True when text is empty once spaces and control characters are removed from both ends.
bool isBlank(const std::string& text);

} // namespace velmora
