#include "services/files/NativeFiles.h"

#include <algorithm>
#include <utility>
#include <windows.h>

namespace velmora::native {

namespace {

// The errors a person may meet, in the same terms on both platforms, so that the words shown
// for them are the same; any other stays Windows' own.
std::error_code fromWindows(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
        return std::make_error_code(std::errc::permission_denied);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return std::make_error_code(std::errc::resource_unavailable_try_again);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return std::make_error_code(std::errc::file_exists);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
        return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_DIR_NOT_EMPTY:
        return std::make_error_code(std::errc::directory_not_empty);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return std::make_error_code(std::errc::invalid_argument);
    case ERROR_FILENAME_EXCED_RANGE:
        return std::make_error_code(std::errc::filename_too_long);
    case ERROR_NOT_SAME_DEVICE:
        return std::make_error_code(std::errc::cross_device_link);
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
        return std::make_error_code(std::errc::no_such_device);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
        return std::make_error_code(std::errc::io_error);
    case ERROR_TOO_MANY_OPEN_FILES:
        return std::make_error_code(std::errc::too_many_files_open);
    default:
        return {static_cast<int>(error), std::system_category()};
    }
}

std::error_code lastError() {
    return fromWindows(::GetLastError());
}

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

DWORD shareModeFor(Lock lock) {
    // Deleting and renaming stay allowed, so that a conversion can move aside the tables it
    // holds and a file being written can be put in place while it is held.
    return lock == Lock::Exclusive ? FILE_SHARE_DELETE
                                   : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}

DWORD creationFor(Creation creation) {
    switch (creation) {
    case Creation::New:
        return CREATE_NEW;
    case Creation::NewOrTruncated:
        return CREATE_ALWAYS;
    case Creation::Existing:
        break;
    }
    return OPEN_EXISTING;
}

// A virus scanner or an indexer often opens a file that has just been written, for a moment,
// without letting it be renamed: the move is tried again for a short while before it fails.
std::error_code move(const std::filesystem::path& from, const std::filesystem::path& to,
                     DWORD flags) {
    constexpr int kAttempts = 20;
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(), flags)) {
            return {};
        }
        const DWORD error = ::GetLastError();
        const bool heldForAMoment = error == ERROR_SHARING_VIOLATION ||
                                    error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!heldForAMoment || attempt == kAttempts) {
            return fromWindows(error);
        }
        ::Sleep(100);
    }
}

} // namespace

EntryKind entryKind(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return EntryKind::None;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return EntryKind::Link;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return EntryKind::Folder;
    }
    return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? EntryKind::Other : EntryKind::File;
}

File File::open(const std::filesystem::path& path, const OpenOptions& options,
                std::error_code& error) {
    error.clear();
    // A folder cannot be opened as a file here; it is said so, as elsewhere.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        options.creation == Creation::Existing) {
        error = std::make_error_code(std::errc::is_a_directory);
        return {};
    }
    if (!options.followLink && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return {};
    }
    const DWORD access = GENERIC_READ | (options.write ? GENERIC_WRITE : 0);
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | (options.followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE handle = ::CreateFileW(path.c_str(), access, shareModeFor(options.lock), nullptr,
                                  creationFor(options.creation), flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastError();
        return {};
    }
    File file(reinterpret_cast<std::intptr_t>(handle), false, 0);
    BY_HANDLE_FILE_INFORMATION information{};
    LARGE_INTEGER size{};
    if (::GetFileType(handle) == FILE_TYPE_DISK &&
        ::GetFileInformationByHandle(handle, &information) && ::GetFileSizeEx(handle, &size)) {
        if (!options.followLink &&
            (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
            return {};
        }
        file.regular_ = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        file.size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    return file;
}

std::error_code File::read(char* buffer, std::size_t count, std::size_t& got) {
    DWORD read = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
    if (!::ReadFile(handleOf(handle_), buffer, ask, &read, nullptr)) {
        got = 0;
        return lastError();
    }
    got = read;
    return {};
}

std::error_code File::write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(handleOf(handle_), bytes.data(), ask, &written, nullptr)) {
            return lastError();
        }
        if (written == 0) {
            return std::make_error_code(std::errc::io_error);
        }
        bytes.remove_prefix(written);
    }
    return {};
}

std::error_code File::seek(std::uint64_t offset) {
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(handleOf(handle_), to, nullptr, FILE_BEGIN) ? std::error_code()
                                                                          : lastError();
}

std::error_code File::syncToDisk() {
    return ::FlushFileBuffers(handleOf(handle_)) ? std::error_code() : lastError();
}

std::error_code File::close() {
    if (handle_ == -1) {
        return {};
    }
    return ::CloseHandle(handleOf(std::exchange(handle_, -1))) ? std::error_code() : lastError();
}

std::error_code renameNoReplace(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
    return move(from, to, 0);
}

std::error_code renameReplacing(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
    return move(from, to, MOVEFILE_REPLACE_EXISTING);
}

std::error_code removeFile(const std::filesystem::path& path) {
    return ::DeleteFileW(path.c_str()) ? std::error_code() : lastError();
}

std::error_code makeFolder(const std::filesystem::path& path) {
    return ::CreateDirectoryW(path.c_str(), nullptr) ? std::error_code() : lastError();
}

std::error_code removeEmptyFolder(const std::filesystem::path& path) {
    return ::RemoveDirectoryW(path.c_str()) ? std::error_code() : lastError();
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

std::filesystem::path currentRoot() {
    return std::filesystem::current_path().root_path();
}

} // namespace velmora::native
