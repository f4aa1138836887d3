#pragma once

#include "support/TestSupport.h"

#include <string>

namespace velmora::testing {

// A slot of the INTERVALOS section, its values named as Sauce names them.
inline SauceRecordValues frameSlot(const std::string& order, const std::string& name,
                                   const std::string& start, const std::string& end,
                                   const std::string& frame) {
    return {"dato=CODIGO_SAUCE|" + frame + order,
            "dato=NOMBRE|" + name,
            "dato=INICIO|" + start,
            "dato=FIN|" + end,
            "dato=ORDEN|" + order,
            "dato=CLAVE_JORNADA|" + frame};
}

// Three frames: a morning of three slots, an afternoon of one, a night without slots.
inline std::string threeFrames() {
    return sauceXml({{"JORNADAS",
                      {{"MANANA", "Mañana", "01/09/2026"},
                       {"TARDE", "Tarde", "15/09/2026"},
                       {"NOCHE", "Nocturno de adultos", "30/09/2026"}}},
                     {"INTERVALOS",
                      {frameSlot("1", "Primera", "08:00", "08:55", "MANANA"),
                       frameSlot("1", "Sexta", "15:00", "15:55", "TARDE"),
                       frameSlot("2", "Segunda", "08:55", "09:50", "MANANA"),
                       frameSlot("3", "Tercera", "09:50", "10:45", "MANANA")}}});
}

} // namespace velmora::testing
