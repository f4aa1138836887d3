#pragma once

#include "formats/RunNotes.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace velmora::testing {

// A note as one line: its kind and each detail it carries, so that a list of notes compares
// whole and a failure shows what was noted instead:
//   "code-moved table=PROFT code=PEREZ before=E1 (Ana Pérez) after=E3 (Luis Pérez)"
std::string noteLine(const Note& note);

// The lines of the notes of these kinds (every kind when none is named), in the run's order.
std::vector<std::string> noteLines(const RunNotes& notes,
                                   std::initializer_list<NoteKind> kinds = {});

} // namespace velmora::testing
