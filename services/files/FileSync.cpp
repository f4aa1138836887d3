#include "services/files/FileSync.h"

#include "services/Error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velmora {

#ifdef _WIN32

std::error_code syncToDisk(const std::filesystem::path& file) {
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {static_cast<int>(::GetLastError()), std::system_category()};
    }
    const bool flushed = ::FlushFileBuffers(handle) != 0;
    const std::error_code error =
        flushed ? std::error_code()
                : std::error_code(static_cast<int>(::GetLastError()), std::system_category());
    ::CloseHandle(handle);
    return error;
}

// NTFS flushes a folder's entries when asked through a handle on the folder. Where that cannot
// be done (FAT, some network shares) nothing more can: NTFS's own log still keeps the renames in
// the order they were made, which is what a recovery needs, so the attempt is all there is.
std::error_code syncFolder(const std::filesystem::path& folder) {
    HANDLE handle = ::CreateFileW(folder.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::FlushFileBuffers(handle);
        ::CloseHandle(handle);
    }
    return {};
}

// A virus scanner or an indexer often opens a file that has just been written, for a moment,
// without letting it be renamed: the move is tried again for a short while before it fails.
std::error_code moveFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    constexpr int kAttempts = 20;
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(), 0)) {
            return {};
        }
        const DWORD error = ::GetLastError();
        const bool heldForAMoment = error == ERROR_SHARING_VIOLATION ||
                                    error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!heldForAMoment || attempt == kAttempts) {
            return {static_cast<int>(error), std::system_category()};
        }
        ::Sleep(100);
    }
}

#else

namespace {

std::error_code syncPath(const std::filesystem::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return lastSystemError();
    }
    const std::error_code error = ::fsync(fd) == 0 ? std::error_code() : lastSystemError();
    ::close(fd);
    return error;
}

} // namespace

std::error_code syncToDisk(const std::filesystem::path& file) {
    return syncPath(file, O_RDONLY);
}

std::error_code syncFolder(const std::filesystem::path& folder) {
    return syncPath(folder, O_RDONLY | O_DIRECTORY);
}

std::error_code moveFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    // No rename over an existing file: a replacement never destroys a file by moving another
    // onto it, so every file is always somewhere a recovery can find it.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    const std::error_code error = lastSystemError();
    if (error != std::errc::invalid_argument) {
        return error;
    }
    // A file system that cannot refuse to replace: the check and the rename are then two steps.
    std::error_code ignored;
    if (std::filesystem::exists(to, ignored)) {
        return std::make_error_code(std::errc::file_exists);
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastSystemError();
}

#endif

} // namespace velmora
