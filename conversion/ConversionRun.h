#pragma once

#include "conversion/FrameChooser.h"
#include "conversion/TableChanges.h"
#include "formats/RunNotes.h"
#include "services/files/FileReplacement.h"

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

struct ConversionSummary {
    std::vector<std::pair<std::string, int>> rowsPerTable; // table name, rows written
    // How the tables differ from those they replaced; none when there were none.
    std::vector<TableChange> changes;
    RunNotes notes;
};

// Turns a Sauce service document into the eight exchange tables. All or nothing: the tables
// are built aside and replace the folder's tables together only when every builder has
// succeeded; a run that fails leaves the folder's tables as they were.
class ConversionRun {
public:
    ConversionRun(std::filesystem::path document, std::filesystem::path exchangeFolder,
                  FrameChooser& frames);
    ConversionSummary run();

    // Told of every step of the replacement of the tables; a test stops the run there.
    void onReplacementStep(ReplacementStep afterStep) { afterStep_ = std::move(afterStep); }

    // Files written together with the tables (the run's report): prepared once the run knows
    // what it did, before any table is replaced, so that a failure there changes nothing; put
    // in place once the new tables are, before their replacement is final, so that a failure
    // there puts the old tables back.
    struct AlongWithTables {
        std::function<void(const ConversionSummary&)> prepare;
        std::function<void()> putInPlace;
    };
    void alongWithTables(AlongWithTables along) { along_ = std::move(along); }

private:
    std::filesystem::path document_;
    std::filesystem::path folder_;
    FrameChooser& frames_;
    ReplacementStep afterStep_;
    AlongWithTables along_;
};

} // namespace velmora
