#include "conversion/TableChanges.h"

#include "services/Error.h"
#include "services/files/ExchangeFolder.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace velmora {

namespace {

using namespace tables;

// What identifies a row in Sauce, the code Horadia knows it by, if any, and what a person
// knows it by (a name), if any.
template <typename Table> struct Identity {
    std::vector<Field<Table>> key;
    std::optional<Field<Table>> code;
    std::optional<Field<Table>> label;
};

// One row as compared: its key, its code and its label.
struct KeyedRow {
    std::string key;
    std::string code;
    std::string label;
};

// The row as the notes name it: its key, and its name where it has one.
std::string shown(const KeyedRow& row) {
    return row.label.empty() ? row.key : row.key + " (" + row.label + ")";
}

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
        if (identity.label) {
            keyed.label = table.text(row, *identity.label);
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
        // An old table without the name still compares; its rows are named by key alone.
        const std::optional<std::size_t> labelColumn =
            identity.label && reader.hasColumn(nameOf(*identity.label))
                ? std::optional(columnOf(reader, *identity.label))
                : std::nullopt;
        std::vector<KeyedRow> rows;
        while (const auto record = reader.next()) {
            KeyedRow keyed;
            for (std::size_t part = 0; part < keyColumns.size(); ++part) {
                appendKeyPart(keyed.key, record->text(keyColumns[part]), part == 0);
            }
            if (codeColumn) {
                keyed.code = record->text(*codeColumn);
            }
            if (labelColumn) {
                keyed.label = record->text(*labelColumn);
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

std::vector<const KeyedRow*> sortedByKey(const std::vector<KeyedRow>& rows) {
    std::vector<const KeyedRow*> sorted;
    sorted.reserve(rows.size());
    for (const KeyedRow& row : rows) {
        sorted.push_back(&row);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const KeyedRow* a, const KeyedRow* b) { return a->key < b->key; });
    return sorted;
}

// The rows whose key one side has more often than the other, one per extra row: the two
// sorted lists walked side by side.
struct KeyDifference {
    std::vector<const KeyedRow*> added;
    std::vector<const KeyedRow*> removed;
};

KeyDifference differenceOf(const std::vector<const KeyedRow*>& before,
                           const std::vector<const KeyedRow*>& after) {
    KeyDifference difference;
    auto old = before.begin();
    auto now = after.begin();
    while (old != before.end() || now != after.end()) {
        if (now == after.end() || (old != before.end() && (*old)->key < (*now)->key)) {
            difference.removed.push_back(*old++);
        } else if (old == before.end() || (*now)->key < (*old)->key) {
            difference.added.push_back(*now++);
        } else {
            ++old;
            ++now;
        }
    }
    return difference;
}

// The first row that carries each code.
std::unordered_map<std::string_view, const KeyedRow*>
rowsByCode(const std::vector<KeyedRow>& rows) {
    std::unordered_map<std::string_view, const KeyedRow*> byCode;
    byCode.reserve(rows.size());
    for (const KeyedRow& row : rows) {
        byCode.try_emplace(row.code, &row);
    }
    return byCode;
}

// A code that names another row than it did: Horadia's data under that code now belongs to
// something else. Noted in the order of the codes.
void noteMovedCodes(const std::string& table, const std::vector<KeyedRow>& before,
                    const std::vector<KeyedRow>& after, RunNotes& notes) {
    const auto oldRows = rowsByCode(before);
    std::vector<std::pair<const KeyedRow*, const KeyedRow*>> moved; // before, after
    for (const auto& [code, row] : rowsByCode(after)) {
        const auto old = oldRows.find(code);
        if (old != oldRows.end() && old->second->key != row->key) {
            moved.emplace_back(old->second, row);
        }
    }
    std::sort(moved.begin(), moved.end(),
              [](const auto& a, const auto& b) { return a.second->code < b.second->code; });
    for (const auto& [old, now] : moved) {
        notes.add({.kind = NoteKind::CodeMoved,
                   .table = table,
                   .code = now->code,
                   .before = shown(*old),
                   .after = shown(*now)});
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
    const KeyDifference difference = differenceOf(sortedByKey(*before), sortedByKey(after));
    for (const KeyedRow* row : difference.added) {
        ++change.added;
        notes.add({.kind = NoteKind::RowAdded, .table = name, .value = shown(*row)});
    }
    for (const KeyedRow* row : difference.removed) {
        ++change.removed;
        notes.add({.kind = NoteKind::RowRemoved, .table = name, .value = shown(*row)});
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
    compare(folder, tables.asignomt,
            Identity<ASIGNOMT>{{ASIGNOMT::CODLARGO}, ASIGNOMT::COD, ASIGNOMT::NOMBRE}, changes,
            notes);
    compare(folder, tables.asignomt2,
            Identity<ASIGNOMT2>{{ASIGNOMT2::MATERIA, ASIGNOMT2::CLAVECURSO}, {}, ASIGNOMT2::NOMBRE},
            changes, notes);
    compare(folder, tables.proft, Identity<PROFT>{{PROFT::X_EMPLEADO}, PROFT::ABREV, PROFT::NOMBRE},
            changes, notes);
    compare(folder, tables.aulat, Identity<AULAT>{{AULAT::DEPCENTRO}, AULAT::ABREV, AULAT::NOMBRE},
            changes, notes);
    compare(folder, tables.cursost, Identity<CURSOST>{{CURSOST::CLAVE}, {}, CURSOST::DESCRICUR},
            changes, notes);
    compare(folder, tables.grupost,
            Identity<GRUPOST>{{GRUPOST::CLAVE}, GRUPOST::ABREV, GRUPOST::DESCRIP}, changes, notes);
    compare(folder, tables.asigt, Identity<ASIGT>{{ASIGT::CLAVE, ASIGT::CGRUP}, {}, ASIGT::CASIG},
            changes, notes);
    compare(folder, tables.diashorast,
            Identity<DIASHORAST>{{DIASHORAST::MARCOXML, DIASHORAST::CODDIHO, DIASHORAST::DIA},
                                 {},
                                 DIASHORAST::TEXTOHOR},
            changes, notes);
    return changes;
}

} // namespace velmora
