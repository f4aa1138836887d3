#pragma once

#include "results/Timetable.h"
#include "services/XmlDocument.h"

#include <filesystem>

namespace velmora {

// Loads a Sauce service document for the results. Throws an Error naming the file when it is
// not well-formed or its root has no SALIDAS element, so that nothing is written for it.
XmlDocument loadServiceDocument(const std::filesystem::path& file);

// Replaces the document's SALIDAS with a new one, appended as the root's last child, holding
// the status block and one list per teacher with the teacher's lessons. Every other part of
// the document stays as it was loaded.
void writeResults(XmlDocument& document, const Timetable& timetable);

} // namespace velmora
