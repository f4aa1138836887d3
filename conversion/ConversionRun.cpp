#include "conversion/ConversionRun.h"

#include "conversion/Builders.h"
#include "conversion/ConversionContext.h"
#include "conversion/StagingFolder.h"
#include "conversion/TableReplacement.h"
#include "formats/ExchangeTables.h"
#include "services/XmlDocument.h"

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

// The document is let go once its sections are read: a large school's tables are built beside
// the sections' texts, not beside the whole parsed document.
ServiceSections readSections(const std::filesystem::path& document) {
    return ServiceSections::read(XmlDocument::load(document));
}

} // namespace

ConversionRun::ConversionRun(std::filesystem::path document, std::filesystem::path exchangeFolder,
                             FrameChooser& frames)
    : document_(std::move(document)), folder_(std::move(exchangeFolder)), frames_(frames) {}

ConversionSummary ConversionRun::run() {
    const ServiceSections sections = readSections(document_);
    const StagingFolder staging(folder_);
    // The tables are checked again when they are replaced; checking now spares the user the
    // frame question of a run that cannot end well.
    requireTablesNotInUse(folder_, convertedTableNames());

    ConversionContext context(sections, document_, frames_);
    CargarMaterias(context);
    CargarTareas(context);
    CargarMateriasCurso(context);
    CargarProfesores(context);
    CargarAulas(context);
    CargarCursosGrupos(context);
    CargarAsignaciones(context);
    CargarJornadas(context);

    context.tables.writeTo(staging.path());
    replaceTables(folder_, staging.path(), convertedTableNames());
    return ConversionSummary{context.tables.rowCounts()};
}

} // namespace velmora
