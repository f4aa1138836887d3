#include "conversion/Builders.h"

namespace velmora {

using tables::PROFT;

void CargarProfesores(ConversionContext& context) {
    auto& table = context.tables.proft;
    table.clear();
    CodeList issuedCodes;
    for (const SauceRecord& teacher : context.usableRecords("PROFESORES")) {
        const std::string code = context.shortCode(teacher.value(3), issuedCodes, PROFT::layout,
                                                   table.size() + 1, nameOf(PROFT::ABREV));
        auto row = table.append();
        row.setText(PROFT::ABREV, code);
        row.setText(PROFT::NOMBRE, teacher.value(2));
        row.setText(PROFT::X_EMPLEADO, teacher.value(0));
        row.setText(PROFT::F_TOMAPOS, teacher.value(1));
    }
}

} // namespace velmora
