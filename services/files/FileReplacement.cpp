#include "services/files/FileReplacement.h"

#include "services/Error.h"
#include "services/files/FileSync.h"
#include "services/files/FileSystem.h"
#include "services/files/WorkFolder.h"

#include <fstream>
#include <sstream>

namespace velmora {

namespace {

constexpr const char* kJournal = ".velmora-journal";
constexpr const char* kJournalHeader = "velmora replacement 1";
constexpr const char* kReplaced = "replaced";

// What a replacement is to do, as its journal records it: the work folder's name, and each new
// file with the old files it replaces.
struct Plan {
    std::string workName;
    std::vector<ReplacedFile> files;
};

std::string journalText(const Plan& plan) {
    std::string text = std::string(kJournalHeader) + "\nwork " + plan.workName + "\n";
    for (const ReplacedFile& file : plan.files) {
        text += "new " + file.newName + "\n";
        for (const std::string& old : file.oldNames) {
            text += "old " + old + "\n";
        }
    }
    return text + "end\n";
}

[[noreturn]] void unreadableJournal(const std::filesystem::path& folder) {
    throw Error(ErrorKind::ReplacementFailed, {.file = folder, .reason = "journal"});
}

Plan readJournal(const std::filesystem::path& folder) {
    std::ifstream in(folder / kJournal, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kJournalHeader) {
        unreadableJournal(folder);
    }
    Plan plan;
    bool ended = false;
    while (std::getline(in, line) && !ended) {
        const auto space = line.find(' ');
        const std::string word = line.substr(0, space);
        const std::string name = space == std::string::npos ? "" : line.substr(space + 1);
        if (word == "work" && !name.empty()) {
            plan.workName = name;
        } else if (word == "new" && !name.empty()) {
            plan.files.push_back({name, {}});
        } else if (word == "old" && !name.empty() && !plan.files.empty()) {
            plan.files.back().oldNames.push_back(name);
        } else if (word == "end") {
            ended = true;
        } else {
            unreadableJournal(folder);
        }
    }
    if (!ended || plan.workName.empty()) {
        unreadableJournal(folder);
    }
    return plan;
}

bool isThere(const std::filesystem::path& file) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(file, ignored));
}

// The replacement's moves and what makes them durable, shared by the run that replaces and by
// the recovery that finishes or undoes what a crash left.
class Replacement {
public:
    Replacement(std::filesystem::path folder, Plan plan)
        : folder_(std::move(folder)), work_(folder_ / plan.workName), replaced_(work_ / kReplaced),
          plan_(std::move(plan)) {}

    void recordPlan() {
        const auto draft = work_ / "journal.tmp";
        {
            std::ofstream out(draft, std::ios::binary | std::ios::trunc);
            out << journalText(plan_);
            if (!out.flush()) {
                fail(lastSystemError());
            }
        }
        require(syncToDisk(draft));
        // Never over another run's journal: two first conversions may both come this far.
        require(moveFile(draft, folder_ / kJournal));
        require(syncFolder(folder_));
    }

    template <typename Step> void moveOldOut(Step&& afterMove) {
        createReplacedFolder();
        for (const ReplacedFile& file : plan_.files) {
            for (const std::string& old : file.oldNames) {
                require(moveFile(folder_ / old, replaced_ / old));
                afterMove();
            }
        }
        require(syncFolder(folder_));
        require(syncFolder(replaced_));
    }

    template <typename Step> void moveNewIn(Step&& afterMove) {
        for (const ReplacedFile& file : plan_.files) {
            require(moveFile(work_ / file.newName, folder_ / file.newName));
            afterMove();
        }
        require(syncFolder(folder_));
        require(syncFolder(work_));
    }

    bool everyNewFileInPlace() const {
        for (const ReplacedFile& file : plan_.files) {
            if (isThere(work_ / file.newName) || !isThere(folder_ / file.newName)) {
                return false;
            }
        }
        return true;
    }

