#pragma once

#include "services/dbf/DbfReader.h"

#include <filesystem>

namespace velmora {

// The nine exchange tables of a results run, held for exclusive use so that the timetable
// program cannot change them while they are read. Destroying the object releases them, so
// every way out of the run does.
struct ResultTables {
    // Opens SOLUC, GRUPOST, CURSOST, PROFT, AULAT, ASIGNOMT, ASIGNOMT2, DIASHORAST and ASIGT,
    // in that order; the first that cannot be opened ends the open with its error, and those
    // opened before it are released.
    static ResultTables openExclusive(const std::filesystem::path& folder);

    DbfReader soluc;
    DbfReader grupost;
    DbfReader cursost;
    DbfReader proft;
    DbfReader aulat;
    DbfReader asignomt;
    DbfReader asignomt2;
    DbfReader diashorast;
    DbfReader asigt;
};

} // namespace velmora
