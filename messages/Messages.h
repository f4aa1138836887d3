#pragma once

#include "formats/RunNotes.h"
#include "services/Error.h"

#include <exception>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

// The words a person reads. The core reports what went wrong as data; here, and only here, it
// becomes a sentence: in Spanish, for the school secretary who has to act on it.
namespace velmora::messages {

// What happened, which file, table, record or value, and what to do.
std::string describe(const Error& error);

// Any failure: an Error as above, running out of memory, or a fault of the program itself.
std::string describe(const std::exception& error);

// What the system said about a file, in a few words ("no existe", "no hay espacio en el disco").
std::string describeSystemError(const std::error_code& error);

// A note of a run: what was changed or not used, where, and what to do about it.
std::string describe(const Note& note);

// A kind of note with how many there are: "3 códigos numerados para que no se repitan".
std::string countOf(NoteKind kind, std::size_t count);

// How many notes a run left, one line per kind: what a summary says.
std::vector<std::string> noteCounts(const RunNotes& notes);

// Every note, grouped by kind under a line that counts them: what a saved file of notes holds.
// Lines end in '\n'. The text of a large run is large: where it goes to a file, it is written
// there as it is made.
void writeNoteDetails(std::ostream& out, const RunNotes& notes);
std::string noteDetails(const RunNotes& notes);

// What a person can take in of a run's notes however many there are: under the line that
// counts each kind, for each table's field (or table, or section) they were made at, the first
// few notes and how many more there are ("Y 28240 más en la tabla ASIGNOMT, campo COD."): what
// the closing message's details say. Lines end in '\n'.
std::string noteExamples(const RunNotes& notes, std::size_t examplesPerPlace = 3);

// The warning a conversion gives before its closing message when codes now name someone or
// something else than before; nothing when none did.
std::optional<std::string> movedCodesWarning(const RunNotes& notes);

// How a replaced table changed: "2 nuevos y 1 quitado".
std::string rowChanges(std::size_t added, std::size_t removed);

} // namespace velmora::messages
