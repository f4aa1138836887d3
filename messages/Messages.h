#pragma once

#include "formats/RunNotes.h"
#include "services/Error.h"

#include <exception>
#include <string>
#include <system_error>

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

} // namespace velmora::messages
