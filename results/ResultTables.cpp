#include "results/ResultTables.h"

#include "formats/ExchangeTables.h"

namespace velmora {

ResultTables ResultTables::openExclusive(const std::filesystem::path& folder) {
    const auto open = [&folder](const TableLayout& layout) {
        return openTable(folder, layout.name, LockedFile::Lock::Exclusive);
    };
    // A braced list is evaluated left to right, and the tables already opened are released
    // again when a later one fails.
    return ResultTables{open(tables::SOLUC::layout),     open(tables::GRUPOST::layout),
                        open(tables::CURSOST::layout),   open(tables::PROFT::layout),
                        open(tables::AULAT::layout),     open(tables::ASIGNOMT::layout),
                        open(tables::ASIGNOMT2::layout), open(tables::DIASHORAST::layout),
                        open(tables::ASIGT::layout)};
}

} // namespace velmora
