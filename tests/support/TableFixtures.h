#pragma once

#include "formats/ExchangeTables.h"
#include "formats/TableLayout.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velmora::testing {

// A table layout a fixture can change: a field left out or widened, as a damaged or foreign
// table would have it.
struct FixtureLayout {
    FixtureLayout(const TableLayout& layout)
        : name(layout.name), fields(layout.fields.begin(), layout.fields.end()) {}
    FixtureLayout(std::string name, std::vector<FieldDef> fields)
        : name(std::move(name)), fields(std::move(fields)) {}

    std::string name;
    std::vector<FieldDef> fields;
};

// One record to write: field name to value, numbers as decimal text ("2.5"), logicals as T or
// F. Fields left out stay empty.
using Record = std::map<std::string, std::string>;

// Writes NAME.DBF into folder with this layout and these records, as the conversion writes its
// tables.
void writeTable(const std::filesystem::path& folder, const FixtureLayout& layout,
                const std::vector<Record>& records);

// The layout with one field left out.
FixtureLayout withoutField(const FixtureLayout& layout, const std::string& field);

} // namespace velmora::testing
