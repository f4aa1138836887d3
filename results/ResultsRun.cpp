#include "results/ResultsRun.h"

#include "results/ResultDocument.h"
#include "results/ResultTables.h"
#include "results/Timetable.h"
#include "services/files/FileReplacement.h"
#include "services/files/WholeFile.h"

#include <optional>
#include <utility>

namespace velmora {

std::filesystem::path resultPathFor(const std::filesystem::path& document) {
    std::filesystem::path name("ResultadoHoradia");
    name += document.filename();
    return document.parent_path() / name;
}

ResultsRun::ResultsRun(std::filesystem::path document, std::filesystem::path exchangeFolder)
    : document_(std::move(document)), folder_(std::move(exchangeFolder)) {}

// The result is written beside its place and renamed over it at the very end, so a run that
// fails anywhere leaves the earlier result as it was; its draft is made first, which shows that
// the result can be written at all before anything else is done. The document's input sections
// are dropped before the timetable is read, the timetable is held as numbers of texts, and the
// new SALIDAS is written block by block as the file is saved, never held whole: the run needs
// far less memory than the result document would take as a tree.
std::filesystem::path ResultsRun::run() {
    tidyExchangeFolder(folder_);
    const std::filesystem::path result = resultPathFor(document_);
    FileDraft draft(result, ErrorKind::ResultNotSaved);
    std::optional<ResultTables> tables = ResultTables::openExclusive(folder_);
    XmlDocument document = loadDocumentWithSalidas(document_);
    const NewSalidas salidas = replaceSalidas(document);
    Timetable timetable = readTimetable(*tables);
    tables.reset(); // released before the long part of the run

    document.saveStreamingInto(draft, salidas.element, [&](XmlContentStream& stream) {
        writeResults(document, stream, salidas, timetable);
    });
    draft.finish();
    lessonCount_ = timetable.lessonListCount();
    notes_ = timetable.notes;
    if (along_.prepare) {
        along_.prepare(*this);
    }
    draft.putInPlace();
    if (along_.putInPlace) {
        along_.putInPlace();
    }
    return result;
}

} // namespace velmora
