#include "services/Table.h"

#include "services/DbfFieldCodec.h"
#include "services/DbfRecords.h"
#include "services/Error.h"
#include "services/FileLock.h"
#include "services/FilterExpression.h"
#include "services/Text.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <utility>

namespace velmora {

namespace {

constexpr std::size_t maxFieldNameLength = 10;
constexpr int maxTextWidth = 254;

std::string tableNameOf(const std::filesystem::path& file) {
    return file.stem().string();
}

std::string describe(const std::filesystem::path& file) {
    return "The table " + tableNameOf(file) + " (" + file.string() + ")";
}

[[noreturn]] void inUse(const std::filesystem::path& file) {
    throw Error(describe(file) + " is in use by another program. Close Horadia and try again.");
}

FileLock lockTable(const std::filesystem::path& file, FileLock::Kind kind) {
    std::optional<FileLock> lock = FileLock::tryLock(file, kind);
    if (!lock) {
        inUse(file);
    }
    return std::move(*lock);
}

std::string readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    in.seekg(0);
    if (size < 0 || !in.read(bytes.data(), size)) {
        throw Error(describe(file) + " cannot be read.");
    }
    return bytes;
}

NewDbfColumn columnFor(const FieldDef& field, const std::filesystem::path& file) {
    if (field.name.empty() || field.name.size() > maxFieldNameLength ||
        text::length(field.name) != field.name.size()) {
        throw Error("Cannot create " + describe(file) + ": the field name '" + field.name +
                    "' is not 1 to 10 plain letters.");
    }
    switch (field.type) {
    case FieldType::Text:
        if (field.width < 1 || field.width > maxTextWidth) {
            throw Error("Cannot create " + describe(file) + ": the field " + field.name +
                        " has the width " + std::to_string(field.width) + ", outside 1 to 254.");
        }
        return {field.name, 'C', field.width, 0};
    case FieldType::Boolean:
        return {field.name, 'L', 1, 0};
    case FieldType::Integer:
        return {field.name, 'N', 11, 0};
    case FieldType::Float:
        return {field.name, 'N', 20, 4};
    }
    return {field.name, 'C', field.width, 0};
}

std::vector<std::string> splitFieldNames(const std::string& names) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const auto end = names.find(';', start);
        parts.push_back(text::trim(names.substr(start, end - start)));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

} // namespace

struct Table::State {
    State(FileLock lock, const std::filesystem::path& file, const std::string& bytes)
        : file(file), lock(std::move(lock)), records(file, tableNameOf(file), bytes) {}

    enum class Pending { None, Appended, Edited };
    struct Condition {
        std::size_t column;
        std::string value;
    };

    std::filesystem::path file;
    FileLock lock;
    DbfRecords records;

    std::optional<std::size_t> current; // stored index of the current record
    bool atEnd = true;
    Pending pending = Pending::None;
    std::string buffer; // the appended or edited record until it is posted

    std::optional<Condition> filter;
    bool filtered = false;

    // The live records that match the filter while it is on; nothing while no filter is on.
    const std::vector<std::size_t>* filterMatches() const {
        if (!filtered || !filter) {
            return nullptr;
        }
        return &records.recordsReading(filter->column, filter->value);
    }

    bool isVisible(std::size_t index) const {
        if (const auto* matches = filterMatches()) {
            return std::binary_search(matches->begin(), matches->end(), index);
        }
        return !records.isDeleted(index);
    }

    std::optional<std::size_t> firstVisibleFrom(std::size_t index) const {
        if (const auto* matches = filterMatches()) {
            const auto found = std::lower_bound(matches->begin(), matches->end(), index);
            return found == matches->end() ? std::nullopt : std::optional(*found);
        }
        for (; index < records.storedCount(); ++index) {
            if (!records.isDeleted(index)) {
                return index;
            }
        }
        return std::nullopt;
    }

    bool fieldEquals(std::string_view record, std::size_t column, const std::string& value) const {
        return fieldTextEquals(records.field(column), records.fieldBytes(record, column), value);
    }

    // The record that reads see: the one being changed, else the current one, else none.
    std::string_view currentRecord() const {
        if (pending != Pending::None) {
            return buffer;
        }
        if (current) {
            return records.record(*current);
        }
        return {};
    }

    void post() {
        if (pending == Pending::Appended) {
            current = records.append(buffer);
            atEnd = false;
        } else if (pending == Pending::Edited) {
            records.replace(*current, buffer);
        }
        pending = Pending::None;
        buffer.clear();
    }

    void moveToFirst() {
        current = firstVisibleFrom(0);
        atEnd = !current;
    }

    char* changeableField(const std::string& fieldName, std::size_t& column) {
        column = records.column(fieldName);
        if (pending == Pending::None) {
            throw Error("The field " + records.columns()[column].name + " of table " +
                        records.tableName() +
                        " cannot be set: no record of the table is being appended or edited.");
        }
        return buffer.data() + records.columns()[column].offset;
    }

    template <typename Conversion>
    auto read(const std::string& fieldName, Conversion convert) const {
        const std::size_t column = records.column(fieldName);
        const FieldContext field = records.field(column);
        const std::string_view record = currentRecord();
        const FieldValue value =
            record.empty() ? FieldValue() : decodeField(field, records.fieldBytes(record, column));
        return convert(field, value);
    }
};

void Table::create(const std::filesystem::path& file, const std::vector<FieldDef>& fields) {
    std::vector<NewDbfColumn> columns;
    for (const FieldDef& field : fields) {
        columns.push_back(columnFor(field, file));
    }
    // Replacing a table that another program has open would pull it from under that program.
    std::optional<FileLock> lock;
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        lock = lockTable(file, FileLock::Kind::Exclusive);
    }
    DbfWriter::create(file, columns, tableNameOf(file));
}

