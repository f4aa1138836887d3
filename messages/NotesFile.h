#pragma once

#include "formats/RunNotes.h"

#include <filesystem>

namespace velmora::messages {

// Where automatic mode leaves a run's notes for the program that started it: beside the ini
// file that gets the completion code.
std::filesystem::path automaticNotesFile(const std::filesystem::path& iniFile);

// Writes the notes as a text file a person opens, whole, or throws velmora::Error naming it:
// every note grouped by kind, in UTF-8, with the platform's own line ends.
void writeNotesFile(const std::filesystem::path& file, const RunNotes& notes);

} // namespace velmora::messages
