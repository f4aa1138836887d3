#include "messages/NotesFile.h"

#include "messages/Messages.h"
#include "services/files/WholeFile.h"

#include <algorithm>
#include <ostream>
#include <streambuf>

namespace velmora::messages {

namespace {

// Notepad before Windows 10 shows a file with bare line feeds as a single line.
#ifdef _WIN32
constexpr bool kCarriageReturns = true;
#else
constexpr bool kCarriageReturns = false;
#endif

// Passes text on to another stream's buffer with a carriage return before every line feed.
class CarriageReturns : public std::streambuf {
public:
    explicit CarriageReturns(std::streambuf& target) : target_(target) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        const char one = traits_type::to_char_type(c);
        return xsputn(&one, 1) == 1 ? c : traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize size) override {
        const char* const end = text + size;
        for (const char* line = text; line != end;) {
            const char* const feed = std::find(line, end, '\n');
            const std::streamsize length = feed - line;
            if (target_.sputn(line, length) != length) {
                return line - text;
            }
            if (feed == end) {
                break;
            }
            if (target_.sputn("\r\n", 2) != 2) {
                return feed - text;
            }
            line = feed + 1;
        }
        return size;
    }

    int sync() override { return target_.pubsync(); }

private:
    std::streambuf& target_;
};

} // namespace

std::filesystem::path automaticNotesFile(const std::filesystem::path& iniFile) {
    return iniFile.parent_path() / "Velmora-avisos.txt";
}

void writeNotesFile(const std::filesystem::path& file, const RunNotes& notes) {
    // Every note of a large run is a text of many megabytes: it goes to the file as it is made.
    writeWholeFile(file, [&notes](std::ostream& out) {
        if (!kCarriageReturns) {
            writeNoteDetails(out, notes);
            return;
        }
        CarriageReturns lineEnds(*out.rdbuf());
        std::ostream text(&lineEnds);
        writeNoteDetails(text, notes);
        text.flush();
    });
}

} // namespace velmora::messages
