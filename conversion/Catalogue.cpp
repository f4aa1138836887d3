#include "conversion/Builders.h"
#include "conversion/ShortCode.h"
#include "formats/ExchangeTables.h"
#include "formats/ServiceDocument.h"

namespace velmora {

namespace {

// One subject or task as the catalogue takes it from its record.
struct CatalogueItem {
    std::string name;
    std::string sauceCode;
    std::string taskKey; // tasks only
    bool isTask = false;
};

// Appends the item's row unless its Sauce code has produced a row already: subjects and tasks
// share one catalogue, so the first record with a code decides its name and short code.
void appendCatalogueRow(Table& catalogue, ConversionContext& context, const CatalogueItem& item) {
    if (context.listCODLARGO.contains(item.sauceCode)) {
        return;
    }
    context.listCODLARGO.add(item.sauceCode);
    const std::string code = makeShortCode(item.sauceCode, context.listCOD);

    catalogue.append();
    catalogue.writeText("COD", code);
    catalogue.writeText("CODLARGO", item.sauceCode);
    catalogue.writeText("NOMBRE", item.name);
    if (item.isTask) {
        catalogue.writeText("CODTAREA", item.taskKey);
    }
    catalogue.writeBoolean("ESTAREA", item.isTask);
    catalogue.post();
}

} // namespace

void CargarMaterias(ConversionContext& context) {
    // The lists hold only what this run gives out, even when an earlier attempt failed half way.
    context.listCOD = CodeList{};
    context.listCODLARGO = CodeList{};

    createTable(context.folder, tables::ASIGNOMT);
    const auto subjects = sectionRecords(context.document, "MATERIAS");
    Table catalogue = openTable(context.folder, tables::ASIGNOMT.name, OpenMode::Shared);
    for (const SauceRecord& subject : subjects) {
        if (subject.valueCount() < 2) {
            continue;
        }
        appendCatalogueRow(catalogue, context,
                           {.name = subject.value(1),
                            .sauceCode = subject.value(2),
                            .taskKey = {},
                            .isTask = false});
    }
    catalogue.close();
}

void CargarTareas(ConversionContext& context) {
    const auto tasks = sectionRecords(context.document, "TAREAS");
    Table catalogue = openTable(context.folder, tables::ASIGNOMT.name, OpenMode::Shared);
    for (const SauceRecord& task : tasks) {
        if (task.valueCount() < 2) {
            continue;
        }
        appendCatalogueRow(catalogue, context,
                           {.name = task.value(1),
                            .sauceCode = task.value(2),
                            .taskKey = task.value(0),
                            .isTask = true});
    }
    catalogue.close();

    context.listCOD = CodeList{};
    context.listCODLARGO = CodeList{};
}

} // namespace velmora
