#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
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

inline constexpr std::size_t kNoteKindCount = static_cast<std::size_t>(NoteKind::CodeNotFound) + 1;

// One note, as a run makes it and as it is read back. Its texts are views: of the run's own
// texts while it is added, of the notes' texts when read back, valid while the notes last and
// no further note is added.
struct Note {
    NoteKind kind;
    std::string_view table;
    std::string_view section;
    std::size_t record = 0; // from 1: the place in the section, or in the table
    std::string_view field;
    std::string_view value;
    std::string_view stored;
    std::string_view code;
    std::string_view before;
    std::string_view after;
    std::string_view reason;
    // How many more records the same thing happened to, the same value in the same field: a
    // slot's name repeated for every day is one note, not seven.
    std::size_t repeats = 0;
};

// The kind's name, as the report file writes it: "code-numbered".
const char* noteKindName(NoteKind kind);

// The notes of one kind made at one place: a table's field (for the kinds whose field is one),
// or else a table or a section of the document. A summary shows a few of them and counts the
// rest.
struct NotePlace {
    NoteKind kind;
    std::string_view table;
    std::string_view section;
    std::string_view field;
    std::size_t count = 0;
    std::vector<Note> examples; // the first ones, in the order they were made
};

// The notes of one run, in the order they were made. A large school can leave a hundred
// thousand of them, so they are kept small: the details of notes that share them (the same
// code not found in a thousand lessons) once, the names of tables, sections and fields once,
// and for each note only which details and which record.
class RunNotes {
public:
    void add(const Note& note);
    // The first note with these details is added; each later one counts as a repeat of it.
    void addOrRepeat(const Note& note);

    std::size_t size() const { return notes_.size(); }
    bool empty() const { return notes_.size() == 0; }
    std::size_t countOf(NoteKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
    // The kinds there are notes of, in the kinds' order.
    std::map<NoteKind, std::size_t> countsByKind() const;

    Note at(std::size_t index) const;

    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Note;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Note;

        Iterator(const RunNotes* notes, std::size_t index) : notes_(notes), index_(index) {}
        Note operator*() const { return notes_->at(index_); }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

    private:
        const RunNotes* notes_;
        std::size_t index_;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, notes_.size()}; }

    // Every place notes were made at, by kind in the kinds' order and then in the order of
    // their first note, with at most `examples` notes of each.
    std::vector<NotePlace> places(std::size_t examples) const;

private:
    using NameId = std::uint32_t; // of a table, section, field or reason; 0 is the empty name
    struct TextRef {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };
    struct Details {
        NoteKind kind;
        NameId table = 0;
        NameId section = 0;
        NameId field = 0;
        NameId reason = 0;
        TextRef value, stored, code, before, after;
        std::uint32_t firstNote = 0;
        std::uint32_t repeats = 0;
    };
    struct Entry {
        std::uint32_t details;
        std::uint32_t record;
    };
    static constexpr std::uint32_t kNone = UINT32_MAX;
    // A slot of the index of details by their hash: the details' index + 1, 0 when free.
    struct Slot {
        std::uint32_t details = 0;
        std::uint32_t hash = 0;
    };
    // Items in blocks of a fixed size: a long run's notes grow without ever being moved, and
    // without the run's peak memory holding them twice while a larger array is filled.
    template <typename T> class Blocks {
    public:
        std::size_t size() const { return size_; }
        T& operator[](std::size_t i) { return blocks_[i / kBlock][i % kBlock]; }
        const T& operator[](std::size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
        void push_back(const T& item) {
            if (size_ % kBlock == 0) {
                blocks_.emplace_back().reserve(kBlock);
            }
            blocks_.back().push_back(item);
            ++size_;
        }

    private:
        static constexpr std::size_t kBlock = 4096;
        std::vector<std::vector<T>> blocks_;
        std::size_t size_ = 0;
    };

    std::uint32_t detailsOf(const Note& note, bool& made);
    std::uint32_t findDetails(const Note& note, const std::array<NameId, 4>& names,
                              std::uint32_t hash) const;
    bool sameDetails(const Details& details, const Note& note,
                     const std::array<NameId, 4>& names) const;
    void index(std::uint32_t details, std::uint32_t hash);
    void place(Slot slot);
    // The name's id, the name kept when it is new; role: 0 table, 1 section, 2 field, 3 reason.
    NameId nameId(std::string_view name, std::size_t role);
    TextRef keep(std::string_view text);
    std::string_view text(TextRef ref) const { return {texts_.data() + ref.offset, ref.size}; }
    std::string_view name(NameId id) const { return text(names_[id]); }
    void addEntry(std::uint32_t details, std::size_t record);

    std::string texts_;                     // every text the notes hold, back to back
    std::vector<TextRef> names_{TextRef{}}; // names_[0] is the empty name
    std::map<std::string, NameId, std::less<>> nameIds_;
    std::array<NameId, 4> lastNames_{};
    Blocks<Details> details_;
    Blocks<Entry> notes_;
    std::vector<Slot> slots_; // open addressing, at most half full

    std::array<std::size_t, kNoteKindCount> counts_{};
};

} // namespace velmora
