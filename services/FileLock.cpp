#include "services/FileLock.h"

#include "services/Error.h"

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef _WIN32
#error "FileLock needs a Windows implementation (LockFileEx on a handle kept open)"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace velmora {

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

FileLock::FileLock(FileLock&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

FileLock::~FileLock() { release(); }

void FileLock::release() noexcept {
    if (handle_ >= 0) {
        ::close(handle_);
        handle_ = -1;
    }
}

} // namespace velmora
