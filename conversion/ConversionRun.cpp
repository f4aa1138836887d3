#include "conversion/ConversionRun.h"

#include "conversion/Builders.h"
#include "conversion/ConversionContext.h"
#include "conversion/TableReplacement.h"
#include "formats/ExchangeTables.h"
#include "services/Error.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/NativeFiles.h"
#include "services/files/WorkFolder.h"

#include <utility>

namespace velmora {

namespace {

std::vector<std::string> convertedTableNames() {
    std::vector<std::string> names;
    for (const TableLayout& layout : convertedTables()) {
        names.emplace_back(layout.name);
    }
    return names;
}

} // namespace

ConversionRun::ConversionRun(std::filesystem::path document, std::filesystem::path exchangeFolder,
                             FrameChooser& frames)
    : document_(std::move(document)), folder_(std::move(exchangeFolder)), frames_(frames) {}

ConversionSummary ConversionRun::run() {
    // Only the sections' texts are kept, never the document's tree: a large school's tables
    // are built beside them.
    const ServiceSections sections = ServiceSections::load(document_);
    requireExchangeFolder(folder_);
    tidyExchangeFolder(folder_);
    const WorkFolder work(folder_);
    // The tables are checked again when they are replaced; checking now spares the user the
    // frame question of a run that cannot end well.
    requireTablesNotInUse(folder_, convertedTableNames());

    ConversionContext context(sections, document_, frames_);
    context.tables.keepRowsOnDiskIn(work.path());
    context.noteWhatTheTablesChange();
    CargarMaterias(context);
    CargarTareas(context);
    CargarMateriasCurso(context);
    CargarProfesores(context);
    CargarAulas(context);
    CargarCursosGrupos(context);
    CargarAsignaciones(context);
    CargarJornadas(context);

    ConversionSummary summary{context.tables.rowCounts(), {}, {}};
    summary.changes = compareWithOldTables(folder_, context.tables, context.notes);
    context.tables.writeTo(work.path());
    if (const std::error_code notSynced = native::syncFolder(work.path())) {
        throw Error(ErrorKind::WorkFolderFailed, {.file = folder_, .system = notSynced});
    }
    summary.notes = std::move(context.notes);
    if (along_.prepare) {
        along_.prepare(summary);
    }
    replaceTables(folder_, work.path(), convertedTableNames(), {afterStep_, along_.putInPlace});
    return summary;
}

} // namespace velmora
