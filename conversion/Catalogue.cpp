#include "conversion/Builders.h"

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
void appendCatalogueRow(ConversionContext& context, const SauceRecord& record,
                        const std::string& section, const CatalogueItem& item) {
    auto& catalogue = context.tables.asignomt;
    if (const auto* first = catalogue.firstRowFor(item.sauceCode)) {
        // Sauce lists a subject once for every course that has it: the same code and name
        // again lose nothing. Only a record that says something else is left out unheard.
        if (first->sauceCode != item.sauceCode || first->name != item.name) {
            context.notes.add({.kind = NoteKind::RecordSkipped,
                               .section = section,
                               .record = record.position(),
                               .value = item.sauceCode,
                               .code = first->sauceCode,
                               .before = first->name,
                               .after = item.name,
                               .reason = "repeated-code"});
        }
        return;
    }
    catalogue.takeSauceCode(item.sauceCode, item.name);
    const std::string code =
        context.shortCode(item.sauceCode, catalogue.listCOD(), ASIGNOMT::layout,
                          catalogue.size() + 1, nameOf(ASIGNOMT::COD));

    auto row = catalogue.append();
    row.setText(ASIGNOMT::COD, code);
    row.setText(ASIGNOMT::CODLARGO, item.sauceCode);
    row.setText(ASIGNOMT::NOMBRE, item.name);
    if (item.isTask) {
        row.setText(ASIGNOMT::CODTAREA, item.taskKey);
    }
    row.setBoolean(ASIGNOMT::ESTAREA, item.isTask);
}

} // namespace

// The subjects start the catalogue afresh, its code lists with it, even after an attempt that
// failed half way.
void CargarMaterias(ConversionContext& context) {
    context.tables.asignomt.clear();
    for (const SauceRecord& subject : context.usableRecords("MATERIAS")) {
        appendCatalogueRow(context, subject, "MATERIAS",
                           {.name = subject.value(1),
                            .sauceCode = subject.value(2),
                            .taskKey = {},
                            .isTask = false});
    }
}

// The tasks continue the subjects' rows and code lists.
void CargarTareas(ConversionContext& context) {
    for (const SauceRecord& task : context.usableRecords("TAREAS")) {
        appendCatalogueRow(context, task, "TAREAS",
                           {.name = task.value(1),
                            .sauceCode = task.value(2),
                            .taskKey = task.value(0),
                            .isTask = true});
    }
}

} // namespace velmora
