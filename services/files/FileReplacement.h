#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

// One file a replacement moves into the folder, and the files there it takes the place of.
struct ReplacedFile {
    std::string newName;               // in the work folder; the same name in the folder
    std::vector<std::string> oldNames; // in the folder: the file of the same name, its index...
};

// Called after each step of a replacement (the plan written, each file moved, the plan
// removed), numbered from 1: a test stops a real run there to show that whatever step a crash
// interrupts, the folder comes back whole.
using ReplacementStep = std::function<void(int step)>;

// Moves the new files of a work folder into `folder` all together or not at all, across a
// crash or a power cut too. Before the first move a journal in the folder records the plan;
// the old files go into the work folder, then the new ones into the folder, each phase written
// to the disk before the next begins; the journal's removal marks the replacement done. A
// failure undoes what was moved and throws (ReplacementFailed); a crash, or an undo that fails
// too (reason "undo"), leaves the journal, from which tidyExchangeFolder puts the folder back
// together.
void replaceTogether(const std::filesystem::path& folder, const std::filesystem::path& workFolder,
                     const std::vector<ReplacedFile>& files, const ReplacementStep& afterStep = {});

// What every run and command does before it reads or writes the exchange folder: a replacement
// a crash left half done is finished (when every new file was already in place) or undone, and
// the work folders of runs that no longer live are removed. A replacement whose run still
// lives is left to it: that run holds the tables it replaces, and what needs them says so.
void tidyExchangeFolder(const std::filesystem::path& folder);

// Whether a journal in the work folder's exchange folder still needs it: a replacement that
// could not be undone keeps the old files there until the next run puts them back.
bool isAwaitingRecovery(const std::filesystem::path& workFolder);

} // namespace velmora
