#include "cli/NoteLines.h"

#include "messages/Messages.h"

namespace velmora::cli {

void printNoteCounts(std::ostream& out, const RunNotes& notes, bool reportAsked) {
    if (notes.empty()) {
        return;
    }
    out << "Avisos:\n";
    for (const std::string& line : messages::noteCounts(notes)) {
        out << "  " << line << "\n";
    }
    if (!reportAsked) {
        out << "Cada aviso, con dónde y qué: la misma orden con --report ARCHIVO.\n";
    }
}

} // namespace velmora::cli
