#pragma once

#include "results/Timetable.h"
#include "services/xml/XmlDocument.h"

#include <filesystem>

namespace velmora {

// Loads the document the results are written into. Its root may bear any name, but it must
// have a SALIDAS element to replace: otherwise an Error naming the file, before anything is
// written.
XmlDocument loadDocumentWithSalidas(const std::filesystem::path& file);

// The new, empty SALIDAS of the document, and the white space that laid out the old one: before
// it, and at the start of its content.
struct NewSalidas {
    XmlNode element;
    std::string blankBefore;
    std::string blankInside;
};

// Removes every SALIDAS of the root, so that the input sections they held are freed before the
// results are read, and appends an empty one as the root's last child, on a line of its own
// where the old one stood on one.
NewSalidas replaceSalidas(XmlDocument& document);

// Writes the content of the new SALIDAS to the stream of the document's save: the status block
// and one list per teacher with the teacher's lessons, one element per line and indented like
// the rest of the document.
void writeResults(XmlDocument& document, XmlContentStream& stream, const NewSalidas& salidas,
                  const Timetable& timetable);

} // namespace velmora
