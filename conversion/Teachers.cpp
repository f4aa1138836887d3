#include "conversion/Builders.h"
#include "conversion/ShortCode.h"

namespace velmora {

using tables::PROFT;

void CargarProfesores(ConversionContext& context) {
    auto& table = context.tables.proft = {};
    CodeList issuedCodes;
    for (const SauceRecord& teacher : context.usableRecords("PROFESORES")) {
        const std::string code = makeShortCode(context.asStored(teacher.value(3)), issuedCodes);
        auto row = table.append();
        row.setText(PROFT::ABREV, code);
        row.setText(PROFT::NOMBRE, teacher.value(2));
        row.setText(PROFT::X_EMPLEADO, teacher.value(0));
        row.setText(PROFT::F_TOMAPOS, teacher.value(1));
    }
}

} // namespace velmora
