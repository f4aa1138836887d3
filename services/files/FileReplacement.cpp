#include "services/files/FileReplacement.h"

#include "services/Error.h"
#include "services/files/FileSystem.h"
#include "services/files/LockedFile.h"
#include "services/files/NativeFiles.h"
#include "services/files/WholeFile.h"
#include "services/files/WorkFolder.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

namespace velmora {

namespace {

constexpr const char* kJournal = ".velmora-diario";
constexpr const char* kSwap = ".velmora-cambio";
constexpr const char* kOld = "anteriores";
constexpr const char* kReady = "listo";
constexpr std::string_view kJournalHeader = "velmora replacement 2";
constexpr std::string_view kChecksumWord = "sum ";
// A journal names a few tables with their indexes: anything larger is not one of ours.
constexpr std::uint64_t kMaxJournalBytes = 64 * 1024;
constexpr std::size_t kMaxNameLength = 64;

// FNV-1a: enough to tell a journal that was cut short, written over or edited from one this
// program wrote; what the journal may name is checked on its own.
std::string checksumOf(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex(16, '0');
    for (int digit = 15; digit >= 0; --digit, hash >>= 4) {
        hex[static_cast<std::size_t>(digit)] = kDigits[hash & 0xF];
    }
    return hex;
}

std::string journalText(const std::vector<ReplacedFile>& files) {
    std::string text = std::string(kJournalHeader) + "\n";
    for (const ReplacedFile& file : files) {
        text += "new " + file.newName + "\n";
        for (const std::string& old : file.oldNames) {
            text += "old " + old + "\n";
        }
    }
    text += "end\n";
    return text + std::string(kChecksumWord) + checksumOf(text) + "\n";
}

bool namesAreSound(const std::vector<ReplacedFile>& files) {
    std::set<std::string> seen;
    for (const ReplacedFile& file : files) {
        if (!isPlainFileName(file.newName) || !seen.insert("new " + file.newName).second) {
            return false;
        }
        for (const std::string& old : file.oldNames) {
            if (!isPlainFileName(old) || !seen.insert("old " + old).second) {
                return false;
            }
        }
    }
    return !files.empty();
}

// The files a journal names; nothing when it is not, byte for byte, a journal this program
// wrote: its checksum, its form and every name are checked.
std::optional<std::vector<ReplacedFile>> parseJournal(std::string_view text) {
    if (text.empty() || text.back() != '\n') {
        return std::nullopt;
    }
    const std::size_t sumLine = text.rfind('\n', text.size() - 2);
    if (sumLine == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view body = text.substr(0, sumLine + 1);
    const std::string_view sum = text.substr(sumLine + 1, text.size() - sumLine - 2);
    if (!sum.starts_with(kChecksumWord) || sum.substr(kChecksumWord.size()) != checksumOf(body)) {
        return std::nullopt;
    }
    std::vector<ReplacedFile> files;
    bool header = false;
    bool ended = false;
    for (std::size_t at = 0; at < body.size();) {
        const std::size_t end = body.find('\n', at);
        const std::string_view line = body.substr(at, end - at);
        at = end + 1;
        if (ended) {
            return std::nullopt;
        }
        if (!header) {
            if (line != kJournalHeader) {
                return std::nullopt;
            }
            header = true;
        } else if (line == "end") {
            ended = true;
        } else if (line.starts_with("new ")) {
            files.push_back({std::string(line.substr(4)), {}});
        } else if (line.starts_with("old ") && !files.empty()) {
            files.back().oldNames.emplace_back(line.substr(4));
        } else {
            return std::nullopt;
        }
    }
    if (!ended || !namesAreSound(files)) {
        return std::nullopt;
    }
    return files;
}

bool isThere(const std::filesystem::path& path) {
    return native::entryKind(path) != native::EntryKind::None;
}

[[noreturn]] void journalDamaged(const std::filesystem::path& folder) {
    throw Error(ErrorKind::ReplacementJournalDamaged, {.file = folder});
}

// The moves of a replacement and what makes them durable, shared by the run that replaces and
// by the recovery that finishes or undoes what a crash left. Every path it touches is the
// exchange folder, the swap folder or the folder of old files inside it, joined to a plain file
// name; the two folders must be real folders, never links, or nothing is done.
class Replacement {
public:
    Replacement(std::filesystem::path folder, std::vector<ReplacedFile> files)
        : folder_(std::move(folder)), swap_(swapFolder(folder_)), old_(oldFilesFolder(folder_)),
          files_(std::move(files)) {}

    // The run's own steps, in order.
    template <typename Step> void prepareSwap(const std::filesystem::path& work, Step&& afterMove) {
        require(native::makeFolder(swap_));
        ownsSwap_ = true;
        require(native::makeFolder(old_));
        for (const ReplacedFile& file : files_) {
            require(native::renameNoReplace(work / pathFromUtf8(file.newName), inSwap(file)));
            afterMove();
        }
        require(native::syncFolder(work));
        markReady();
    }

    template <typename Step> void moveOldOut(Step&& afterMove) {
        requireRealFolders();
        for (const ReplacedFile& file : files_) {
            for (const std::string& old : file.oldNames) {
                require(native::renameNoReplace(inFolder(old), inOld(old)));
                afterMove();
            }
        }
        require(native::syncFolder(folder_));
        require(native::syncFolder(old_));
    }

    template <typename Step> void moveNewIn(Step&& afterMove) {
        requireRealFolders();
        for (const ReplacedFile& file : files_) {
            require(native::renameNoReplace(inSwap(file), inFolder(file.newName)));
            afterMove();
        }
        require(native::syncFolder(folder_));
        require(native::syncFolder(swap_));
    }

    // What a crash left, put right: finished when every new file had gone in, undone otherwise.
    void recover() {
        switch (native::entryKind(swap_)) {
        case native::EntryKind::None:
            return; // the journal was all there was: nothing was moved
        case native::EntryKind::Folder:
            break;
        default:
            journalDamaged(folder_);
        }
        const native::EntryKind old = native::entryKind(old_);
        if (old != native::EntryKind::None && old != native::EntryKind::Folder) {
            journalDamaged(folder_);
        }
        ownsSwap_ = true;
        if (!isThere(swap_ / kReady)) {
            // Still gathering the new files: no old file was moved yet.
            if (anyOldFileMovedOut()) {
                journalDamaged(folder_);
            }
            return;
        }
        if (!everyNewFileInPlace()) {
            undo();
        }
    }

    // Puts back whatever was moved, as the files on disk show it: a new file that is in the
    // folder and no longer in the swap folder goes back there, then every old file in the swap
    // folder goes back into the folder. Each move is checked against the disk again, so this
    // can be interrupted and done again.
    void undo() {
        if (!ownsSwap_) {
            return;
        }
        requireRealFolders();
        for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
            if (!isThere(inSwap(*file)) && isThere(inFolder(file->newName)) &&
                everyOldFileOf(*file,
                               [this](const std::string& old) { return isThere(inOld(old)); })) {
                require(native::renameNoReplace(inFolder(file->newName), inSwap(*file)));
            }
        }
        for (const ReplacedFile& file : files_) {
            for (const std::string& old : file.oldNames) {
                if (isThere(inOld(old))) {
                    require(native::renameNoReplace(inOld(old), inFolder(old)));
                }
            }
        }
        require(native::syncFolder(folder_));
        require(native::syncFolder(swap_));
    }

    // Removes the swap folder and what it holds of this replacement's files; whatever cannot be
    // removed stays for the next run. Only after the replacement was made final or undone: the
    // old files it still holds are then no longer needed.
    void cleanUp() {
        if (!ownsSwap_ || native::entryKind(swap_) != native::EntryKind::Folder) {
            return;
        }
        if (native::entryKind(old_) == native::EntryKind::Folder) {
            for (const ReplacedFile& file : files_) {
                for (const std::string& old : file.oldNames) {
                    native::removeFile(inOld(old));
                }
            }
            native::removeEmptyFolder(old_);
        }
        for (const ReplacedFile& file : files_) {
            native::removeFile(inSwap(file));
        }
        native::removeFile(swap_ / kReady);
        native::removeEmptyFolder(swap_);
        native::syncFolder(folder_);
    }

    // Whether this replacement's files still wait in the swap folder, for the journal to name.
    bool leftFilesBehind() const { return ownsSwap_ && isThere(swap_); }

    [[noreturn]] void fail(const std::error_code& error) const {
        throw Error(ErrorKind::ReplacementFailed, {.file = folder_, .system = error});
    }

    // A replacement that could not be undone is left to its journal: the old files wait in the
    // swap folder for the next run to put back.
    [[noreturn]] void failUndone(const Error& why) const {
        throw Error(
            ErrorKind::ReplacementFailed,
            {.file = folder_, .reason = ErrorReason::UndoFailed, .system = why.details().system});
    }

private:
    std::filesystem::path inFolder(const std::string& name) const {
        return folder_ / pathFromUtf8(name);
    }
    std::filesystem::path inSwap(const ReplacedFile& file) const {
        return swap_ / pathFromUtf8(file.newName);
    }
    std::filesystem::path inOld(const std::string& name) const { return old_ / pathFromUtf8(name); }

    template <typename Test> static bool everyOldFileOf(const ReplacedFile& file, Test test) {
        return std::all_of(file.oldNames.begin(), file.oldNames.end(), test);
    }

    bool anyOldFileMovedOut() const {
        return std::any_of(files_.begin(), files_.end(), [this](const ReplacedFile& file) {
            return !everyOldFileOf(file,
                                   [this](const std::string& old) { return !isThere(inOld(old)); });
        });
    }

    bool everyNewFileInPlace() const {
        return std::all_of(files_.begin(), files_.end(), [this](const ReplacedFile& file) {
            return !isThere(inSwap(file)) && isThere(inFolder(file.newName));
        });
    }

    // From here on the old files may be moved: a recovery finds them by this mark.
    void markReady() {
        std::error_code error;
        native::OpenOptions options;
        options.write = true;
        options.creation = native::Creation::New;
        options.followLink = false;
        native::File mark = native::File::open(swap_ / kReady, options, error);
        require(error);
        require(mark.syncToDisk());
        require(mark.close());
        require(native::syncFolder(swap_));
    }

    // Looked at again before each phase: a folder that became a link since must not lead a move
    // elsewhere.
    void requireRealFolders() const {
        if (native::entryKind(swap_) != native::EntryKind::Folder ||
            native::entryKind(old_) != native::EntryKind::Folder) {
            journalDamaged(folder_);
        }
    }

    void require(const std::error_code& error) const {
        if (error) {
            fail(error);
        }
    }

    std::filesystem::path folder_;
    std::filesystem::path swap_;
    std::filesystem::path old_;
    std::vector<ReplacedFile> files_;
    // Whether the swap folder is this replacement's: made by it, or named by its journal.
    bool ownsSwap_ = false;
};

// The journal of the run that replaces: written whole beside its place, put there only when no
// other run's journal is, and held (locked) until the replacement is over, which tells every
// other run that its owner lives.
class OwnJournal {
public:
    OwnJournal(const std::filesystem::path& folder, const std::vector<ReplacedFile>& files)
        : folder_(folder), draft_(journalFile(folder), ErrorKind::ReplacementFailed) {
        draft_.write(journalText(files));
        try {
            draft_.putInPlace({.replace = false, .folderSyncRequired = false, .keepHeld = true});
        } catch (const Error& error) {
            if (error.details().system == std::errc::file_exists) {
                throw Error(ErrorKind::ReplacementInProgress, {.file = folder});
            }
            throw;
        }
        if (const std::error_code notSynced = native::syncFolder(folder)) {
            forget();
            throw Error(ErrorKind::ReplacementFailed, {.file = folder, .system = notSynced});
        }
    }

