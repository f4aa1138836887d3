#include "messages/NotesFile.h"

#include "messages/Messages.h"
#include "services/files/WholeFile.h"

namespace velmora::messages {

std::filesystem::path automaticNotesFile(const std::filesystem::path& iniFile) {
    return iniFile.parent_path() / "Velmora-avisos.txt";
}

std::string notesFileText(const RunNotes& notes) {
    const std::string text = noteDetails(notes);
#ifdef _WIN32
    // Notepad before Windows 10 shows a file with bare line feeds as a single line.
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 40);
    for (const char c : text) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    return crlf;
#else
    return text;
#endif
}

void writeNotesFile(const std::filesystem::path& file, const RunNotes& notes) {
    writeWholeFile(file, notesFileText(notes));
}

} // namespace velmora::messages
