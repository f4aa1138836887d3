#pragma once

#include "services/files/NativeFiles.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace velmora {

// A file opened for reading with an OS lock taken through the same handle, held while the
// object lives: shared (other readers may come in) or exclusive (no other program may have the
// file). All reading goes through that one handle, so that on Windows, where a locked file
// cannot be read through another handle, the lock never stands in our own way.
class LockedFile {
public:
    enum class Lock { Shared, Exclusive };

    // Whether a link at the path is opened (the file it points to) or refused.
    enum class Links { Follow, Refuse };

    // Nothing when another program holds the file in a way that conflicts with the lock. Throws
    // an Error when there is no such file, when it is not a regular file (a folder, a pipe, a
    // device, or a link where links are refused: opening one must never hang) or when it cannot
    // be opened.
    static std::optional<LockedFile> tryOpen(const std::filesystem::path& file, Lock lock,
                                             Links links = Links::Follow);

    const std::filesystem::path& path() const { return path_; }
    std::uint64_t size() const { return file_.size(); }

    // Reads the next bytes; fewer than asked only at the end of the file. Throws an Error
    // naming the file when reading fails.
    std::size_t read(char* buffer, std::size_t count);

private:
    LockedFile(native::File file, std::filesystem::path path)
        : file_(std::move(file)), path_(std::move(path)) {}

    native::File file_;
    std::filesystem::path path_;
};

} // namespace velmora
