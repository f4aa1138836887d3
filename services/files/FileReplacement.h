#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

// One file a replacement moves into the folder, and the files there it takes the place of. All
// are plain file names (letters, digits, '_' and '-', one extension): nothing else is ever
// written into, or believed from, a journal.
struct ReplacedFile {
    std::string newName;               // in the work folder; the same name in the folder
    std::vector<std::string> oldNames; // in the folder: the file of the same name, its index...
};

// Whether a name may stand in a journal.
bool isPlainFileName(const std::string& name);

// Called after each step of a replacement (the journal written, each file moved, the
// replacement made final), numbered from 1: a test stops a real run there to show that whatever
// step a crash interrupts, the folder comes back whole.
using ReplacementStep = std::function<void(int step)>;

struct ReplacementHooks {
    ReplacementStep afterStep;
    // Called once every new file is in place, before the replacement is made final: what must
    // change together with the files changes here, and an exception from it puts the old files
    // back as any failure does.
    std::function<void()> beforeFinal;
};

// Moves the new files of a work folder into `folder` all together or not at all, across a
// crash or a power cut too. A journal in the folder, held by this run while it works, names the
// files; the new files wait in the swap folder of fixed name, the old ones are moved into it,
// then the new ones into the folder, each phase written to the disk before the next begins.
// A failure undoes what was moved and throws (ReplacementFailed; ReplacementInProgress when
// another run is replacing the folder's files); a crash, or an undo that fails too (reason
// UndoFailed), leaves the journal and the swap folder, from which tidyExchangeFolder puts the
// folder back together. Once every new file is in place the replacement stands: what is left
// to tidy up then never fails it, the next run finishes that.
void replaceTogether(const std::filesystem::path& folder, const std::filesystem::path& workFolder,
                     const std::vector<ReplacedFile>& files, const ReplacementHooks& hooks = {});

// What every run and command does before it reads or writes the exchange folder: a replacement
// a crash left half done is finished (when every new file was already in place) or undone, and
// the work folders of runs that no longer live are removed. Nothing is believed that the folder
// does not prove: a journal that is not a plain file of the expected form with a right checksum,
// names that are not plain file names, a swap folder that is a link or anything but a folder,
// all stop the run (ReplacementJournalDamaged) with nothing moved or removed. A replacement whose
// run still lives is left to it: ReplacementInProgress.
void tidyExchangeFolder(const std::filesystem::path& folder);

// Where a replacement keeps the files it moves, inside the exchange folder: the new files
// waiting to go in, and the old files it moved out; for the words that tell a person where
// their tables are when a replacement cannot be finished.
std::filesystem::path swapFolder(const std::filesystem::path& folder);
std::filesystem::path oldFilesFolder(const std::filesystem::path& folder);
std::filesystem::path journalFile(const std::filesystem::path& folder);

} // namespace velmora
