#include "services/Table.h"

#include "services/DbfFieldCodec.h"
#include "services/DbfHeaderCheck.h"
#include "services/DbfWriter.h"
#include "services/Error.h"
#include "services/FileLock.h"
#include "services/FilterExpression.h"
#include "services/Text.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <unordered_map>
#include <utility>

namespace velmora {

namespace {

constexpr char deletedMark = '*';
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
    State(std::filesystem::path file, FileLock lock, std::string bytes)
        : file(std::move(file)), name(tableNameOf(this->file)), lock(std::move(lock)),
          header(checkDbfHeader(bytes, this->file)),
          records(bytes.substr(header.headerLength, header.recordCount * header.recordLength)) {
        for (std::size_t index = 0; index < header.columns.size(); ++index) {
            columnsByName.emplace(text::asciiUpper(header.columns[index].name), index);
        }
        for (std::size_t record = 0; record < storedCount(); ++record) {
            liveCount += isDeleted(record) ? 0 : 1;
        }
    }

    enum class Pending { None, Appended, Edited };
    struct Condition {
        std::size_t column;
        std::string value;
    };
    struct Grouping {
        std::size_t column;
        std::unordered_map<std::string, std::vector<std::size_t>> records; // by field text
    };

    std::filesystem::path file;
    std::string name;
    FileLock lock;
    DbfHeader header;
    std::string records; // every stored record, deleted ones included, back to back
    std::size_t liveCount = 0;
    std::unordered_map<std::string, std::size_t> columnsByName; // by upper-case name
    std::optional<DbfWriter> writer;

    std::optional<std::size_t> current; // stored index of the current record
    bool atEnd = true;
    Pending pending = Pending::None;
    std::string buffer; // the appended or edited record until it is posted

    std::optional<Condition> filter;
    bool filtered = false;
    mutable std::optional<Grouping> groups; // dropped whenever a record is written
    const std::vector<std::size_t> noMatches;

    std::size_t storedCount() const { return records.size() / header.recordLength; }

    std::string_view storedRecord(std::size_t index) const {
        return std::string_view(records).substr(index * header.recordLength, header.recordLength);
    }

    bool isDeleted(std::size_t index) const {
        return records[index * header.recordLength] == deletedMark;
    }

    FieldContext context(std::size_t column) const {
        return FieldContext{header.columns[column], header.levelSeven, name};
    }

    std::string_view fieldBytes(std::string_view record, std::size_t column) const {
        const DbfColumn& info = header.columns[column];
        return record.substr(info.offset, info.width);
    }

    bool fieldEquals(std::string_view record, std::size_t column, const std::string& value) const {
        return fieldTextEquals(context(column), fieldBytes(record, column), value);
    }

    // The stored indexes of the live records whose filtered field reads as the filter's
    // value, or nothing while no filter is on. A run filters a large table once per key, so
    // the records are grouped by that field's text once, until the next change.
    const std::vector<std::size_t>* filterMatches() const {
        if (!filtered || !filter) {
            return nullptr;
        }
        if (!groups || groups->column != filter->column) {
            groups = groupByText(filter->column);
        }
        const auto found = groups->records.find(filter->value);
        return found == groups->records.end() ? &noMatches : &found->second;
    }

    Grouping groupByText(std::size_t column) const {
        Grouping grouping{column, {}};
        const FieldContext field = context(column);
        for (std::size_t index = 0; index < storedCount(); ++index) {
            if (!isDeleted(index)) {
                const std::string text =
                    valueAsText(decodeField(field, fieldBytes(storedRecord(index), column)));
                grouping.records[text].push_back(index);
            }
        }
        return grouping;
    }

    bool isVisible(std::size_t index) const {
        if (const auto* matches = filterMatches()) {
            return std::binary_search(matches->begin(), matches->end(), index);
        }
        return !isDeleted(index);
    }

    std::optional<std::size_t> firstVisibleFrom(std::size_t index) const {
        if (const auto* matches = filterMatches()) {
            const auto found = std::lower_bound(matches->begin(), matches->end(), index);
            return found == matches->end() ? std::nullopt : std::optional(*found);
        }
        for (; index < storedCount(); ++index) {
            if (!isDeleted(index)) {
                return index;
            }
        }
        return std::nullopt;
    }

    // The record that reads see: the one being changed, else the current one, else none.
    std::string_view currentRecord() const {
        if (pending != Pending::None) {
            return buffer;
        }
        if (current) {
            return storedRecord(*current);
        }
        return {};
    }

    std::size_t column(const std::string& fieldName) const {
        if (const auto found = columnsByName.find(text::asciiUpper(fieldName));
            found != columnsByName.end()) {
            return found->second;
        }
        for (std::size_t index = 0; index < header.columns.size(); ++index) {
            if (text::equalsIgnoringCase(header.columns[index].name, fieldName)) {
                return index;
            }
        }
        throw Error("Field '" + fieldName + "' not found in table " + name);
    }

    DbfWriter& openWriter() {
        if (!writer) {
            writer = DbfWriter::open(file, name, header.headerLength, header.recordLength);
        }
        return *writer;
    }