    // Puts back whatever was moved, as the files on disk show it: a new file that is in the
    // folder and no longer in the work folder goes back there, then every old file in the work
    // folder goes back into the folder. Each move is checked against the disk again, so this
    // can be interrupted and done again.
    void undo() {
        for (auto file = plan_.files.rbegin(); file != plan_.files.rend(); ++file) {
            if (!isThere(work_ / file->newName) && isThere(folder_ / file->newName)) {
                require(moveFile(folder_ / file->newName, work_ / file->newName));
            }
        }
        for (const ReplacedFile& file : plan_.files) {
            for (const std::string& old : file.oldNames) {
                if (isThere(replaced_ / old)) {
                    require(moveFile(replaced_ / old, folder_ / old));
                }
            }
        }
        require(syncFolder(folder_));
        require(syncFolder(work_));
    }

    // The replacement is over (done or undone) once its journal is gone.
    void forget() {
        std::error_code error;
        std::filesystem::remove(folder_ / kJournal, error);
        require(error);
        require(syncFolder(folder_));
    }

    void removeWorkFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(work_, ignored);
    }

    const std::filesystem::path& workFolder() const { return work_; }

private:
    void createReplacedFolder() {
        std::error_code error;
        std::filesystem::create_directory(replaced_, error);
        require(error);
    }

    void require(const std::error_code& error) const {
        if (error) {
            fail(error);
        }
    }

    [[noreturn]] void fail(const std::error_code& error) const {
        throw Error(ErrorKind::ReplacementFailed, {.file = folder_, .system = error});
    }

public:
    // A replacement that could not be undone is left to its journal: the old files wait in the
    // work folder, which is kept, for the next run to put back.
    [[noreturn]] void failUndone(const Error& why) const {
        throw Error(ErrorKind::ReplacementFailed,
                    {.file = folder_, .reason = "undo", .system = why.details().system});
    }

    // Both sets are whole, but the journal stays; the next run only removes it.
    [[noreturn]] void failForgotten(const Error& why) const {
        throw Error(ErrorKind::ReplacementFailed,
                    {.file = folder_, .reason = "journal-left", .system = why.details().system});
    }

private:
    std::filesystem::path folder_;
    std::filesystem::path work_;
    std::filesystem::path replaced_;
    Plan plan_;
};

void forgetOrSay(Replacement& replacement) {
    try {
        replacement.forget();
    } catch (const Error& why) {
        replacement.failForgotten(why);
    }
}

} // namespace

bool isAwaitingRecovery(const std::filesystem::path& workFolder) {
    const auto folder = workFolder.parent_path();
    if (!isThere(folder / kJournal)) {
        return false;
    }
    try {
        return readJournal(folder).workName == pathToUtf8(workFolder.filename());
    } catch (const Error&) {
        // A journal that cannot be read may name it: keeping a folder too many loses nothing.
        return true;
    }
}

void replaceTogether(const std::filesystem::path& folder, const std::filesystem::path& workFolder,
                     const std::vector<ReplacedFile>& files, const ReplacementStep& afterStep) {
    Replacement replacement(folder, Plan{pathToUtf8(workFolder.filename()), files});
    int step = 0;
    const auto stepDone = [&] {
        if (afterStep) {
            afterStep(++step);
        }
    };
    replacement.recordPlan();
    stepDone();
    try {
        replacement.moveOldOut(stepDone);
        replacement.moveNewIn(stepDone);
    } catch (...) {
        try {
            replacement.undo();
        } catch (const Error& why) {
            replacement.failUndone(why);
        }
        forgetOrSay(replacement);
        throw;
    }
    forgetOrSay(replacement);
    stepDone();
}

void tidyExchangeFolder(const std::filesystem::path& folder) {
    if (isThere(folder / kJournal)) {
        Plan plan = readJournal(folder);
        Replacement replacement(folder, std::move(plan));
        if (WorkFolder::isOwnerAlive(replacement.workFolder())) {
            return;
        }
        if (!replacement.everyNewFileInPlace()) {
            try {
                replacement.undo();
            } catch (const Error& why) {
                replacement.failUndone(why);
            }
        }
        forgetOrSay(replacement);
        replacement.removeWorkFolder();
    }
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (WorkFolder::isWorkFolder(it->path()) && !WorkFolder::isOwnerAlive(it->path())) {
            std::error_code ignored;
            std::filesystem::remove_all(it->path(), ignored);
        }
    }
}

} // namespace velmora
