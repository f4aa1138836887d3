#include "services/files/DocumentFile.h"

#include "services/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velmora {

namespace {

// The few file calls the read needs, on each platform. Opening does not wait: a pipe without a
// writer would otherwise hold the open until one comes.
#ifdef _WIN32
using FileStatus = struct _stat64;
int openForReading(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
int statusOf(int fd, FileStatus& status) {
    return ::_fstat64(fd, &status);
}
bool isRegular(const FileStatus& status) {
    return (status.st_mode & _S_IFMT) == _S_IFREG;
}
long long readSome(int fd, char* buffer, unsigned size) {
    return ::_read(fd, buffer, size);
}
int closeDescriptor(int fd) {
    return ::_close(fd);
}
#else
using FileStatus = struct stat;
int openForReading(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
int statusOf(int fd, FileStatus& status) {
    return ::fstat(fd, &status);
}
bool isRegular(const FileStatus& status) {
    return S_ISREG(status.st_mode);
}
long long readSome(int fd, char* buffer, unsigned size) {
    return ::read(fd, buffer, size);
}
int closeDescriptor(int fd) {
    return ::close(fd);
}
#endif

class OpenFile {
public:
    explicit OpenFile(const std::filesystem::path& path) : fd_(openForReading(path)) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            closeDescriptor(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

private:
    int fd_;
};

Error unreadable(const std::filesystem::path& file, std::error_code system) {
    if (system == std::errc::no_such_file_or_directory) {
        return Error(ErrorKind::FileNotFound, {.file = file});
    }
    return Error(ErrorKind::FileUnreadable, {.file = file, .system = system});
}

} // namespace

std::string readDocumentFile(const std::filesystem::path& file, std::uint64_t maxBytes) {
    // Looked at before opening so that opening a device never happens at all; the check on
    // the opened file below is the one that holds.
    std::error_code error;
    const auto type = std::filesystem::status(file, error).type();
    if (!error && type != std::filesystem::file_type::regular) {
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }

    const OpenFile opened(file);
    if (!opened.isOpen()) {
        throw unreadable(file, lastSystemError());
    }
    FileStatus status{};
    if (statusOf(opened.fd(), status) != 0) {
        throw unreadable(file, lastSystemError());
    }
    if (!isRegular(status)) {
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }
    if (static_cast<std::uint64_t>(status.st_size) > maxBytes) {
        throw Error(ErrorKind::DocumentTooLarge, {.file = file, .limit = maxBytes});
    }

    // The file may grow while it is read: the limit holds for what is read, not for its size.
    std::string content;
    content.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const long long got = readSome(opened.fd(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw unreadable(file, lastSystemError());
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        if (content.size() > maxBytes) {
            throw Error(ErrorKind::DocumentTooLarge, {.file = file, .limit = maxBytes});
        }
    }
}

} // namespace velmora
