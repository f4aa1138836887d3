#include "support/TableFixtures.h"

#include "formats/TableRows.h"

#include <algorithm>
#include <stdexcept>

namespace velmora::testing {

namespace {

std::size_t fieldIndex(const FixtureLayout& layout, const std::string& name) {
    for (std::size_t index = 0; index < layout.fields.size(); ++index) {
        if (layout.fields[index].name == name) {
            return index;
        }
    }
    throw std::invalid_argument("no field " + name + " in " + layout.name);
}

} // namespace

void writeTable(const std::filesystem::path& folder, const FixtureLayout& layout,
                const std::vector<Record>& records) {
    TableRows rows(TableLayout{layout.name, layout.fields});
    for (const Record& record : records) {
        const std::size_t row = rows.append();
        for (const auto& [name, value] : record) {
            const std::size_t field = fieldIndex(layout, name);
            switch (layout.fields[field].type) {
            case FieldType::Text:
                rows.setText(row, field, value);
                break;
            case FieldType::Boolean:
                rows.setBoolean(row, field, value == "T");
                break;
            case FieldType::Float:
                rows.setFloat(row, field, std::stod(value));
                break;
            case FieldType::Integer:
                throw std::invalid_argument("fixtures write no whole-number fields");
            }
        }
    }
    rows.writeTo(folder);
}

FixtureLayout withoutField(const FixtureLayout& layout, const std::string& field) {
    FixtureLayout reduced = layout;
    std::erase_if(reduced.fields, [&](const FieldDef& f) { return f.name == field; });
    if (reduced.fields.size() == layout.fields.size()) {
        throw std::invalid_argument("no field " + field + " in " + layout.name);
    }
    return reduced;
}

} // namespace velmora::testing