    void post() {
        if (pending == Pending::Appended) {
            DbfWriter& out = openWriter();
            if (out.recordCount() != storedCount()) {
                throw Error(describe(file) + " was changed by another program.");
            }
            out.writeRecord(storedCount(), buffer);
            records += buffer;
            ++liveCount;
            current = storedCount() - 1;
            atEnd = false;
        } else if (pending == Pending::Edited) {
            openWriter().writeRecord(*current, buffer);
            records.replace(*current * header.recordLength, header.recordLength, buffer);
        }
        if (pending != Pending::None) {
            groups.reset();
        }
        pending = Pending::None;
        buffer.clear();
    }

    void moveToFirst() {
        current = firstVisibleFrom(0);
        atEnd = !current;
    }

    char* changeableField(const std::string& fieldName, std::size_t& index) {
        index = column(fieldName);
        if (pending == Pending::None) {
            throw Error("The field " + header.columns[index].name + " of table " + name +
                        " cannot be set: no record of the table is being appended or edited.");
        }
        return buffer.data() + header.columns[index].offset;
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
    auto state = std::make_unique<State>(file, std::move(lock), readWholeFile(file));
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
    // A record appended or edited and not posted is dropped with the state; the lock goes too.
    std::optional<DbfWriter> writer = std::move(state_->writer);
    state_.reset();
    if (writer) {
        writer->close();
    }
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
    return openState().name;
}

std::vector<std::string> Table::fieldNames() const {
    std::vector<std::string> names;
    for (const DbfColumn& column : openState().header.columns) {
        names.push_back(column.name);
    }
    return names;
}

bool Table::hasField(const std::string& name) const {
    try {
        openState().column(name);
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
    return static_cast<int>(openState().liveCount);
}

bool Table::locate(const std::string& fieldNames, const std::vector<std::string>& values) {
    State& state = openState();
    state.post();
    std::vector<std::size_t> columns;
    for (const std::string& fieldName : splitFieldNames(fieldNames)) {
        columns.push_back(state.column(fieldName));
    }
    if (columns.size() != values.size()) {
        throw Error("A search in table " + state.name + " gives " + std::to_string(values.size()) +
                    " values for the " + std::to_string(columns.size()) + " fields " + fieldNames +
                    ".");
    }
    for (std::size_t index = 0; index < state.storedCount(); ++index) {
        if (!state.isVisible(index)) {
            continue;
        }
        const std::string_view record = state.storedRecord(index);
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
    state.filter = State::Condition{state.column(parsed.field), std::move(parsed.value)};
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
    state.buffer.assign(state.header.recordLength, ' ');
    state.pending = State::Pending::Appended;
}

void Table::edit() {
    State& state = openState();
    if (state.pending != State::Pending::None) {
        return;
    }
    if (!state.current) {
        throw Error("There is no record to edit in table " + state.name + ".");
    }
    state.buffer = std::string(state.storedRecord(*state.current));
    state.pending = State::Pending::Edited;
}

void Table::post() {
    openState().post();
}

std::string Table::readText(const std::string& field) const {
    const State& state = openState();
    const std::size_t column = state.column(field);
    const std::string_view record = state.currentRecord();
    if (record.empty()) {
        return {};
    }
    return valueAsText(decodeField(state.context(column), state.fieldBytes(record, column)));
}

double Table::readFloat(const std::string& field) const {
    const State& state = openState();
    const std::size_t column = state.column(field);
    const std::string_view record = state.currentRecord();
    if (record.empty()) {
        return 0;
    }
    const FieldContext context = state.context(column);
    return valueAsFloat(context, decodeField(context, state.fieldBytes(record, column)));
}

std::int64_t Table::readInteger(const std::string& field) const {
    const State& state = openState();
    const std::size_t column = state.column(field);
    const std::string_view record = state.currentRecord();
    if (record.empty()) {
        return 0;
    }
    const FieldContext context = state.context(column);
    return valueAsInteger(context, decodeField(context, state.fieldBytes(record, column)));
}

bool Table::readBoolean(const std::string& field) const {
    const State& state = openState();
    const std::size_t column = state.column(field);
    const std::string_view record = state.currentRecord();
    if (record.empty()) {
        return false;
    }
    const FieldContext context = state.context(column);
    return valueAsBoolean(context, decodeField(context, state.fieldBytes(record, column)));
}

void Table::writeText(const std::string& field, const std::string& value) {
    State& state = openState();
    std::size_t column = 0;
    char* bytes = state.changeableField(field, column);
    encodeText(state.context(column), value, bytes);
}

void Table::writeInteger(const std::string& field, std::int64_t value) {
    State& state = openState();
    std::size_t column = 0;
    char* bytes = state.changeableField(field, column);
    encodeInteger(state.context(column), value, bytes);
}

void Table::writeFloat(const std::string& field, double value) {
    State& state = openState();
    std::size_t column = 0;
    char* bytes = state.changeableField(field, column);
    encodeFloat(state.context(column), value, bytes);
}

void Table::writeBoolean(const std::string& field, bool value) {
    State& state = openState();
    std::size_t column = 0;
    char* bytes = state.changeableField(field, column);
    encodeBoolean(state.context(column), value, bytes);
}

} // namespace velmora
