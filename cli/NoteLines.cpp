#include "cli/NoteLines.h"

#include "messages/CommandTexts.h"
#include "messages/Messages.h"

namespace velmora::cli {

void printNoteCounts(std::ostream& out, const RunNotes& notes, bool reportAsked) {
    if (notes.empty()) {
        return;
    }
    out << messages::kNotesHeading << "\n";
    for (const std::string& line : messages::noteCounts(notes)) {
        out << "  " << line << "\n";
    }
    if (!reportAsked) {
        out << messages::kReportHint << "\n";
    }
}

} // namespace velmora::cli
