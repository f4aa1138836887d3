#include "conversion/TableChanges.h"

#include "services/Error.h"
#include "services/ExchangeFolder.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>

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

void appendKeyPart(std::string& key, std::string_view part, bool first) {
    if (!first) {
        key += " / ";
    }
    key += part;
}

template <typename Table>
std::vector<KeyedRow> newRows(const NewTable<Table>& table, const Identity<Table>& identity) {
    std::vector<KeyedRow> rows;
    rows.reserve(table.size());
    for (std::size_t row = 0; row < table.size(); ++row) {
        KeyedRow keyed;
        for (std::size_t part = 0; part < identity.key.size(); ++part) {
            appendKeyPart(keyed.key, table.text(row, identity.key[part]), part == 0);
        }
        if (identity.code) {
            keyed.code = table.text(row, *identity.code);
        }
        rows.push_back(std::move(keyed));
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
            KeyedRow keyed;
            for (std::size_t part = 0; part < keyColumns.size(); ++part) {
                appendKeyPart(keyed.key, record->text(keyColumns[part]), part == 0);
            }
            if (codeColumn) {
                keyed.code = record->text(*codeColumn);
            }
            rows.push_back(std::move(keyed));
        }
        return rows;
    } catch (const Error&) {
        // A table in use is reported by the replacement itself; a foreign or damaged one has
        // nothing to compare.
        return std::nullopt;
    }
}

std::vector<std::string_view> sortedKeys(const std::vector<KeyedRow>& rows) {
    std::vector<std::string_view> keys;
    keys.reserve(rows.size());
    for (const KeyedRow& row : rows) {
        keys.push_back(row.key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// The keys one side has more often than the other, each once per extra row: the two sorted
// lists walked side by side.
struct KeyDifference {
    std::vector<std::string_view> added;
    std::vector<std::string_view> removed;
};

KeyDifference differenceOf(const std::vector<std::string_view>& before,
                           const std::vector<std::string_view>& after) {
    KeyDifference difference;
    auto old = before.begin();
    auto now = after.begin();
    while (old != before.end() || now != after.end()) {
        if (now == after.end() || (old != before.end() && *old < *now)) {
            difference.removed.push_back(*old++);
        } else if (old == before.end() || *now < *old) {
            difference.added.push_back(*now++);
        } else {
            ++old;
            ++now;
        }
    }
    return difference;
}

// The key of the first row that carries each code.
std::unordered_map<std::string_view, std::string_view>
keysByCode(const std::vector<KeyedRow>& rows) {
    std::unordered_map<std::string_view, std::string_view> keys;
    keys.reserve(rows.size());
    for (const KeyedRow& row : rows) {
        keys.try_emplace(row.code, row.key);
    }
    return keys;
}

// A code that names another row than it did: Horadia's data under that code now belongs to
// something else. Noted in the order of the codes.
void noteMovedCodes(const std::string& table, const std::vector<KeyedRow>& before,
                    const std::vector<KeyedRow>& after, RunNotes& notes) {
    const auto oldKeys = keysByCode(before);
    std::vector<std::pair<std::string_view, std::string_view>> moved;
    for (const auto& [code, key] : keysByCode(after)) {
        const auto old = oldKeys.find(code);
        if (old != oldKeys.end() && old->second != key) {
            moved.emplace_back(code, key);
        }
    }
    std::sort(moved.begin(), moved.end());
    for (const auto& [code, key] : moved) {
        notes.add({.kind = NoteKind::CodeMoved,
                   .table = table,
                   .code = std::string(code),
                   .before = std::string(oldKeys.at(code)),
                   .after = std::string(key)});
    }
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
    const KeyDifference difference = differenceOf(sortedKeys(*before), sortedKeys(after));
    for (const std::string_view key : difference.added) {
        ++change.added;
        notes.add({.kind = NoteKind::RowAdded, .table = name, .value = std::string(key)});
    }
    for (const std::string_view key : difference.removed) {
        ++change.removed;
        notes.add({.kind = NoteKind::RowRemoved, .table = name, .value = std::string(key)});
    }
    if (identity.code) {
        noteMovedCodes(name, *before, after, notes);
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
