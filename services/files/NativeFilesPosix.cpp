#include "services/files/NativeFiles.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velmora::native {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::error_code heldElsewhere() {
    return std::make_error_code(std::errc::resource_unavailable_try_again);
}

int descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// Programs lock files in different ways that do not see each other on Linux: flock() (what
// another Velmora takes) and record locks (lockf()/fcntl(), what programs running under a
// Windows compatibility layer take). Both are taken, so that a holder of either kind is seen.
// Open-file-description record locks are used because they belong to this descriptor alone:
// classic record locks would be dropped when any other descriptor of the file is closed.
std::error_code takeLocks(int fd, Lock lock, bool writable) {
    const bool exclusive = lock == Lock::Exclusive;
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? heldElsewhere() : lastError();
    }
    struct flock region {};
    // A write lock needs a descriptor open for writing; on a read-only file a read lock still
    // keeps every writer's lock out.
    region.l_type = exclusive && writable ? F_WRLCK : F_RDLCK;
    region.l_whence = SEEK_SET;
    region.l_start = 0;
    region.l_len = 0; // the whole file, however it grows
    if (::fcntl(fd, F_OFD_SETLK, &region) != 0) {
        return errno == EAGAIN || errno == EACCES ? heldElsewhere() : lastError();
    }
    return {};
}

std::error_code syncPath(const std::filesystem::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return lastError();
    }
    const std::error_code error = ::fsync(fd) == 0 ? std::error_code() : lastError();
    ::close(fd);
    return error;
}

} // namespace

EntryKind entryKind(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return EntryKind::None;
    }
    if (S_ISLNK(status.st_mode)) {
        return EntryKind::Link;
    }
    if (S_ISDIR(status.st_mode)) {
        return EntryKind::Folder;
    }
    return S_ISREG(status.st_mode) ? EntryKind::File : EntryKind::Other;
}

File File::open(const std::filesystem::path& path, const OpenOptions& options,
                std::error_code& error) {
    error.clear();
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (options.write ? O_RDWR : O_RDONLY);
    flags |= options.creation == Creation::New              ? O_CREAT | O_EXCL
             : options.creation == Creation::NewOrTruncated ? O_CREAT | O_TRUNC
                                                            : 0;
    flags |= options.followLink ? 0 : O_NOFOLLOW;
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        error = lastError();
        return {};
    }
    File file(fd, false, 0);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = lastError();
        return {};
    }
    file.regular_ = S_ISREG(status.st_mode);
    file.size_ = static_cast<std::uint64_t>(status.st_size);
    if (file.regular_ && options.lock != Lock::None) {
        error = takeLocks(fd, options.lock, options.write);
        if (error) {
            return {};
        }
    }
    return file;
}

std::error_code File::read(char* buffer, std::size_t count, std::size_t& got) {
    for (;;) {
        const ssize_t result = ::read(descriptor(handle_), buffer, count);
        if (result >= 0) {
            got = static_cast<std::size_t>(result);
            return {};
        }
        if (errno != EINTR) {
            got = 0;
            return lastError();
        }
    }
}

std::error_code File::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor(handle_), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return lastError();
        }
        if (written == 0) {
            return std::make_error_code(std::errc::io_error);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::error_code File::seek(std::uint64_t offset) {
    if (::lseek(descriptor(handle_), static_cast<off_t>(offset), SEEK_SET) < 0) {
        return lastError();
    }
    return {};
}

std::error_code File::syncToDisk() {
    return ::fsync(descriptor(handle_)) == 0 ? std::error_code() : lastError();
}

std::error_code File::close() {
    if (handle_ < 0) {
        return {};
    }
    const int result = ::close(descriptor(std::exchange(handle_, -1)));
    // The descriptor is gone even when close reports an error; EINTR loses nothing written.
    return result == 0 || errno == EINTR ? std::error_code() : lastError();
}

std::error_code renameNoReplace(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    const std::error_code error = lastError();
    if (error != std::errc::invalid_argument && error != std::errc::function_not_supported) {
        return error;
    }
    // A file system that cannot refuse to replace: the check and the rename are then two steps.
    if (entryKind(to) != EntryKind::None) {
        return std::make_error_code(std::errc::file_exists);
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
}

std::error_code renameReplacing(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
}

std::error_code removeFile(const std::filesystem::path& path) {
    return ::unlink(path.c_str()) == 0 ? std::error_code() : lastError();
}

std::error_code makeFolder(const std::filesystem::path& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? std::error_code() : lastError();
}

std::error_code removeEmptyFolder(const std::filesystem::path& path) {
    return ::rmdir(path.c_str()) == 0 ? std::error_code() : lastError();
}

std::error_code syncFolder(const std::filesystem::path& folder) {
    return syncPath(folder, O_RDONLY | O_DIRECTORY);
}

std::filesystem::path currentRoot() {
    return "/";
}

} // namespace velmora::native
