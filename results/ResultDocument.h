#pragma once

#include "results/Timetable.h"
#include "services/xml/XmlDocument.h"

#include <filesystem>

namespace velmora {

// Loads the document the results are written into. Its root may bear any name, but it must
// have a SALIDAS element to replace: otherwise an Error naming the file, before anything is
// written.
XmlDocument loadDocumentWithSalidas(const std::filesystem::path& file);

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

// Writes the content of the emptied SALIDAS to the stream of the document's save: the status
// block and one list per teacher with the teacher's lessons, one element per line and indented
// like the rest of the document.
void writeResults(XmlDocument& document, XmlContentStream& stream, const EmptiedSalidas& salidas,
                  const Timetable& timetable);

} // namespace velmora
