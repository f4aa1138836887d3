#include "formats/ExchangeTables.h"

#include "services/Error.h"
#include "services/files/ExchangeFolder.h"
#include "services/text/Text.h"

namespace velmora {

namespace {

// What makes a missing table appear: Horadia's own work, or a conversion.
ErrorReason whereTheTableComesFrom(const std::string& table) {
    const std::string wanted = text::asciiUpper(table);
    if (wanted == tables::SOLUC::layout.name) {
        return ErrorReason::MadeByHoradia;
    }
    for (const TableLayout& converted : convertedTables()) {
        if (wanted == converted.name) {
            return ErrorReason::MadeByConversion;
        }
    }
    return ErrorReason::None;
}

} // namespace

const std::vector<TableLayout>& convertedTables() {
    static const std::vector<TableLayout> all{tables::ASIGNOMT::layout, tables::ASIGNOMT2::layout,
                                              tables::PROFT::layout,    tables::AULAT::layout,
                                              tables::CURSOST::layout,  tables::GRUPOST::layout,
                                              tables::ASIGT::layout,    tables::DIASHORAST::layout};
    return all;
}

DbfReader openTable(const std::filesystem::path& folder, std::string_view table,
                    LockedFile::Lock lock) {
    requireExchangeFolder(folder);
    const std::string name(table);
    const auto file = findTableFile(folder, name);
    if (!file) {
        throw Error(ErrorKind::TableNotFound,
                    {.file = folder, .table = name, .reason = whereTheTableComesFrom(name)});
    }
    return DbfReader::open(*file, lock, name);
}

} // namespace velmora
