#include "support/NoteLines.h"

#include <algorithm>

namespace velmora::testing {

std::string noteLine(const Note& note) {
    std::string line = noteKindName(note.kind);
    const auto add = [&line](const char* name, std::string_view value) {
        if (!value.empty()) {
            line += std::string(" ") + name + "=" + std::string(value);
        }
    };
    add("table", note.table);
    add("section", note.section);
    add("record", note.record == 0 ? "" : std::to_string(note.record));
    add("field", note.field);
    add("value", note.value);
    add("stored", note.stored);
    add("code", note.code);
    add("before", note.before);
    add("after", note.after);
    add("reason", note.reason);
    return line;
}

std::vector<std::string> noteLines(const RunNotes& notes, std::initializer_list<NoteKind> kinds) {
    std::vector<std::string> lines;
    for (const Note& note : notes) {
        if (kinds.size() == 0 || std::find(kinds.begin(), kinds.end(), note.kind) != kinds.end()) {
            lines.push_back(noteLine(note));
        }
    }
    return lines;
}

} // namespace velmora::testing
