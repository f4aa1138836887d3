#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string_view>

namespace velmora {

// The logical field types of the exchange tables; how each is stored is the table writer's
// business (Text(n) as C(n), Boolean as L, Integer as N(11,0), Float as N(20,4)).
enum class FieldType { Text, Boolean, Integer, Float };

struct FieldDef {
    std::string_view name;
    FieldType type = FieldType::Text;
    int width = 0; // bytes of Windows-1252, Text only
};

struct TableLayout {
    std::string_view name; // upper-case table name; the file is NAME.DBF
    std::span<const FieldDef> fields;
};

// A field of one table, by its place in the table's layout. The table is part of the type, so
// that a field of one table can never be set on a row of another.
template <typename Table> struct Field { std::size_t index; };

// The field of that name in a layout; a name the layout lacks does not compile.
template <typename Table, std::size_t N>
consteval Field<Table> fieldNamed(const std::array<FieldDef, N>& fields, std::string_view name) {
    for (std::size_t index = 0; index < N; ++index) {
        if (fields[index].name == name) {
            return Field<Table>{index};
        }
    }
    throw std::logic_error("no field of that name in the layout");
}

template <typename Table> constexpr std::string_view nameOf(Field<Table> field) {
    return Table::layout.fields[field.index].name;
}

} // namespace velmora
