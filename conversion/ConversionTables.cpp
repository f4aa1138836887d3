#include "conversion/ConversionTables.h"

#include <future>
#include <vector>

namespace velmora {

namespace {

template <typename Tables, typename Visit> void forEachTable(Tables& t, Visit visit) {
    visit(tables::ASIGNOMT::layout, t.asignomt);
    visit(tables::ASIGNOMT2::layout, t.asignomt2);
    visit(tables::PROFT::layout, t.proft);
    visit(tables::AULAT::layout, t.aulat);
    visit(tables::CURSOST::layout, t.cursost);
    visit(tables::GRUPOST::layout, t.grupost);
    visit(tables::ASIGT::layout, t.asigt);
    visit(tables::DIASHORAST::layout, t.diashorast);
}

} // namespace

void ConversionTables::writeTo(const std::filesystem::path& folder) const {
    // Each table waits for the disk at its end; written side by side, the waits overlap each
    // other and the writing of the rest. The first failure is thrown once every write is over.
    std::vector<std::future<void>> writes;
    forEachTable(*this, [&folder, &writes](const TableLayout&, const auto& table) {
        writes.push_back(
            std::async(std::launch::async, [&folder, &table] { table.writeTo(folder); }));
    });
    for (std::future<void>& write : writes) {
        write.wait();
    }
    for (std::future<void>& write : writes) {
        write.get();
    }
}

void ConversionTables::keepRowsOnDiskIn(const std::filesystem::path& folder) {
    forEachTable(*this,
                 [&folder](const TableLayout&, auto& table) { table.keepRowsOnDiskIn(folder); });
}

std::vector<std::pair<std::string, int>> ConversionTables::rowCounts() const {
    std::vector<std::pair<std::string, int>> counts;
    forEachTable(*this, [&counts](const TableLayout& layout, const auto& table) {
        counts.emplace_back(std::string(layout.name), static_cast<int>(table.size()));
    });
    return counts;
}

void ConversionTables::observeFits(const FitObserver& observer) {
    forEachTable(*this, [&observer](const TableLayout& layout, auto& table) {
        table.observeFits([observer, layout](std::size_t row, std::size_t field,
                                             std::string_view value,
                                             const TableRows::Fitted& fitted) {
            observer(layout, row, field, value, fitted);
        });
    });
}

} // namespace velmora
