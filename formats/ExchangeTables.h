#pragma once

#include "services/Table.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

struct TableLayout {
    std::string name; // upper-case table name, the file is NAME.DBF
    std::vector<FieldDef> fields;
};

// The tables the conversion writes, in the order the builders create them.
namespace tables {
extern const TableLayout ASIGNOMT;
extern const TableLayout ASIGNOMT2;
extern const TableLayout PROFT;
extern const TableLayout AULAT;
extern const TableLayout CURSOST;
extern const TableLayout GRUPOST;
extern const TableLayout ASIGT;
extern const TableLayout DIASHORAST;
// The timetable program's solution, as it declares it (Velmora never writes it).
extern const TableLayout SOLUC;
} // namespace tables

// The eight tables of a conversion, in creation order.
const std::vector<const TableLayout*>& convertedTables();

// Creates NAME.DBF with the layout in folder, replacing any earlier file.
void createTable(const std::filesystem::path& folder, const TableLayout& layout);

// Opens a table of the folder whatever the letter case of its file name. A missing table gives
// an error that names it and the folder.
Table openTable(const std::filesystem::path& folder, const std::string& table, OpenMode mode);

} // namespace velmora
