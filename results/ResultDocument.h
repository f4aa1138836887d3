#pragma once

#include "results/Timetable.h"
#include "services/XmlDocument.h"

#include <filesystem>

namespace velmora {

// Loads a Sauce service document for the results. Throws an Error naming the file when it is
// not well-formed or its root has no SALIDAS element, so that nothing is written for it.
XmlDocument loadServiceDocument(const std::filesystem::path& file);

// The document's SALIDAS, emptied where it stands, and the white space that laid out the old
// one: before it, and at the start of its content.
struct EmptiedSalidas {
    XmlNode element;
    std::string blankBefore;
    std::string blankInside;
};

// Puts an empty SALIDAS in place of the document's (a second one is removed), so that the
// input sections it held are freed before the results are read.
EmptiedSalidas emptySalidas(XmlDocument& document);

// Writes the status block and one list per teacher with the teacher's lessons into the emptied
// SALIDAS, one element per line and indented like the rest of the document.
void writeResults(XmlDocument& document, const EmptiedSalidas& salidas, const Timetable& timetable);

} // namespace velmora
