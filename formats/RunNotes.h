#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace velmora {

// Something a run changed on the way, or could not use, that the school should hear of.
enum class NoteKind {
    // The conversion
    CodeNumbered,       // table, record, value (the source text), code (the code written)
    TextCut,            // table, record, field, value, stored
    CharactersReplaced, // table, record, field, value, stored
    RecordSkipped,      // section, record, reason ("few-values", or "repeated-code" with
                        // value and after: the code and name skipped, code and before: kept)
    ValueIgnored,       // section, record, field (the value's position), reason ("no-dato")
    MinutesUnused,      // section, record, value
    RowAdded,           // table, value (the Sauce key)
    RowRemoved,         // table, value (the Sauce key)
    CodeMoved,          // table, code, before, after (the Sauce keys)
    // The results run
    LessonNotPlaced, // table (SOLUC), record, reason ("no-day")
    CodeNotFound,    // table (SOLUC), record, field, code
};

struct Note {
    NoteKind kind;
    std::string table;
    std::string section;
    std::size_t record = 0; // from 1: the place in the section, or in the table
    std::string field;
    std::string value;
    std::string stored;
    std::string code;
    std::string before;
    std::string after;
    std::string reason;
    // How many more records the same thing happened to, the same value in the same field: a
    // slot's name repeated for every day is one note, not seven.
    std::size_t repeats = 0;
};

// The kind's name, as the report file writes it: "code-numbered".
const char* noteKindName(NoteKind kind);

// The notes of one run, in the order they were made.
class RunNotes {
public:
    // The note's index, for repeat().
    std::size_t add(Note note) {
        notes_.push_back(std::move(note));
        return notes_.size() - 1;
    }
    void repeat(std::size_t index) { ++notes_.at(index).repeats; }
    const std::vector<Note>& all() const { return notes_; }
    bool empty() const { return notes_.empty(); }
    std::map<NoteKind, std::size_t> countsByKind() const;

private:
    std::vector<Note> notes_;
};

} // namespace velmora