    // The replacement is over (done or undone) once its journal is gone.
    void forget() { removeJournal(folder_); }

    static void removeJournal(const std::filesystem::path& folder) {
        native::removeFile(journalFile(folder));
        native::syncFolder(folder);
    }

private:
    std::filesystem::path folder_;
    FileDraft draft_;
};

// A swap folder without a journal is what a replacement that could not remove it left once it
// was over, unless a person removed the journal: it is removed only when it holds nothing.
void tidySwapFolderWithoutJournal(const std::filesystem::path& folder) {
    const std::filesystem::path swap = swapFolder(folder);
    if (native::entryKind(swap) == native::EntryKind::None) {
        return;
    }
    native::removeEmptyFolder(oldFilesFolder(folder));
    native::removeFile(swap / kReady);
    if (native::removeEmptyFolder(swap) && isThere(swap)) {
        journalDamaged(folder);
    }
}

// The journal of a replacement a crash left, held while it is acted on; nothing when it has
// gone meanwhile (its run has just finished).
std::optional<LockedFile> holdLeftJournal(const std::filesystem::path& folder) {
    try {
        std::optional<LockedFile> journal = LockedFile::tryOpen(
            journalFile(folder), LockedFile::Lock::Exclusive, LockedFile::Links::Refuse);
        if (!journal) {
            throw Error(ErrorKind::ReplacementInProgress, {.file = folder});
        }
        return journal;
    } catch (const Error& error) {
        if (error.kind() == ErrorKind::FileNotFound) {
            return std::nullopt;
        }
        if (error.kind() == ErrorKind::ReplacementInProgress) {
            throw;
        }
        journalDamaged(folder);
    }
}

std::vector<ReplacedFile> readLeftJournal(const std::filesystem::path& folder,
                                          LockedFile& journal) {
    if (journal.size() > kMaxJournalBytes) {
        journalDamaged(folder);
    }
    std::string text(static_cast<std::size_t>(kMaxJournalBytes) + 1, '\0');
    try {
        text.resize(journal.read(text.data(), text.size()));
    } catch (const Error&) {
        journalDamaged(folder);
    }
    std::optional<std::vector<ReplacedFile>> files = parseJournal(text);
    if (!files) {
        journalDamaged(folder);
    }
    return std::move(*files);
}

void recoverLeftReplacement(const std::filesystem::path& folder) {
    if (!isThere(journalFile(folder))) {
        tidySwapFolderWithoutJournal(folder);
        return;
    }
    std::optional<LockedFile> journal = holdLeftJournal(folder);
    if (!journal) {
        return;
    }
    Replacement replacement(folder, readLeftJournal(folder, *journal));
    try {
        replacement.recover();
    } catch (const Error& why) {
        if (why.kind() == ErrorKind::ReplacementJournalDamaged) {
            throw;
        }
        replacement.failUndone(why);
    }
    replacement.cleanUp();
    if (!replacement.leftFilesBehind()) {
        OwnJournal::removeJournal(folder);
    }
}

} // namespace

bool isPlainFileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    const std::size_t dot = name.find('.');
    if (dot == 0 || name.find('.', dot + 1) != std::string::npos || dot + 1 == name.size()) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.';
    });
}

