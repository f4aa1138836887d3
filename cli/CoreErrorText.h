#pragma once

#include <exception>
#include <string>

namespace velmora::cli {

// The words printed for an error of a run (the document, the tables, the exchange folder).
// Every such error is printed through here, so that its words are chosen in one place.
std::string coreErrorText(const std::exception& error);

} // namespace velmora::cli
