#include "conversion/Builders.h"
#include "conversion/ShortCode.h"

namespace velmora {

using tables::AULAT;

void CargarAulas(ConversionContext& context) {
    auto& table = context.tables.aulat = {};
    CodeList issuedCodes;
    for (const SauceRecord& room : context.usableRecords("AULAS")) {
        const std::string code = makeShortCode(context.asStored(room.value(2)), issuedCodes);
        auto row = table.append();
        row.setText(AULAT::ABREV, code);
        row.setText(AULAT::NOMBRE, room.value(1));
        row.setText(AULAT::DEPCENTRO, room.value(0));
    }
}

} // namespace velmora
