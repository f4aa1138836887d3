#pragma once

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

} // namespace velmora::messages
