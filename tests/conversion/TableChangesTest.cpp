#include "conversion/ConversionRun.h"
#include "formats/ExchangeTables.h"
#include "support/NoteLines.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <utility>

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;

class OneFrame : public FrameChooser {
public:
    std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
        throw std::logic_error("the test's documents have one time frame");
    }
};

const std::vector<SauceRecordValues> kRooms{{"A1", "Aula 1", "AULA1"}, {"A2", "Aula 2", "AULA2"}};

// The kinds a comparison with the old tables gives.
const std::initializer_list<NoteKind> kChangeKinds{NoteKind::RowAdded, NoteKind::RowRemoved,
                                                   NoteKind::CodeMoved};

// How each table changed, by name.
std::map<std::string, std::pair<std::size_t, std::size_t>>
changesByTable(const ConversionSummary& summary) {
    std::map<std::string, std::pair<std::size_t, std::size_t>> changes;
    for (const TableChange& change : summary.changes) {
        changes[change.table] = {change.added, change.removed};
    }
    return changes;
}

class TableChanges : public ::testing::Test {
protected:
    ConversionSummary convert(const std::string& xml) {
        writeFile(document, xml);
        return ConversionRun(document, exchange.path(), frames).run();
    }

    TempDir home;
    TempDir exchange;
    std::filesystem::path document = home / "sauce.xml";
    OneFrame frames;
};

// Horadia knows teachers by their codes: when a new teacher comes first in the list and takes
// the code an earlier one had, a timetable made on the old tables would give her his lessons.
TEST_F(TableChanges, TeachersAddedBeforeOthersOfTheSameSurnameTakeTheirCodes) {
    const auto first = convert(smallSchoolXml(
        {{"E1", "Ana Pérez", "PEREZ"}, {"E2", "Eva Pérez", "PEREZ"}, {"E5", "Juan Gil", "GIL"}},
        kRooms));
    EXPECT_TRUE(first.changes.empty()) << "nothing to compare with in an empty folder";

    // Juan Gil's new name changes no code and is no new row.
    const auto second = convert(smallSchoolXml({{"E0", "Luis Pérez", "PEREZ"},
                                                {"E1", "Ana Pérez", "PEREZ"},
                                                {"E2", "Eva Pérez", "PEREZ"},
                                                {"E5", "Juan Gil Ruiz", "GIL"}},
                                               kRooms));

    EXPECT_THAT(noteLines(second.notes, kChangeKinds),
                ElementsAre("row-added table=PROFT value=E0 (Luis Pérez)",
                            "code-moved table=PROFT code=PEREZ before=E1 (Ana Pérez) "
                            "after=E0 (Luis Pérez)",
                            "code-moved table=PROFT code=PEREZ1 before=E2 (Eva Pérez) "
                            "after=E1 (Ana Pérez)"));
    const auto changes = changesByTable(second);
    EXPECT_EQ(changes.size(), 8u) << "every table had an old one to compare with";
    EXPECT_EQ(changes.at("PROFT"), std::make_pair(std::size_t{1}, std::size_t{0}));
    for (const auto& [table, change] : changes) {
        if (table != "PROFT") {
            EXPECT_EQ(change, std::make_pair(std::size_t{0}, std::size_t{0})) << table;
        }
    }
}

TEST_F(TableChanges, ARemovedRoomIsNotedAndTheCodesLeftKeepTheirRooms) {
    const std::vector<SauceRecordValues> teachers{{"E1", "Ana Pérez", "PEREZ"}};
    convert(smallSchoolXml(teachers, kRooms));
    const auto second = convert(smallSchoolXml(teachers, {kRooms[1]}));

    EXPECT_THAT(noteLines(second.notes, kChangeKinds),
                ElementsAre("row-removed table=AULAT value=A1 (Aula 1)"));
    EXPECT_EQ(changesByTable(second).at("AULAT"), std::make_pair(std::size_t{0}, std::size_t{1}));
}

// An old table without its names still says which codes moved, by the rows' keys.
TEST_F(TableChanges, AnOldTableWithoutNamesNamesItsRowsByKey) {
    writeTable(exchange.path(), withoutField(tables::PROFT::layout, "NOMBRE"),
               {{{"ABREV", "PEREZ"}, {"X_EMPLEADO", "E1"}}});
    const auto summary = convert(
        smallSchoolXml({{"E0", "Luis Pérez", "PEREZ"}, {"E1", "Ana Pérez", "PEREZ"}}, kRooms));

    EXPECT_THAT(noteLines(summary.notes, kChangeKinds),
                ElementsAre("row-added table=PROFT value=E0 (Luis Pérez)",
                            "code-moved table=PROFT code=PEREZ before=E1 after=E0 (Luis Pérez)"));
}

// What the folder held before a first conversion: nothing to compare with, and no reason to
// stop the run.
struct OldFolder {
    std::string name;
    std::function<void(const std::filesystem::path&)> prepare;
};

void PrintTo(const OldFolder& folder, std::ostream* out) {
    *out << folder.name;
}

class NothingToCompare : public TableChanges, public ::testing::WithParamInterface<OldFolder> {};

TEST_P(NothingToCompare, TheRunGivesNoChangesAndReplacesTheTables) {
    GetParam().prepare(exchange.path());
    const auto summary = convert(
        smallSchoolXml({{"E0", "Luis Pérez", "PEREZ"}, {"E1", "Ana Pérez", "PEREZ"}}, kRooms));

    EXPECT_TRUE(summary.changes.empty());
    EXPECT_EQ(noteLines(summary.notes, kChangeKinds), std::vector<std::string>{});
    EXPECT_EQ(readRows(exchange / "PROFT.DBF").size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NothingToCompare,
    ::testing::Values(OldFolder{"Empty", [](const std::filesystem::path&) {}},
                      OldFolder{"Damaged",
                                [](const std::filesystem::path& folder) {
                                    writeFile(folder / "PROFT.DBF", "not a table at all");
                                }},
                      OldFolder{"ForeignWithoutTheKey",
                                [](const std::filesystem::path& folder) {
                                    writeTable(folder,
                                               withoutField(tables::PROFT::layout, "X_EMPLEADO"),
                                               {{{"ABREV", "PEREZ"}}});
                                }},
                      OldFolder{"ForeignWithoutTheCode",
                                [](const std::filesystem::path& folder) {
                                    writeTable(folder, withoutField(tables::PROFT::layout, "ABREV"),
                                               {{{"X_EMPLEADO", "E1"}}});
                                }}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace velmora::testing
