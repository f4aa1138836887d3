#pragma once

#include "conversion/CodeList.h"

#include <cstddef>
#include <string>

namespace velmora {

// The timetable program knows teachers, rooms, groups, subjects and tasks by codes of at most
// this many characters.
inline constexpr std::size_t kShortCodeLength = 10;

struct IssuedCode {
    std::string code;
    bool numbered = false; // a number was added to keep it apart from a code given before
};

// Derives from source a code of at most 10 characters that `issued` does not hold yet, and
// adds it to `issued`. Every builder that gives out codes uses this one rule. Its time does not
// grow with the number of codes already numbered from the same base.
IssuedCode makeShortCode(const std::string& source, CodeList& issued);

} // namespace velmora
