#include "conversion/Builders.h"
#include "formats/ExchangeTables.h"
#include "formats/ServiceDocument.h"
#include "services/Text.h"

namespace velmora {

namespace {

// The timetable program knows a subject of a course by the first four characters of its code.
constexpr std::size_t kCourseSubjectCodeLength = 4;

void appendSubjectsByCourse(Table& table, const std::vector<SauceRecord>& subjects) {
    for (const SauceRecord& subject : subjects) {
        if (subject.valueCount() < 2) {
            continue;
        }
        table.append();
        table.writeText("COD", text::left(subject.value(2), kCourseSubjectCodeLength));
        table.writeText("CODLARGO", subject.value(2));
        table.writeText("NOMBRE", subject.value(1));
        table.writeText("MATERIA", subject.value(0));
        table.writeText("CLAVECURSO", subject.value(3));
        table.post();
    }
}

void appendTasks(Table& table, const std::vector<SauceRecord>& tasks) {
    for (const SauceRecord& task : tasks) {
        if (task.valueCount() < 2) {
            continue;
        }
        table.append();
        table.writeText("COD", text::left(task.value(2), kCourseSubjectCodeLength));
        table.writeText("CODLARGO", task.value(2));
        table.writeText("NOMBRE", task.value(1));
        table.writeText("MATERIA", task.value(0));
        table.writeText("ALECTIVA", task.value(3));
        table.post();
    }
}

} // namespace

void CargarMateriasCurso(ConversionContext& context) {
    createTable(context.folder, tables::ASIGNOMT2);
    Table table = openTable(context.folder, tables::ASIGNOMT2.name, OpenMode::Shared);
    appendSubjectsByCourse(table, sectionRecords(context.document, "MATERIAS"));
    appendTasks(table, sectionRecords(context.document, "TAREAS"));
    table.close();
}

} // namespace velmora
