#include "conversion/Builders.h"
#include "services/text/Text.h"

namespace velmora {

namespace {

using tables::ASIGNOMT2;

// The timetable program knows a subject of a course by the first four characters of its code.
constexpr std::size_t kCourseSubjectCodeLength = 4;

// Subjects and tasks give their rows alike; only the field that takes position 3 differs (the
// course key of a subject, the mark of a task).
void appendRows(NewTable<ASIGNOMT2>& table, const ConversionContext::Records& records,
                Field<ASIGNOMT2> fieldOfPosition3) {
    for (const SauceRecord& record : records) {
        auto row = table.append();
        row.setText(ASIGNOMT2::COD, text::left(record.value(2), kCourseSubjectCodeLength));
        row.setText(ASIGNOMT2::CODLARGO, record.value(2));
        row.setText(ASIGNOMT2::NOMBRE, record.value(1));
        row.setText(ASIGNOMT2::MATERIA, record.value(0));
        row.setText(fieldOfPosition3, record.value(3));
    }
}

} // namespace

void CargarMateriasCurso(ConversionContext& context) {
    auto& table = context.tables.asignomt2;
    table.clear();
    appendRows(table, context.usableRecords("MATERIAS"), ASIGNOMT2::CLAVECURSO);
    appendRows(table, context.usableRecords("TAREAS"), ASIGNOMT2::ALECTIVA);
}

} // namespace velmora
