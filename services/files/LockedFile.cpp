#include "services/files/LockedFile.h"

#include "services/Error.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmora {

namespace {

[[noreturn]] void unreadable(const std::filesystem::path& file, std::error_code why) {
    throw Error(ErrorKind::FileUnreadable, {.file = file, .system = why});
}

} // namespace

#ifdef _WIN32

// Windows keeps other programs out with share modes, which every program's open respects
// (byte-range locks would also block our own reads through other handles). Deleting and
// renaming stay allowed, so that a conversion can move aside the tables it holds.
std::optional<LockedFile> LockedFile::tryOpen(const std::filesystem::path& file, Lock lock) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw Error(ErrorKind::FileNotFound, {.file = file});
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }
    const DWORD share = lock == Lock::Exclusive
                            ? FILE_SHARE_DELETE
                            : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
            return std::nullopt;
        }
        unreadable(file, std::error_code(static_cast<int>(error), std::system_category()));
    }
    LARGE_INTEGER size{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &size)) {
        ::CloseHandle(handle);
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }
    return LockedFile(reinterpret_cast<std::intptr_t>(handle), file,
                      static_cast<std::uint64_t>(size.QuadPart));
}

std::size_t LockedFile::read(char* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer + done, ask, &got, nullptr)) {
            unreadable(path_,
                       std::error_code(static_cast<int>(::GetLastError()), std::system_category()));
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

void LockedFile::release() noexcept {
    if (handle_ != -1) {
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
        handle_ = -1;
    }
}

#else

namespace {

// Programs lock files in different ways that do not see each other on Linux: flock() (what
// another Velmora takes) and record locks (lockf()/fcntl(), what programs running under a
// Windows compatibility layer take). Both are taken, so that a holder of either kind is seen.
// Open-file-description record locks are used because they belong to this descriptor alone:
// classic record locks would be dropped when any other descriptor of the file is closed.
bool takeLocks(int fd, LockedFile::Lock lock, bool writable) {
    const bool exclusive = lock == LockedFile::Lock::Exclusive;
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        return false;
    }
    struct flock region {};
    // A write lock needs a descriptor open for writing; on a read-only file a read lock still
    // keeps every writer's lock out.
    region.l_type = exclusive && writable ? F_WRLCK : F_RDLCK;
    region.l_whence = SEEK_SET;
    region.l_start = 0;
    region.l_len = 0; // the whole file, however it grows
    return ::fcntl(fd, F_OFD_SETLK, &region) == 0;
}

} // namespace

std::optional<LockedFile> LockedFile::tryOpen(const std::filesystem::path& file, Lock lock) {
    // Non-blocking, so that a pipe put in place of a table cannot hang the open; whether it
    // is a regular file is checked on the descriptor itself.
    const int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    bool writable = lock == Lock::Exclusive;
    int fd = writable ? ::open(file.c_str(), O_RDWR | flags) : -1;
    if (fd < 0) {
        writable = false;
        fd = ::open(file.c_str(), O_RDONLY | flags);
    }
    if (fd < 0) {
        const std::error_code why = lastSystemError();
        if (why == std::errc::no_such_file_or_directory) {
            throw Error(ErrorKind::FileNotFound, {.file = file});
        }
        if (why == std::errc::is_a_directory) {
            throw Error(ErrorKind::NotARegularFile, {.file = file});
        }
        unreadable(file, why);
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }
    if (!takeLocks(fd, lock, writable)) {
        const int why = errno;
        ::close(fd);
        if (why == EWOULDBLOCK || why == EAGAIN || why == EACCES) {
            return std::nullopt;
        }
        unreadable(file, {why, std::generic_category()});
    }
    return LockedFile(fd, file, static_cast<std::uint64_t>(status.st_size));
}

std::size_t LockedFile::read(char* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(static_cast<int>(handle_), buffer + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            unreadable(path_, lastSystemError());
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void LockedFile::release() noexcept {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

#endif

LockedFile::LockedFile(std::intptr_t handle, std::filesystem::path path, std::uint64_t size)
    : handle_(handle), path_(std::move(path)), size_(size) {}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_)), size_(other.size_) {
}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = std::exchange(other.handle_, -1);
        path_ = std::move(other.path_);
        size_ = other.size_;
    }
    return *this;
}

LockedFile::~LockedFile() {
    release();
}

} // namespace velmora