Table Table::open(const std::filesystem::path& file, OpenMode mode) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        throw Error(describe(file) + " does not exist.");
    }
    FileLock lock = lockTable(file, mode == OpenMode::Exclusive ? FileLock::Kind::Exclusive
                                                                : FileLock::Kind::Shared);
    auto state = std::make_unique<State>(std::move(lock), file, readWholeFile(file));
    state->moveToFirst();
    return Table(std::move(state));
}

Table::Table(std::unique_ptr<State> state) : state_(std::move(state)) {}
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&&) noexcept = default;

Table::~Table() {
    try {
        close();
    } catch (const Error&) {
        // Closing during unwinding must not throw; an explicit close() reports the failure.
    }
}

void Table::close() {
    if (!state_) {
        return;
    }
    // A record appended or edited and not posted goes with the state; the lock goes too, once
    // what was written is closed.
    std::unique_ptr<State> closing = std::move(state_);
    closing->records.close();
}

Table::State& Table::openState() {
    return const_cast<State&>(std::as_const(*this).openState());
}

const Table::State& Table::openState() const {
    if (!state_) {
        throw Error("The table is not open.");
    }
    return *state_;
}

bool Table::isOpen() const {
    return state_ != nullptr;
}

const std::filesystem::path& Table::path() const {
    return openState().file;
}

std::string Table::name() const {
    return openState().records.tableName();
}

std::vector<std::string> Table::fieldNames() const {
    std::vector<std::string> names;
    for (const DbfColumn& column : openState().records.columns()) {
        names.push_back(column.name);
    }
    return names;
}

bool Table::hasField(const std::string& name) const {
    try {
        openState().records.column(name);
        return true;
    } catch (const Error&) {
        return false;
    }
}

void Table::first() {
    State& state = openState();
    state.post();
    state.moveToFirst();
}

void Table::next() {
    State& state = openState();
    state.post();
    const auto following =
        state.current ? state.firstVisibleFrom(*state.current + 1) : std::nullopt;
    if (following) {
        state.current = following;
    } else {
        state.atEnd = true;
    }
}

bool Table::eof() const {
    const State& state = openState();
    return state.pending != State::Pending::Appended && state.atEnd;
}

int Table::recordCount() const {
    return static_cast<int>(openState().records.liveCount());
}

bool Table::locate(const std::string& fieldNames, const std::vector<std::string>& values) {
    State& state = openState();
    state.post();
    std::vector<std::size_t> columns;
    for (const std::string& fieldName : splitFieldNames(fieldNames)) {
        columns.push_back(state.records.column(fieldName));
    }
    if (columns.size() != values.size()) {
        throw Error("A search in table " + state.records.tableName() + " gives " +
                    std::to_string(values.size()) + " values for the " +
                    std::to_string(columns.size()) + " fields " + fieldNames + ".");
    }
    for (std::size_t index = 0; index < state.records.storedCount(); ++index) {
        if (!state.isVisible(index)) {
            continue;
        }
        const std::string_view record = state.records.record(index);
        bool allEqual = true;
        for (std::size_t i = 0; i < columns.size() && allEqual; ++i) {
            allEqual = state.fieldEquals(record, columns[i], values[i]);
        }
        if (allEqual) {
            state.current = index;
            state.atEnd = false;
            return true;
        }
    }
    return false;
}

void Table::setFilter(const std::string& expression) {
    State& state = openState();
    state.post();
    EqualityFilter parsed = parseFilterExpression(expression);
    state.filter = State::Condition{state.records.column(parsed.field), std::move(parsed.value)};
    if (state.filtered) {
        state.moveToFirst();
    }
}

void Table::setFiltered(bool on) {
    State& state = openState();
    state.post();
    state.filtered = on;
    if (on) {
        state.moveToFirst();
    } else {
        state.atEnd = !state.current;
    }
}

void Table::append() {
    State& state = openState();
    state.post();
    state.buffer = state.records.blankRecord();
    state.pending = State::Pending::Appended;
}

void Table::edit() {
    State& state = openState();
    if (state.pending != State::Pending::None) {
        return;
    }
    if (!state.current) {
        throw Error("There is no record to edit in table " + state.records.tableName() + ".");
    }
    state.buffer = std::string(state.records.record(*state.current));
    state.pending = State::Pending::Edited;
}

void Table::post() {
    openState().post();
}

std::string Table::readText(const std::string& field) const {
    return openState().read(
        field, [](const FieldContext&, const FieldValue& value) { return valueAsText(value); });
}

double Table::readFloat(const std::string& field) const {
    return openState().read(field, valueAsFloat);
}

std::int64_t Table::readInteger(const std::string& field) const {
    return openState().read(field, valueAsInteger);
}

bool Table::readBoolean(const std::string& field) const {
    return openState().read(field, valueAsBoolean);
}

void Table::writeText(const std::string& field, const std::string& value) {
    State& state = openState();
    std::size_t column = 0;
    char* bytes = state.changeableField(field, column);
    encodeText(state.records.field(column), value, bytes);
}

void Table::writeInteger(const std::string& field, std::int64_t value) {
    State& state = openState();
    std::size_t column = 0;
    char* bytes = state.changeableField(field, column);
    encodeInteger(state.records.field(column), value, bytes);
}

void Table::writeFloat(const std::string& field, double value) {
    State& state = openState();
    std::size_t column = 0;
    char* bytes = state.changeableField(field, column);
    encodeFloat(state.records.field(column), value, bytes);
}

void Table::writeBoolean(const std::string& field, bool value) {
    State& state = openState();
    std::size_t column = 0;
    char* bytes = state.changeableField(field, column);
    encodeBoolean(state.records.field(column), value, bytes);
}

} // namespace velmora
