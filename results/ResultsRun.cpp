#include "results/ResultsRun.h"

#include "results/ResultDocument.h"
#include "results/ResultTables.h"
#include "results/Timetable.h"

#include <utility>

namespace velmora {

std::filesystem::path resultPathFor(const std::filesystem::path& document) {
    std::filesystem::path name("ResultadoHoradia");
    name += document.filename();
    return document.parent_path() / name;
}

ResultsRun::ResultsRun(std::filesystem::path document, std::filesystem::path exchangeFolder)
    : document_(std::move(document)), folder_(std::move(exchangeFolder)) {}

// Everything is read and built in memory first; the save, which replaces the result file in
// one rename, is the only write, so a run that fails anywhere leaves no result behind.
std::filesystem::path ResultsRun::run() {
    ResultTables tables = ResultTables::openExclusive(folder_);
    XmlDocument document = loadServiceDocument(document_);
    const Timetable timetable = readTimetable(tables);
    tables.close();

    writeResults(document, timetable);
    const std::filesystem::path result = resultPathFor(document_);
    document.save(result);
    return result;
}

} // namespace velmora
