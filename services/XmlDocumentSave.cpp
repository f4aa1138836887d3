#include "services/Error.h"
#include "services/FileSystem.h"
#include "services/XmlDocument.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <random>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace velmora {

namespace {

// The few file calls the save needs, on each platform: a new file that must not exist yet, its
// contents forced to disk, and closing it. Each returns -1 and sets errno on failure.
#ifdef _WIN32
int createNewFile(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}
int flushToDisk(int fd) {
    return ::_commit(fd);
}
int closeDescriptor(int fd) {
    return ::_close(fd);
}
#else
int createNewFile(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
int flushToDisk(int fd) {
    return ::fsync(fd);
}
int closeDescriptor(int fd) {
    return ::close(fd);
}
#endif

std::string reason(int error) {
    return std::strerror(error);
}

// A new, empty file beside the target that nothing else uses; it gets the permissions an
// ordinary new file would get, so the renamed result looks like any other saved file.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target) {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::filesystem::path name = ".";
            name += target.filename();
            name += "." + std::to_string(random()) + ".tmp";
            path_ = target.parent_path() / name;
            fd_ = createNewFile(path_);
            if (fd_ >= 0 || errno != EEXIST) {
                break;
            }
        }
        if (fd_ < 0) {
            const int error = errno;
            path_.clear();
            throw Error("The document cannot be saved as " + pathToUtf8(target) + ": " +
                        reason(error) + ".");
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

// Serialises the document as loaded: its own encoding and declaration, no re-indenting.
// Characters that the encoding lacks (€ in ISO-8859-1) are written as character references.
bool writeDocument(xmlDoc* doc, int fd) {
    const char* encoding = reinterpret_cast<const char*>(doc->encoding);
    xmlCharEncodingHandler* encoder = nullptr;
    if (encoding != nullptr) {
        encoder = xmlFindCharEncodingHandler(encoding);
        if (encoder == nullptr) {
            return false;
        }
    }
    xmlOutputBuffer* output = xmlOutputBufferCreateFd(fd, encoder);
    if (output == nullptr) {
        xmlCharEncCloseFunc(encoder);
        return false;
    }
    // Writes, flushes and frees the buffer (not the descriptor); negative on any write error.
    return xmlSaveFormatFileTo(output, doc, encoding, 0) >= 0;
}

} // namespace

void XmlDocument::save(const std::filesystem::path& file) const {
    const std::string failure = "The document cannot be saved as " + pathToUtf8(file) + ": ";
    if (!doc_) {
        throw Error(failure + "the document is gone.");
    }
    std::error_code error;
    const std::filesystem::path folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    if (!std::filesystem::is_directory(folder, error)) {
        throw Error(failure + "the folder " + pathToUtf8(folder) + " does not exist.");
    }

    TemporaryFile temporary(folder / file.filename());
    if (!writeDocument(doc_.get(), temporary.fd())) {
        throw Error(failure + "the document could not be written (is the disk full?).");
    }
    if (const int closeError = temporary.finish(); closeError != 0) {
        throw Error(failure + reason(closeError) + ".");
    }
    std::filesystem::rename(temporary.path(), file, error);
    if (error) {
        throw Error(failure + error.message() + ".");
    }
    temporary.release();
}

} // namespace velmora
