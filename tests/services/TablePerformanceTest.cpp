#include "TableFileBuilder.h"
#include "services/Table.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace velmora;
using namespace velmora::testing;

namespace {

std::string padded(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

std::string rightAligned(const std::string& text, std::size_t width) {
    return std::string(width - text.size(), ' ') + text;
}

} // namespace

// The results run filters the solution once per teacher and walks it: a school's solution has
// tens of thousands of placements, and the run must not take minutes.
TEST(TablePerformance, FiltersAndWalksALargeSolutionQuickly) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    constexpr int teachers = 100;
    constexpr int records = 40000;
    std::vector<std::string> rows;
    for (int i = 0; i < records; ++i) {
        rows.push_back(" " + padded("P" + std::to_string(i % teachers), 4) +
                       rightAligned(std::to_string(i % 5 + 1) + ".0000", 20) +
                       padded(std::to_string(i % 2), 1));
    }
    writeFile(file,
              dbfFile(0x03, {{"PROF", 'C', 4}, {"DIA", 'N', 20, 4}, {"MARCO", 'C', 1}}, rows));

    const auto start = std::chrono::steady_clock::now();
    Table table = Table::open(file, OpenMode::Exclusive);
    std::int64_t daySum = 0;
    int seen = 0;
    for (int teacher = 0; teacher < teachers; ++teacher) {
        table.setFiltered(false);
        table.setFilter("PROF= 'P" + std::to_string(teacher) + "'");
        table.setFiltered(true);
        for (; !table.eof(); table.next()) {
            daySum += table.readInteger("DIA");
            seen += table.readText("MARCO").empty() ? 0 : 1;
        }
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(seen, records);
    EXPECT_EQ(daySum, static_cast<std::int64_t>(records / 5) * (1 + 2 + 3 + 4 + 5));
    EXPECT_EQ(table.recordCount(), records);
    // Generous for a loaded machine and sanitizer builds; a file re-read per record takes far
    // longer.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count(), 20);
}
