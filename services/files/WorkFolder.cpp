#include "services/files/WorkFolder.h"

#include "services/Error.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/FileReplacement.h"
#include "services/files/FileSystem.h"

#include <chrono>
#include <fstream>
#include <random>

namespace velmora {

namespace {

constexpr std::string_view kPrefix = ".velmora-";
constexpr const char* kLockFile = "run.lock";
constexpr std::chrono::seconds kGraceForNewFolders{60};

} // namespace

WorkFolder::WorkFolder(const std::filesystem::path& exchangeFolder) {
    requireExchangeFolder(exchangeFolder);
    std::error_code error;
    std::random_device random;
    for (int attempt = 0; attempt < 20 && path_.empty(); ++attempt) {
        auto candidate = exchangeFolder / (std::string(kPrefix) + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
        }
    }
    if (path_.empty()) {
        throw Error(ErrorKind::WorkFolderFailed, {.file = exchangeFolder, .system = error});
    }
    const auto lockFile = path_ / kLockFile;
    std::ofstream(lockFile, std::ios::binary).close();
    lock_ = LockedFile::tryOpen(lockFile, LockedFile::Lock::Exclusive);
    if (!lock_) {
        throw Error(ErrorKind::WorkFolderFailed, {.file = exchangeFolder});
    }
}

WorkFolder::~WorkFolder() {
    // The lock goes first: on Windows a file held open cannot be removed; and without it the
    // next run sees that this one is over.
    lock_.reset();
    if (isAwaitingRecovery(path_)) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool WorkFolder::isWorkFolder(const std::filesystem::path& folder) {
    std::error_code error;
    return pathToUtf8(folder.filename()).rfind(kPrefix, 0) == 0 &&
           std::filesystem::is_directory(folder, error);
}

bool WorkFolder::isOwnerAlive(const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::exists(folder / kLockFile, error)) {
        // A run makes its lock file right after its folder: give one that has just begun the
        // time to do so; an older folder without one belonged to a run that died at once.
        const auto made = std::filesystem::last_write_time(folder, error);
        return !error && std::filesystem::file_time_type::clock::now() - made < kGraceForNewFolders;
    }
    try {
        return !LockedFile::tryOpen(folder / kLockFile, LockedFile::Lock::Exclusive);
    } catch (const Error&) {
        return false;
    }
}

} // namespace velmora
