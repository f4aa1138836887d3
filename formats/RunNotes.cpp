#include "formats/RunNotes.h"

namespace velmora {

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

std::map<NoteKind, std::size_t> RunNotes::countsByKind() const {
    std::map<NoteKind, std::size_t> counts;
    for (const Note& note : notes_) {
        ++counts[note.kind];
    }
    return counts;
}

} // namespace velmora
