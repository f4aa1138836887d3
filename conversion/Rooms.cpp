#include "conversion/Builders.h"
#include "conversion/ShortCode.h"
#include "formats/ExchangeTables.h"
#include "formats/ServiceDocument.h"

namespace velmora {

void CargarAulas(ConversionContext& context) {
    createTable(context.folder, tables::AULAT);
    const auto rooms = sectionRecords(context.document, "AULAS");
    Table table = openTable(context.folder, tables::AULAT.name, OpenMode::Shared);
    CodeList issuedCodes;
    for (const SauceRecord& room : rooms) {
        if (room.valueCount() < 2) {
            continue;
        }
        const std::string code = makeShortCode(room.value(2), issuedCodes);
        table.append();
        table.writeText("ABREV", code);
        table.writeText("NOMBRE", room.value(1));
        table.writeText("DEPCENTRO", room.value(0));
        table.post();
    }
    table.close();
}

} // namespace velmora
