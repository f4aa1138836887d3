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

const std::string& solucSlotFields() {
    using tables::SOLUC;
    static const std::string fields = std::string(nameOf(SOLUC::DIA)) + "+" +
                                      std::string(nameOf(SOLUC::HORA)) + "+" +
                                      std::string(nameOf(SOLUC::MARCO));
    return fields;
}

std::vector<std::string_view> tablesKnowingSolucCodes(std::string_view field) {
    using namespace tables;
    if (field == nameOf(SOLUC::PROF)) {
        return {PROFT::layout.name};
    }
    if (field == nameOf(SOLUC::ASIG)) {
        return {ASIGT::layout.name, ASIGNOMT2::layout.name};
    }
    if (field == nameOf(SOLUC::TAREA)) {
        return {ASIGNOMT::layout.name};
    }
    if (field == nameOf(SOLUC::CODGRUPO)) {
        return {GRUPOST::layout.name};
    }
    if (field == nameOf(SOLUC::AULA)) {
        return {AULAT::layout.name};
    }
    if (field == solucSlotFields()) {
        return {DIASHORAST::layout.name};
    }
    return {};
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
