#pragma once

#include "app/WindowDialogs.h"
#include "formats/RunNotes.h"

namespace velmora::app {

// The closing message of a run that left notes: the closing text, how many notes of each kind,
// and every note for the details.
NotesMessage notesMessageFor(const QString& closingText, const RunNotes& notes);

} // namespace velmora::app
