#include "results/ResultTables.h"

#include "formats/ExchangeTables.h"
#include "services/Error.h"

namespace velmora {

ResultTables ResultTables::openExclusive(const std::filesystem::path& folder) {
    const auto open = [&folder](const char* table) {
        return openTable(folder, table, OpenMode::Exclusive);
    };
    // A braced list is evaluated left to right, and the tables already opened are closed
    // again when a later one fails.
    return ResultTables{open("SOLUC"),     open("GRUPOST"),    open("CURSOST"),
                        open("PROFT"),     open("AULAT"),      open("ASIGNOMT"),
                        open("ASIGNOMT2"), open("DIASHORAST"), open("ASIGT")};
}

void ResultTables::close() {
    for (Table* table :
         {&soluc, &grupost, &cursost, &proft, &aulat, &asignomt, &asignomt2, &diashorast, &asigt}) {
        table->close();
    }
}

void requireFields(const Table& table, std::initializer_list<const char*> fields) {
    for (const char* field : fields) {
        if (!table.hasField(field)) {
            throw Error("Field '" + std::string(field) + "' not found in table " + table.name());
        }
    }
}

} // namespace velmora
