#include "services/Error.h"
#include "services/files/FileSystem.h"
#include "services/files/LockedFile.h"
#include "services/xml/XmlDocument.h"
#include "services/xml/XmlSerializer.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

namespace velmora {

namespace {

// The few file calls the save needs, on each platform: a new file that must not exist yet, its
// contents forced to disk, and closing it. Each returns -1 and sets errno on failure. The new
// file is held so that another run sees that its writer still lives: on Windows nobody else
// may open it, elsewhere it carries an flock().
#ifdef _WIN32
int createNewFile(const std::filesystem::path& path) {
    int fd = -1;
    const errno_t failed =
        ::_wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _SH_DENYRW, _S_IREAD | _S_IWRITE);
    return failed == 0 ? fd : -1;
}
int flushToDisk(int fd) {
    return ::_commit(fd);
}
int closeDescriptor(int fd) {
    return ::_close(fd);
}
#else
int createNewFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = error;
        return -1;
    }
    return fd;
}
int flushToDisk(int fd) {
    return ::fsync(fd);
}
int closeDescriptor(int fd) {
    return ::close(fd);
}
#endif

constexpr std::string_view kTemporarySuffix = ".tmp";

std::string temporaryPrefix(const std::filesystem::path& target) {
    return "." + pathToUtf8(target.filename()) + ".";
}

// The temporary files that saves of this target left when their runs were killed: those that
// nobody holds any more.
void removeAbandonedSaves(const std::filesystem::path& target) {
    const std::string prefix = temporaryPrefix(target);
    std::error_code error;
    for (std::filesystem::directory_iterator it(target.parent_path(), error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = pathToUtf8(it->path().filename());
        if (name.size() <= prefix.size() + kTemporarySuffix.size() || name.rfind(prefix, 0) != 0 ||
            !name.ends_with(kTemporarySuffix) || !it->is_regular_file()) {
            continue;
        }
        try {
            if (LockedFile::tryOpen(it->path(), LockedFile::Lock::Exclusive)) {
                std::error_code ignored;
                std::filesystem::remove(it->path(), ignored);
            }
        } catch (const Error&) {
            // Gone meanwhile, or not ours to read: left as it is.
        }
    }
}

// A new, empty file beside the target that nothing else uses; it gets the permissions an
// ordinary new file would get, so the renamed result looks like any other saved file.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target) {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = target.parent_path() /
                    pathFromUtf8(temporaryPrefix(target) + std::to_string(random()) +
                                 std::string(kTemporarySuffix));
            fd_ = createNewFile(path_);
            if (fd_ >= 0 || errno != EEXIST) {
                break;
            }
        }
        if (fd_ < 0) {
            const std::error_code error = lastSystemError();
            path_.clear();
            throw Error(ErrorKind::ResultNotSaved, {.file = target, .system = error});
        }
    }
    ~TemporaryFile() {
        closeFile();
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove(path_, ignored);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::filesystem::path& path() const { return path_; }

    // Flushes to disk and closes; returns 0 or the errno of the failure.
    int finish() {
        int error = flushToDisk(fd_) == 0 ? 0 : errno;
        if (closeFile() != 0 && error == 0) {
            error = errno;
        }
        return error;
    }

    // After the rename the file is the target: nothing is left to remove.
    void release() { path_.clear(); }

private:
    int closeFile() {
        if (fd_ < 0) {
            return 0;
        }
        const int result = closeDescriptor(fd_);
        fd_ = -1;
        return result;
    }

    std::filesystem::path path_;
    int fd_ = -1;
};

// Writes the file beside the target and renames it over the target, so that a failed save
// leaves any earlier file intact.
void saveAtomically(const std::filesystem::path& file, const std::function<bool(int fd)>& write) {
    std::error_code error;
    const std::filesystem::path folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    if (!std::filesystem::is_directory(folder, error)) {
        throw Error(ErrorKind::ResultNotSaved,
                    {.file = file,
                     .reason = "no-folder",
                     .system = std::make_error_code(std::errc::no_such_file_or_directory)});
    }

    removeAbandonedSaves(folder / file.filename());
    TemporaryFile temporary(folder / file.filename());
    if (!write(temporary.fd())) {
        throw Error(ErrorKind::ResultNotSaved, {.file = file, .reason = "write-failed"});
    }
    if (const int closeError = temporary.finish(); closeError != 0) {
        throw Error(ErrorKind::ResultNotSaved,
                    {.file = file, .system = {closeError, std::generic_category()}});
    }
    std::filesystem::rename(temporary.path(), file, error);
    if (error) {
        throw Error(ErrorKind::ResultNotSaved, {.file = file, .system = error});
    }
    temporary.release();
}

} // namespace

void XmlDocument::save(const std::filesystem::path& file) const {
    if (!doc_) {
        throw std::logic_error("a moved-from document cannot be saved");
    }
    saveAtomically(file, [this](int fd) { return xmlsave::writeDocument(doc_.get(), fd); });
}

void XmlDocument::saveStreaming(const std::filesystem::path& file, XmlNode element,
                                const std::function<void(XmlContentStream&)>& writeContent) {
    if (!doc_) {
        throw std::logic_error("a moved-from document cannot be saved");
    }
    const std::optional<xmlsave::Surroundings> around =
        xmlsave::surroundingsOf(doc_.get(), element.raw());
    if (!around) {
        throw Error(ErrorKind::ResultNotSaved, {.file = file, .reason = "write-failed"});
    }
    _xmlNode* detached = detachedHolder();
    saveAtomically(file, [&](int fd) {
        return xmlsave::writeAround(doc_.get(), detached, fd, *around, writeContent);
    });
}

} // namespace velmora
