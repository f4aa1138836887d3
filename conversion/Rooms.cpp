#include "conversion/Builders.h"

namespace velmora {

using tables::AULAT;

void CargarAulas(ConversionContext& context) {
    auto& table = context.tables.aulat;
    table.clear();
    CodeList issuedCodes;
    for (const SauceRecord& room : context.usableRecords("AULAS")) {
        const std::string code = context.shortCode(room.value(2), issuedCodes, AULAT::layout,
                                                   table.size() + 1, nameOf(AULAT::ABREV));
        auto row = table.append();
        row.setText(AULAT::ABREV, code);
        row.setText(AULAT::NOMBRE, room.value(1));
        row.setText(AULAT::DEPCENTRO, room.value(0));
    }
}

} // namespace velmora
