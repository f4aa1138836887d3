#pragma once

#include "services/Table.h"

#include <filesystem>
#include <initializer_list>
#include <string>

namespace velmora {

// The nine exchange tables of a results run, held for exclusive use so that the timetable
// program cannot change them while they are read. Destroying the object closes whatever is
// still open, so every way out of the run releases them.
class ResultTables {
public:
    // Opens SOLUC, GRUPOST, CURSOST, PROFT, AULAT, ASIGNOMT, ASIGNOMT2, DIASHORAST and ASIGT,
    // in that order; the first that cannot be opened ends the open with its error.
    static ResultTables openExclusive(const std::filesystem::path& folder);

    // Closes the nine tables in the order they were opened.
    void close();

    Table soluc;
    Table grupost;
    Table cursost;
    Table proft;
    Table aulat;
    Table asignomt;
    Table asignomt2;
    Table diashorast;
    Table asigt;
};

// Throws the table service's "Field 'NAME' not found", naming the table, for the first of
// fields that the table lacks. Checking before reading keeps a damaged table from ending the
// run half way through.
void requireFields(const Table& table, std::initializer_list<const char*> fields);

} // namespace velmora
