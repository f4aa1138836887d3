#pragma once

#include "conversion/CodeList.h"

#include <string>

namespace velmora {

// Derives from source a code of at most 10 characters that `issued` does not hold yet, and
// adds it to `issued`. Every builder that gives out codes uses this one rule.
std::string makeShortCode(const std::string& source, CodeList& issued);

} // namespace velmora
