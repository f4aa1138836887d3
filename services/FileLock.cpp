#include "services/FileLock.h"

#include "services/Error.h"

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace velmora {

#ifdef _WIN32

std::optional<FileLock> FileLock::tryLock(const std::filesystem::path& file, Kind kind) {
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_SHARING_VIOLATION) {
            return std::nullopt;
        }
        throw Error("Cannot open " + file.string());
    }
    OVERLAPPED whole{};
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (kind == Kind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!::LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &whole)) {
        ::CloseHandle(handle);
        return std::nullopt;
    }
    return FileLock(reinterpret_cast<std::intptr_t>(handle));
}

void FileLock::release() noexcept {
    if (handle_ != -1) {
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
        handle_ = -1;
    }
}

#else

std::optional<FileLock> FileLock::tryLock(const std::filesystem::path& file, Kind kind) {
    const int handle = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        throw Error("Cannot open " + file.string() + ": " + std::strerror(errno));
    }
    const int operation = (kind == Kind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (::flock(handle, operation) != 0) {
        const int reason = errno;
        ::close(handle);
        if (reason == EWOULDBLOCK) {
            return std::nullopt;
        }
        throw Error("Cannot lock " + file.string() + ": " + std::strerror(reason));
    }
    return FileLock(handle);
}

void FileLock::release() noexcept {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

#endif

FileLock::FileLock(FileLock&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

} // namespace velmora
