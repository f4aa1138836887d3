#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// The logical field types of the exchange tables and how they are stored:
// Text(n) as C(n), Boolean as L, Integer as N(11,0), Float as N(20,4).
enum class FieldType { Text, Boolean, Integer, Float };

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int width = 0; // bytes of Windows-1252, Text only
};

enum class OpenMode { Shared, Exclusive };

// One open dBASE table. Owns its file handle and its OS lock; closing (or destroying) the
// object discards a record that was appended or edited and not posted, and releases the lock.
//
// Reading follows what the timetable program's engine did: records marked as deleted are
// invisible to every walk, count, locate and filter; text comes back without trailing blanks;
// field names match without regard to letter case.
class Table {
public:
    // Writes a new, empty table file with these fields, replacing any file of that name.
    static void create(const std::filesystem::path& file, const std::vector<FieldDef>& fields);

    // Opens an existing table file. Shared lets other readers in; Exclusive fails while any
    // other process has the table open. Errors name the table.
    static Table open(const std::filesystem::path& file, OpenMode mode);

    Table(Table&&) noexcept;
    Table& operator=(Table&&) noexcept;
    ~Table();

    void close();
    bool isOpen() const;
    const std::filesystem::path& path() const;
    std::string name() const; // file name without extension, as the user knows the table

    std::vector<std::string> fieldNames() const;
    bool hasField(const std::string& name) const;

    // Navigation, in stored order (only the matching records while a filter is on).
    // Moving writes a pending change first.
    void first();
    void next();
    bool eof() const;
    int recordCount() const; // records not marked as deleted, ignoring any filter

    // Makes current the first record (stored order) whose fields all equal the values, whole
    // and case-sensitive; fieldNames are separated by ';'. Returns whether one was found.
    bool locate(const std::string& fieldNames, const std::vector<std::string>& values);

    // An equality filter: "FIELD= 'value'" with inner quotes doubled. Switching it on moves to
    // the first matching record.
    void setFilter(const std::string& expression);
    void setFiltered(bool on);

    // Editing.
    void append(); // a new empty record at the end becomes current (pending)
    void edit();   // the current record becomes changeable
    void post();   // writes the pending record

    // Fields by name. A missing field throws "Field 'NAME' not found".
    std::string readText(const std::string& field) const;
    double readFloat(const std::string& field) const;
    std::int64_t readInteger(const std::string& field) const; // nearest, halves to even
    bool readBoolean(const std::string& field) const;

    void writeText(const std::string& field, const std::string& value); // cut to the width
    void writeInteger(const std::string& field, std::int64_t value);
    void writeFloat(const std::string& field, double value);
    void writeBoolean(const std::string& field, bool value);

private:
    struct State;
    explicit Table(std::unique_ptr<State> state);
    State& openState();
    const State& openState() const;
    std::unique_ptr<State> state_;
};

} // namespace velmora
