#include "services/files/LockedFile.h"

#include "services/Error.h"

namespace velmora {

namespace {

[[noreturn]] void unreadable(const std::filesystem::path& file, std::error_code why) {
    if (why == std::errc::no_such_file_or_directory) {
        throw Error(ErrorKind::FileNotFound, {.file = file});
    }
    if (why == std::errc::is_a_directory || why == std::errc::too_many_symbolic_link_levels) {
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }
    throw Error(ErrorKind::FileUnreadable, {.file = file, .system = why});
}

} // namespace

std::optional<LockedFile> LockedFile::tryOpen(const std::filesystem::path& file, Lock lock,
                                              Links links) {
    native::OpenOptions options;
    options.lock = lock == Lock::Exclusive ? native::Lock::Exclusive : native::Lock::Shared;
    options.followLink = links == Links::Follow;
    // An exclusive lock is strongest on a file open for writing (see native::File); a file that
    // cannot be written is still locked as well as it can be.
    options.write = lock == Lock::Exclusive;
    std::error_code error;
    native::File opened = native::File::open(file, options, error);
    if (error && options.write && !native::isHeldElsewhere(error) &&
        error != std::errc::no_such_file_or_directory) {
        options.write = false;
        opened = native::File::open(file, options, error);
    }
    if (native::isHeldElsewhere(error)) {
        return std::nullopt;
    }
    if (error) {
        unreadable(file, error);
    }
    if (!opened.isRegular()) {
        throw Error(ErrorKind::NotARegularFile, {.file = file});
    }
    return LockedFile(std::move(opened), file);
}

std::size_t LockedFile::read(char* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        std::size_t got = 0;
        if (const std::error_code error = file_.read(buffer + done, count - done, got)) {
            throw Error(ErrorKind::FileUnreadable, {.file = path_, .system = error});
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

} // namespace velmora
