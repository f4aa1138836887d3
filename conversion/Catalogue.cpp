#include "conversion/Builders.h"
#include "conversion/ShortCode.h"

namespace velmora {

namespace {

using tables::ASIGNOMT;

// One subject or task as the catalogue takes it from its record.
struct CatalogueItem {
    std::string_view name;
    std::string_view sauceCode;
    std::string_view taskKey; // tasks only
    bool isTask = false;
};

// Appends the item's row unless its Sauce code has produced a row already: subjects and tasks
// share one catalogue, so the first record with a code decides its name and short code.
void appendCatalogueRow(ConversionContext& context, const CatalogueItem& item) {
    if (context.listCODLARGO.contains(item.sauceCode)) {
        return;
    }
    context.listCODLARGO.add(item.sauceCode);
    const std::string code = makeShortCode(context.asStored(item.sauceCode), context.listCOD);

    auto row = context.tables.asignomt.append();
    row.setText(ASIGNOMT::COD, code);
    row.setText(ASIGNOMT::CODLARGO, item.sauceCode);
    row.setText(ASIGNOMT::NOMBRE, item.name);
    if (item.isTask) {
        row.setText(ASIGNOMT::CODTAREA, item.taskKey);
    }
    row.setBoolean(ASIGNOMT::ESTAREA, item.isTask);
}

} // namespace

void CargarMaterias(ConversionContext& context) {
    // The lists hold only what this run gives out, even when an earlier attempt failed half way.
    context.listCOD = CodeList{};
    context.listCODLARGO = CodeList{};
    context.tables.asignomt = {};
    for (const SauceRecord& subject : context.usableRecords("MATERIAS")) {
        appendCatalogueRow(context, {.name = subject.value(1),
                                     .sauceCode = subject.value(2),
                                     .taskKey = {},
                                     .isTask = false});
    }
}

void CargarTareas(ConversionContext& context) {
    for (const SauceRecord& task : context.usableRecords("TAREAS")) {
        appendCatalogueRow(context, {.name = task.value(1),
                                     .sauceCode = task.value(2),
                                     .taskKey = task.value(0),
                                     .isTask = true});
    }
    context.listCOD = CodeList{};
    context.listCODLARGO = CodeList{};
}

} // namespace velmora
