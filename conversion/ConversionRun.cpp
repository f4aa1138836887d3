#include "conversion/ConversionRun.h"

#include "conversion/Builders.h"
#include "conversion/ConversionContext.h"
#include "conversion/StagingFolder.h"
#include "conversion/TableReplacement.h"
#include "formats/ExchangeTables.h"
#include "services/ExchangeFolder.h"
#include "services/XmlDocument.h"

#include <utility>

namespace velmora {

namespace {

std::vector<std::string> convertedTableNames() {
    std::vector<std::string> names;
    for (const TableLayout* layout : convertedTables()) {
        names.push_back(layout->name);
    }
    return names;
}

ConversionSummary countRows(const std::filesystem::path& folder) {
    ConversionSummary summary;
    for (const TableLayout* layout : convertedTables()) {
        Table table = Table::open(newTableFile(folder, layout->name), OpenMode::Shared);
        summary.rowsPerTable.emplace_back(layout->name, table.recordCount());
    }
    return summary;
}

} // namespace

ConversionRun::ConversionRun(std::filesystem::path document, std::filesystem::path exchangeFolder,
                             FrameChooser& frames)
    : document_(std::move(document)), folder_(std::move(exchangeFolder)), frames_(frames) {}

ConversionSummary ConversionRun::run() {
    const XmlDocument document = XmlDocument::load(document_);
    const StagingFolder staging(folder_);
    // The tables are checked again when they are replaced; checking now spares the user the
    // frame question of a run that cannot end well.
    requireTablesNotInUse(folder_, convertedTableNames());

    ConversionContext context{document, document_, staging.path(), frames_, {}, {}};
    CargarMaterias(context);
    CargarTareas(context);
    CargarMateriasCurso(context);
    CargarProfesores(context);
    CargarAulas(context);
    CargarCursosGrupos(context);
    CargarAsignaciones(context);
    CargarJornadas(context);

    ConversionSummary summary = countRows(staging.path());
    replaceTables(folder_, staging.path(), convertedTableNames());
    return summary;
}

} // namespace velmora
