#include "conversion/Builders.h"
#include "formats/ExchangeTables.h"
#include "formats/ServiceDocument.h"
#include "services/Text.h"

namespace velmora {

namespace {

// The timetable program knows a subject of a course by the first four characters of its code.
constexpr std::size_t kCourseSubjectCodeLength = 4;

// Subjects and tasks give their rows alike; only the field that takes position 3 differs (the
// course key of a subject, the mark of a task).
void appendRows(Table& table, const std::vector<SauceRecord>& records,
                const std::string& fieldOfPosition3) {
    for (const SauceRecord& record : records) {
        if (record.valueCount() < 2) {
            continue;
        }
        table.append();
        table.writeText("COD", text::left(record.value(2), kCourseSubjectCodeLength));
        table.writeText("CODLARGO", record.value(2));
        table.writeText("NOMBRE", record.value(1));
        table.writeText("MATERIA", record.value(0));
        table.writeText(fieldOfPosition3, record.value(3));
        table.post();
    }
}

} // namespace

void CargarMateriasCurso(ConversionContext& context) {
    createTable(context.folder, tables::ASIGNOMT2);
    Table table = openTable(context.folder, tables::ASIGNOMT2.name, OpenMode::Shared);
    appendRows(table, sectionRecords(context.document, "MATERIAS"), "CLAVECURSO");
    appendRows(table, sectionRecords(context.document, "TAREAS"), "ALECTIVA");
    table.close();
}

} // namespace velmora
