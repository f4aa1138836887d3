#pragma once

#include "formats/RunNotes.h"

#include <ostream>

namespace velmora::cli {

// After a run's summary: one line for each kind of note with how many there are, and where
// to read them all. Nothing when the run has nothing to say.
void printNoteCounts(std::ostream& out, const RunNotes& notes, bool reportAsked);

} // namespace velmora::cli