std::filesystem::path swapFolder(const std::filesystem::path& folder) {
    return folder / kSwap;
}

std::filesystem::path oldFilesFolder(const std::filesystem::path& folder) {
    return swapFolder(folder) / kOld;
}

std::filesystem::path journalFile(const std::filesystem::path& folder) {
    return folder / kJournal;
}

void replaceTogether(const std::filesystem::path& folder, const std::filesystem::path& workFolder,
                     const std::vector<ReplacedFile>& files, const ReplacementHooks& hooks) {
    if (!namesAreSound(files)) {
        throw std::logic_error("a replacement of files that are not plain, distinct file names");
    }
    int step = 0;
    const auto stepDone = [&] {
        if (hooks.afterStep) {
            hooks.afterStep(++step);
        }
    };
    OwnJournal journal(folder, files);
    stepDone();
    Replacement replacement(folder, files);
    try {
        replacement.prepareSwap(workFolder, stepDone);
        stepDone();
        replacement.moveOldOut(stepDone);
        replacement.moveNewIn(stepDone);
        if (hooks.beforeFinal) {
            hooks.beforeFinal();
        }
    } catch (...) {
        try {
            replacement.undo();
        } catch (const Error& why) {
            replacement.failUndone(why);
        }
        replacement.cleanUp();
        if (!replacement.leftFilesBehind()) {
            journal.forget();
        }
        throw;
    }
    stepDone();
    // The replacement stands: what is left over is tidied now, or by the next run.
    replacement.cleanUp();
    if (!replacement.leftFilesBehind()) {
        journal.forget();
    }
    stepDone();
}

void tidyExchangeFolder(const std::filesystem::path& folder) {
    recoverLeftReplacement(folder);
    WorkFolder::removeAbandoned(folder);
}

} // namespace velmora
