#include "services/files/WorkFolder.h"

#include "services/Error.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/FileSystem.h"
#include "services/files/LockedFile.h"

#include <chrono>
#include <random>

namespace velmora {

namespace {

constexpr std::string_view kPrefix = ".velmora-trabajo-";
constexpr const char* kLockFile = "run.lock";
constexpr std::chrono::seconds kGraceForNewFolders{60};

// The files and links a work folder holds go, then the folder if that left it empty.
void emptyAndRemove(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const native::EntryKind kind = native::entryKind(it->path());
        if (kind == native::EntryKind::File || kind == native::EntryKind::Link) {
            native::removeFile(it->path());
        }
    }
    native::removeEmptyFolder(folder);
}

} // namespace

WorkFolder::WorkFolder(const std::filesystem::path& exchangeFolder) {
    requireExchangeFolder(exchangeFolder);
    std::error_code error;
    std::random_device random;
    for (int attempt = 0; attempt < 20 && path_.empty(); ++attempt) {
        auto candidate = exchangeFolder / (std::string(kPrefix) + std::to_string(random()));
        error = native::makeFolder(candidate);
        if (!error) {
            path_ = candidate;
        }
    }
    if (path_.empty()) {
        throw Error(ErrorKind::WorkFolderFailed, {.file = exchangeFolder, .system = error});
    }
    // The lock file gets its name only once it is locked: another run that finds it unlocked
    // knows that its owner is gone, not that it has yet to take the lock.
    native::OpenOptions options;
    options.write = true;
    options.creation = native::Creation::New;
    options.followLink = false;
    options.lock = native::Lock::Exclusive;
    const auto unnamed = path_ / (std::string(kLockFile) + ".new");
    lock_ = native::File::open(unnamed, options, error);
    if (!error) {
        error = native::renameNoReplace(unnamed, path_ / kLockFile);
    }
    if (error) {
        lock_.close();
        emptyAndRemove(path_);
        throw Error(ErrorKind::WorkFolderFailed, {.file = exchangeFolder, .system = error});
    }
}

WorkFolder::~WorkFolder() {
    // The lock goes first: on Windows a file held open cannot be removed; and without it the
    // next run sees that this one is over.
    lock_.close();
    emptyAndRemove(path_);
}

bool WorkFolder::isWorkFolder(const std::filesystem::path& folder) {
    return pathToUtf8(folder.filename()).starts_with(kPrefix) &&
           native::entryKind(folder) == native::EntryKind::Folder;
}

bool WorkFolder::isOwnerAlive(const std::filesystem::path& folder) {
    const auto lockFile = folder / kLockFile;
    if (native::entryKind(lockFile) == native::EntryKind::None) {
        // A run makes its lock file right after its folder: give one that has just begun the
        // time to do so; an older folder without one belonged to a run that died at once.
        std::error_code error;
        const auto made = std::filesystem::last_write_time(folder, error);
        return !error && std::filesystem::file_time_type::clock::now() - made < kGraceForNewFolders;
    }
    try {
        return !LockedFile::tryOpen(lockFile, LockedFile::Lock::Exclusive,
                                    LockedFile::Links::Refuse);
    } catch (const Error&) {
        return false;
    }
}

void WorkFolder::removeAbandoned(const std::filesystem::path& exchangeFolder) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(exchangeFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (isWorkFolder(it->path()) && !isOwnerAlive(it->path())) {
            emptyAndRemove(it->path());
        }
    }
}

} // namespace velmora
