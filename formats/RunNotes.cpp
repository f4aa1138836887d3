#include "formats/RunNotes.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace velmora {

namespace {

constexpr std::size_t kFirstSlots = 1024;

// Only these kinds name a table's field; the others' field, where they have one, is a value's
// position in a record, which no summary groups by.
bool fieldIsAPlace(NoteKind kind) {
    return kind == NoteKind::CodeNumbered || kind == NoteKind::TextCut ||
           kind == NoteKind::CharactersReplaced || kind == NoteKind::CodeNotFound;
}

std::size_t mixed(std::size_t seed, std::size_t value) {
    return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

// The texts that tell notes of one kind apart are their value or their code: the others (what
// was stored, the names before and after) go with them, and are compared, not hashed.
std::uint32_t hashOf(const Note& note, const std::array<std::uint32_t, 4>& names) {
    std::size_t hash = static_cast<std::size_t>(note.kind);
    for (const std::uint32_t name : names) {
        hash = mixed(hash, name);
    }
    const std::hash<std::string_view> text;
    hash = mixed(hash, text(note.value));
    hash = mixed(hash, text(note.code));
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::uint32_t narrowed(std::size_t value) {
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("more notes than a run can keep");
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace

const char* noteKindName(NoteKind kind) {
    switch (kind) {
    case NoteKind::CodeNumbered:
        return "code-numbered";
    case NoteKind::TextCut:
        return "text-cut";
    case NoteKind::CharactersReplaced:
        return "characters-replaced";
    case NoteKind::RecordSkipped:
        return "record-skipped";
    case NoteKind::ValueIgnored:
        return "value-ignored";
    case NoteKind::MinutesUnused:
        return "minutes-unused";
    case NoteKind::RowAdded:
        return "row-added";
    case NoteKind::RowRemoved:
        return "row-removed";
    case NoteKind::CodeMoved:
        return "code-moved";
    case NoteKind::LessonNotPlaced:
        return "lesson-not-placed";
    case NoteKind::CodeNotFound:
        return "code-not-found";
    }
    return "unknown";
}

void RunNotes::add(const Note& note) {
    bool made = false;
    const std::uint32_t details = detailsOf(note, made);
    details_[details].repeats += narrowed(note.repeats);
    addEntry(details, note.record);
}

void RunNotes::addOrRepeat(const Note& note) {
    bool made = false;
    const std::uint32_t details = detailsOf(note, made);
    // A later note with the same details is one more repeat of the first, with its own.
    details_[details].repeats += narrowed((made ? 0 : 1) + note.repeats);
    if (made) {
        addEntry(details, note.record);
    }
}

void RunNotes::addEntry(std::uint32_t details, std::size_t record) {
    Details& shared = details_[details];
    if (shared.firstNote == kNone) {
        shared.firstNote = narrowed(notes_.size());
    }
    notes_.push_back({details, narrowed(record)});
    ++counts_[static_cast<std::size_t>(shared.kind)];
}

std::map<NoteKind, std::size_t> RunNotes::countsByKind() const {
    std::map<NoteKind, std::size_t> counts;
    for (std::size_t kind = 0; kind < kNoteKindCount; ++kind) {
        if (counts_[kind] != 0) {
            counts[static_cast<NoteKind>(kind)] = counts_[kind];
        }
    }
    return counts;
}

Note RunNotes::at(std::size_t index) const {
    if (index >= notes_.size()) {
        throw std::out_of_range("no such note");
    }
    const Entry& entry = notes_[index];
    const Details& d = details_[entry.details];
    return {.kind = d.kind,
            .table = name(d.table),
            .section = name(d.section),
            .record = entry.record,
            .field = name(d.field),
            .value = text(d.value),
            .stored = text(d.stored),
            .code = text(d.code),
            .before = text(d.before),
            .after = text(d.after),
            .reason = name(d.reason),
            .repeats = d.firstNote == index ? d.repeats : 0};
}

std::vector<NotePlace> RunNotes::places(std::size_t examples) const {
    std::vector<NotePlace> places;
    std::map<std::tuple<NoteKind, NameId, NameId, NameId>, std::size_t> placeOf;
    for (std::size_t index = 0; index < notes_.size(); ++index) {
        const Details& d = details_[notes_[index].details];
        const NameId field = fieldIsAPlace(d.kind) ? d.field : 0;
        const auto [found, isNew] =
            placeOf.try_emplace({d.kind, d.table, d.section, field}, places.size());
        if (isNew) {
            places.push_back({.kind = d.kind,
                              .table = name(d.table),
                              .section = name(d.section),
                              .field = name(field)});
        }
        NotePlace& place = places[found->second];
        ++place.count;
        if (place.examples.size() < examples) {
            place.examples.push_back(at(index));
        }
    }
    std::stable_sort(places.begin(), places.end(),
                     [](const NotePlace& a, const NotePlace& b) { return a.kind < b.kind; });
    return places;
}

std::uint32_t RunNotes::detailsOf(const Note& note, bool& made) {
    const std::array<NameId, 4> names = {nameId(note.table, 0), nameId(note.section, 1),
                                         nameId(note.field, 2), nameId(note.reason, 3)};
    const std::uint32_t hash = hashOf(note, names);
    const std::uint32_t found = findDetails(note, names, hash);
    made = found == kNone;
    if (!made) {
        return found;
    }
    const auto details = narrowed(details_.size());
    details_.push_back({.kind = note.kind,
                        .table = names[0],
                        .section = names[1],
                        .field = names[2],
                        .reason = names[3],
                        .value = keep(note.value),
                        .stored = keep(note.stored),
                        .code = keep(note.code),
                        .before = keep(note.before),
                        .after = keep(note.after),
                        .firstNote = kNone});
    index(details, hash);
    return details;
}

std::uint32_t RunNotes::findDetails(const Note& note, const std::array<NameId, 4>& names,
                                    std::uint32_t hash) const {
    if (slots_.empty()) {
        return kNone;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask; slots_[slot].details != 0; slot = (slot + 1) & mask) {
        if (slots_[slot].hash == hash &&
            sameDetails(details_[slots_[slot].details - 1], note, names)) {
            return slots_[slot].details - 1;
        }
    }
    return kNone;
}

bool RunNotes::sameDetails(const Details& d, const Note& note,
                           const std::array<NameId, 4>& names) const {
    return d.kind == note.kind && d.table == names[0] && d.section == names[1] &&
           d.field == names[2] && d.reason == names[3] && text(d.value) == note.value &&
           text(d.stored) == note.stored && text(d.code) == note.code &&
           text(d.before) == note.before && text(d.after) == note.after;
}

void RunNotes::index(std::uint32_t details, std::uint32_t hash) {
    // At most half full, so that a look-up meets few others on its way.
    if (details_.size() * 2 > slots_.size()) {
        std::vector<Slot> old =
            std::exchange(slots_, std::vector<Slot>(std::max(kFirstSlots, slots_.size() * 2)));
        for (const Slot& slot : old) {
            if (slot.details != 0) {
                place(slot);
            }
        }
    }
    place({details + 1, hash});
}

void RunNotes::place(Slot slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = slot.hash & mask;
    while (slots_[at].details != 0) {
        at = (at + 1) & mask;
    }
    slots_[at] = slot;
}

RunNotes::NameId RunNotes::nameId(std::string_view name, std::size_t role) {
    if (name.empty()) {
        return 0;
    }
    // Notes come in runs made at one place: the name is mostly the one before in its role.
    NameId& last = lastNames_[role];
    if (name == this->name(last)) {
        return last;
    }
    const auto found = nameIds_.find(name);
    if (found != nameIds_.end()) {
        last = found->second;
        return last;
    }
    last = narrowed(names_.size());
    names_.push_back(keep(name));
    nameIds_.emplace(std::string(name), last);
    return last;
}

RunNotes::TextRef RunNotes::keep(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    // Texts are found by 32-bit offsets, which the end of this one must fit as well.
    const TextRef ref{narrowed(texts_.size()), narrowed(text.size())};
    narrowed(std::size_t{ref.offset} + ref.size);
    texts_.append(text);
    return ref;
}

} // namespace velmora
