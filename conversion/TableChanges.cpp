#include "conversion/TableChanges.h"

#include "services/Error.h"
#include "services/ExchangeFolder.h"

#include <map>
#include <optional>

namespace velmora {

namespace {

using namespace tables;

// What identifies a row in Sauce, and the code Horadia knows it by, if any.
template <typename Table> struct Identity {
    std::vector<Field<Table>> key;
    std::optional<Field<Table>> code;
};

// One row as compared: its key and its code.
struct KeyedRow {
    std::string key;
    std::string code;
};

std::string joined(const std::vector<std::string>& parts) {
    std::string key;
    for (const std::string& part : parts) {
        key += (key.empty() ? "" : " / ") + part;
    }
    return key;
}

template <typename Table>
std::vector<KeyedRow> newRows(const NewTable<Table>& table, const Identity<Table>& identity) {
    std::vector<KeyedRow> rows;
    for (std::size_t row = 0; row < table.size(); ++row) {
        std::vector<std::string> parts;
        for (const Field<Table>& field : identity.key) {
            parts.push_back(table.text(row, field));
        }
        rows.push_back({joined(parts), identity.code ? table.text(row, *identity.code) : ""});
    }
    return rows;
}

// The rows of the table the folder holds now; nothing when there is none, or it cannot be read
// as the table it should be.
template <typename Table>
std::optional<std::vector<KeyedRow>> oldRows(const std::filesystem::path& folder,
                                             const Identity<Table>& identity) {
    const std::string name(Table::layout.name);
    if (!findTableFile(folder, name)) {
        return std::nullopt;
    }
    try {
        DbfReader reader = openTable(folder, name, LockedFile::Lock::Shared);
        std::vector<std::size_t> keyColumns;
        for (const Field<Table>& field : identity.key) {
            keyColumns.push_back(columnOf(reader, field));
        }
        const std::optional<std::size_t> codeColumn =
            identity.code ? std::optional(columnOf(reader, *identity.code)) : std::nullopt;
        std::vector<KeyedRow> rows;
        while (const auto record = reader.next()) {
            std::vector<std::string> parts;
            for (const std::size_t column : keyColumns) {
                parts.push_back(record->text(column));
            }
            rows.push_back({joined(parts), codeColumn ? record->text(*codeColumn) : ""});
        }
        return rows;
    } catch (const Error&) {
        // A table in use is reported by the replacement itself; a foreign or damaged one has
        // nothing to compare.
        return std::nullopt;
    }
}

// Keys counted, so that a key that two rows share is added or removed once per row.
std::map<std::string, int> countKeys(const std::vector<KeyedRow>& rows) {
    std::map<std::string, int> counts;
    for (const KeyedRow& row : rows) {
        ++counts[row.key];
    }
    return counts;
}

// The key of the first row that carries each code.
std::map<std::string, std::string> keysByCode(const std::vector<KeyedRow>& rows) {
    std::map<std::string, std::string> keys;
    for (const KeyedRow& row : rows) {
        keys.try_emplace(row.code, row.key);
    }
    return keys;
}

template <typename Table>
void compare(const std::filesystem::path& folder, const NewTable<Table>& table,
             const Identity<Table>& identity, std::vector<TableChange>& changes, RunNotes& notes) {
    const auto before = oldRows(folder, identity);
    if (!before) {
        return;
    }
    const std::vector<KeyedRow> after = newRows(table, identity);
    const std::string name(Table::layout.name);
    TableChange change{name};
    const auto oldCounts = countKeys(*before);
    const auto newCounts = countKeys(after);
    for (const auto& [key, count] : newCounts) {
        const auto old = oldCounts.find(key);
        for (int extra = count - (old == oldCounts.end() ? 0 : old->second); extra > 0; --extra) {
            ++change.added;
            notes.add({.kind = NoteKind::RowAdded, .table = name, .value = key});
        }
    }
    for (const auto& [key, count] : oldCounts) {
        const auto now = newCounts.find(key);
        for (int gone = count - (now == newCounts.end() ? 0 : now->second); gone > 0; --gone) {
            ++change.removed;
            notes.add({.kind = NoteKind::RowRemoved, .table = name, .value = key});
        }
    }
    if (identity.code) {
        const auto oldKeys = keysByCode(*before);
        for (const auto& [code, key] : keysByCode(after)) {
            const auto old = oldKeys.find(code);
            if (old != oldKeys.end() && old->second != key) {
                notes.add({.kind = NoteKind::CodeMoved,
                           .table = name,
                           .code = code,
                           .before = old->second,
                           .after = key});
            }
        }
    }
    changes.push_back(change);
}

} // namespace

std::vector<TableChange> compareWithOldTables(const std::filesystem::path& exchangeFolder,
                                              const ConversionTables& tables, RunNotes& notes) {
    std::vector<TableChange> changes;
    const auto& folder = exchangeFolder;
    compare(folder, tables.asignomt, Identity<ASIGNOMT>{{ASIGNOMT::CODLARGO}, ASIGNOMT::COD},
            changes, notes);
    compare(folder, tables.asignomt2,
            Identity<ASIGNOMT2>{{ASIGNOMT2::MATERIA, ASIGNOMT2::CLAVECURSO}, {}}, changes, notes);
    compare(folder, tables.proft, Identity<PROFT>{{PROFT::X_EMPLEADO}, PROFT::ABREV}, changes,
            notes);
    compare(folder, tables.aulat, Identity<AULAT>{{AULAT::DEPCENTRO}, AULAT::ABREV}, changes,
            notes);
    compare(folder, tables.cursost, Identity<CURSOST>{{CURSOST::CLAVE}, {}}, changes, notes);
    compare(folder, tables.grupost, Identity<GRUPOST>{{GRUPOST::CLAVE}, GRUPOST::ABREV}, changes,
            notes);
    compare(folder, tables.asigt, Identity<ASIGT>{{ASIGT::CLAVE, ASIGT::CGRUP}, {}}, changes,
            notes);
    compare(folder, tables.diashorast,
            Identity<DIASHORAST>{{DIASHORAST::MARCOXML, DIASHORAST::CODDIHO, DIASHORAST::DIA}, {}},
            changes, notes);
    return changes;
}

} // namespace velmora
