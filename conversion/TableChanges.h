#pragma once

#include "conversion/ConversionTables.h"
#include "formats/RunNotes.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// How a table changed from the one it replaces, counted by the Sauce key of its rows.
struct TableChange {
    std::string table;
    std::size_t added = 0;
    std::size_t removed = 0;
};

// Compares the tables of the exchange folder with the new ones about to replace them, row by
// row by each row's Sauce key (a teacher's employee key, a group's key...), and notes the rows
// added and removed and every code that now names another teacher, room, group or subject:
// Horadia's own timetable knows them by their codes, and would silently move their lessons. A
// table that is missing, or does not carry the fields compared, is not compared.
std::vector<TableChange> compareWithOldTables(const std::filesystem::path& exchangeFolder,
                                              const ConversionTables& tables, RunNotes& notes);

} // namespace velmora
