#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace velmora {

// An OS lock on a file, held while the object lives: shared (others may read) or exclusive
// (no other program may have the file). flock-style locks, because shapelib opens and closes
// its own handles and would silently drop record locks taken through another handle.
class FileLock {
public:
    enum class Kind { Shared, Exclusive };

    // Nothing when another program holds a conflicting lock; throws Error when the file cannot
    // be opened at all.
    static std::optional<FileLock> tryLock(const std::filesystem::path& file, Kind kind);
    static std::optional<FileLock> tryExclusive(const std::filesystem::path& file) {
        return tryLock(file, Kind::Exclusive);
    }

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    explicit FileLock(std::intptr_t handle) : handle_(handle) {}
    void release() noexcept;
    std::intptr_t handle_ = -1; // a file descriptor, or a Windows HANDLE
};

} // namespace velmora
