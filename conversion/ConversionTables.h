#pragma once

#include "conversion/CatalogueRows.h"
#include "formats/ExchangeTables.h"
#include "formats/TableRows.h"

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

// The eight tables of a conversion as the builders make them, in memory: a later builder reads
// the rows of an earlier one from here, as the written table would give them back.
struct ConversionTables {
    CatalogueRows asignomt;
    NewTable<tables::ASIGNOMT2> asignomt2;
    NewTable<tables::PROFT> proft;
    NewTable<tables::AULAT> aulat;
    NewTable<tables::CURSOST> cursost;
    NewTable<tables::GRUPOST> grupost;
    NewTable<tables::ASIGT> asigt;
    NewTable<tables::DIASHORAST> diashorast;

    // Writes each table into folder as NAME.DBF, all of them side by side.
    void writeTo(const std::filesystem::path& folder) const;

    // The rows of every table beyond its first few MB wait in folder (see TableRows), so that
    // a large school's tables never stand whole in memory.
    void keepRowsOnDiskIn(const std::filesystem::path& folder);

    // Table name and rows, in the order the builders make them.
    std::vector<std::pair<std::string, int>> rowCounts() const;

    // Every table tells the observer of each text it cut or had characters replaced in.
    using FitObserver =
        std::function<void(const TableLayout& table, std::size_t row, std::size_t field,
                           std::string_view value, const TableRows::Fitted& fitted)>;
    void observeFits(const FitObserver& observer);
};

} // namespace velmora
