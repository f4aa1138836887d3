#include "conversion/Builders.h"
#include "conversion/ShortCode.h"
#include "formats/ExchangeTables.h"
#include "formats/ServiceDocument.h"

namespace velmora {

void CargarProfesores(ConversionContext& context) {
    createTable(context.folder, tables::PROFT);
    const auto teachers = sectionRecords(context.document, "PROFESORES");
    Table table = openTable(context.folder, tables::PROFT.name, OpenMode::Shared);
    CodeList issuedCodes;
    for (const SauceRecord& teacher : teachers) {
        if (teacher.valueCount() < 2) {
            continue;
        }
        const std::string code = makeShortCode(teacher.value(3), issuedCodes);
        table.append();
        table.writeText("ABREV", code);
        table.writeText("NOMBRE", teacher.value(2));
        table.writeText("X_EMPLEADO", teacher.value(0));
        table.writeText("F_TOMAPOS", teacher.value(1));
        table.post();
    }
    table.close();
}

} // namespace velmora
