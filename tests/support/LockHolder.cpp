// Takes a lock on a file as another program would, for tests that need a second process.
//
//   LockHolder KIND FILE         takes the lock, prints "held" and keeps the lock until its
//                                standard input closes or it is killed
//   LockHolder --try KIND FILE   takes the lock and lets it go at once
//
// KIND: flock-shared, flock-exclusive, record (a POSIX write lock on the whole file, as lockf()
// takes it), record-shared (a POSIX read lock) on
// Linux; share-none, share-read (an open that lets others only read, or nothing at all),
// lockfile-shared, lockfile-exclusive (LockFileEx on the whole file) on Windows.
// Exit status: 0 done, 1 the file cannot be opened, 2 usage, 3 the lock is held elsewhere.

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

constexpr int kDone = 0;
constexpr int kCannotOpen = 1;
constexpr int kUsage = 2;
constexpr int kBusy = 3;

#ifdef _WIN32

using Text = std::wstring;
using Char = wchar_t;

bool isSharingConflict() {
    const DWORD error = ::GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// The lock's status; on success the handle stays open (and the lock held) until the process
// ends.
int takeLock(const Text& kind, const Text& file) {
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    if (kind == L"share-none") {
        access = GENERIC_READ | GENERIC_WRITE;
        share = 0;
    } else if (kind == L"share-read") {
        share = FILE_SHARE_READ;
    } else if (kind != L"lockfile-shared" && kind != L"lockfile-exclusive") {
        return kUsage;
    }
    HANDLE handle = ::CreateFileW(file.c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return isSharingConflict() ? kBusy : kCannotOpen;
    }
    if (kind.rfind(L"lockfile-", 0) == 0) {
        OVERLAPPED whole{};
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY |
                            (kind == L"lockfile-exclusive" ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        if (!::LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &whole)) {
            return kBusy;
        }
    }
    return kDone;
}

void waitForInputToClose() {
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    char buffer[64];
    DWORD got = 0;
    while (::ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
}

#else

using Text = std::string;
using Char = char;

// A POSIX read lock on the whole file, as fcntl() takes it for a reader.
int readLock(int fd) {
    struct flock region {};
    region.l_type = F_RDLCK;
    region.l_whence = SEEK_SET;
    return ::fcntl(fd, F_SETLK, &region);
}

int takeLock(const Text& kind, const Text& file) {
    const bool record = kind == "record";
    const bool recordShared = kind == "record-shared";
    if (!record && !recordShared && kind != "flock-shared" && kind != "flock-exclusive") {
        return kUsage;
    }
    // A POSIX write lock needs the file open for writing.
    const int fd = ::open(file.c_str(), record ? O_RDWR : O_RDONLY);
    if (fd < 0) {
        return kCannotOpen;
    }
    const int result = record ? ::lockf(fd, F_TLOCK, 0)
                       : recordShared
                           ? readLock(fd)
                           : ::flock(fd, (kind == "flock-shared" ? LOCK_SH : LOCK_EX) | LOCK_NB);
    if (result != 0) {
        return errno == EWOULDBLOCK || errno == EACCES || errno == EAGAIN ? kBusy : kCannotOpen;
    }
    return kDone;
}

void waitForInputToClose() {
    char buffer[64];
    while (true) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EINTR)) {
            return;
        }
    }
}

#endif

bool isTryOption(const Text& argument) {
    const std::string_view option = "--try";
    return std::equal(argument.begin(), argument.end(), option.begin(), option.end());
}

int run(int argc, Char** argv) {
    const bool justTry = argc == 4 && isTryOption(argv[1]);
    if (argc != 3 && !justTry) {
        std::fputs("usage: LockHolder [--try] KIND FILE\n", stderr);
        return kUsage;
    }
    const int status = takeLock(argv[argc - 2], argv[argc - 1]);
    if (status != kDone || justTry) {
        return status;
    }
    std::puts("held");
    std::fflush(stdout);
    waitForInputToClose();
    return kDone;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    return run(argc, argv);
}
#else
int main(int argc, char** argv) {
    return run(argc, argv);
}
#endif
