#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

// The system's own file calls, with wide paths on Windows: the one place where the core's file
// handling differs between platforms (NativeFilesPosix.cpp, NativeFilesWin32.cpp; what they
// share in NativeFiles.cpp). Every call reports what the system said; none throws.
namespace velmora::native {

// What stands at a path; a link is the link itself, never what it points to.
enum class EntryKind { None, File, Folder, Link, Other };
EntryKind entryKind(const std::filesystem::path& path);

// How other programs may use a file while this process holds it open. A shared lock lets
// other readers in; an exclusive one keeps every other holder of a lock (and, on Windows,
// every other program) out.
enum class Lock { None, Shared, Exclusive };

// What opening does when nothing is at the path, or something is.
enum class Creation {
    Existing,       // opens what is there
    New,            // makes a new file; fails when anything is there, a link included
    NewOrTruncated, // makes a new file, or empties the file that is there
};

struct OpenOptions {
    bool write = false; // read and write; otherwise read only
    Creation creation = Creation::Existing;
    bool followLink = true; // otherwise a link at the path fails to open
    Lock lock = Lock::None;
};

// A file opened by the system, closed when the object goes. Opening never waits: not for a
// lock another program holds, not for a pipe without a writer.
class File {
public:
    File() = default;
    static File open(const std::filesystem::path& path, const OpenOptions& options,
                     std::error_code& error);

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    bool isOpen() const;
    // A plain file on a disk, not a folder, a pipe or a device; and its size, both as they were
    // when it was opened.
    bool isRegular() const { return regular_; }
    std::uint64_t size() const { return size_; }

    // Up to count bytes into buffer; got is 0 at the end of the file.
    std::error_code read(char* buffer, std::size_t count, std::size_t& got);
    // Every byte, or an error.
    std::error_code write(std::string_view bytes);
    // To a position from the start of the file.
    std::error_code seek(std::uint64_t offset);
    // What was written reaches the disk, not only the system's cache.
    std::error_code syncToDisk();
    // Closes now, with what the system said (a delayed write error shows here).
    std::error_code close();

private:
    File(std::intptr_t handle, bool regular, std::uint64_t size)
        : handle_(handle), regular_(regular), size_(size) {}

    std::intptr_t handle_ = -1; // a file descriptor, or a Windows HANDLE
    bool regular_ = false;
    std::uint64_t size_ = 0;
};

// Whether an open failed only because another program holds a lock that conflicts.
bool isHeldElsewhere(const std::error_code& error);

// Renames a file or folder. The first replaces nothing (an error when `to` exists), so a file
// is never lost under another; the second replaces a file at `to` in one step, so a reader
// finds either the old file or the new one, never none.
std::error_code renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);
std::error_code renameReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes a file, or a link itself, never what a link points to.
std::error_code removeFile(const std::filesystem::path& path);

// A new folder (an error when anything exists at the path), and the removal of an empty one.
std::error_code makeFolder(const std::filesystem::path& path);
std::error_code removeEmptyFolder(const std::filesystem::path& path);

// Makes a folder's changes (new names, renames, removals) survive a power cut.
std::error_code syncFolder(const std::filesystem::path& folder);

// The root of the drive of the current folder ("C:\" on Windows), "/" elsewhere.
std::filesystem::path currentRoot();

} // namespace velmora::native
