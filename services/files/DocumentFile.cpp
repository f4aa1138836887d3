#include "services/files/DocumentFile.h"

#include "services/Error.h"
#include "services/files/NativeFiles.h"

namespace velmora {

namespace {

Error unreadable(const std::filesystem::path& file, std::error_code system) {
    if (system == std::errc::no_such_file_or_directory) {
        return Error(ErrorKind::FileNotFound, {.file = file});
    }
    if (system == std::errc::is_a_directory) {
        return Error(ErrorKind::NotARegularFile, {.file = file});
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

    native::File opened = native::File::open(file, {}, error);
    if (error) {
        throw unreadable(file, error);
    }
    if (!opened.isRegular()) {
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }
    if (opened.size() > maxBytes) {
        throw Error(ErrorKind::DocumentTooLarge, {.file = file, .limit = maxBytes});
    }

    // The file may grow while it is read: the limit holds for what is read, not for its size.
    std::string content;
    content.reserve(static_cast<std::size_t>(opened.size()));
    char buffer[65536];
    for (;;) {
        std::size_t got = 0;
        if (const std::error_code failed = opened.read(buffer, sizeof buffer, got)) {
            throw unreadable(file, failed);
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, got);
        if (content.size() > maxBytes) {
            throw Error(ErrorKind::DocumentTooLarge, {.file = file, .limit = maxBytes});
        }
    }
}

} // namespace velmora
