// A library the fault-injection tests load into velmora-cli (LD_PRELOAD, Linux only): it makes
// one chosen call to the system fail with an input/output error, as a failing disk or network
// share would, and counts the calls of each kind the process makes.
//   VELMORA_FAULT_CALL    write, seek, sync or rename: the kind of call that fails
//   VELMORA_FAULT_AT      N: the Nth call of that kind, counted from 1
//   VELMORA_FAULT_COUNTS  FILE: at exit, one line per kind ("write 12") is written there
// Writes to the standard streams are neither counted nor failed: they say what the run did.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

enum Kind { Write, Seek, Sync, Rename, KindCount };
constexpr const char* kNames[KindCount] = {"write", "seek", "sync", "rename"};

std::atomic<long> calls[KindCount];
int failingKind = -1;
long failingCall = 0;

__attribute__((constructor)) void readWhatToFail() {
    const char* kind = std::getenv("VELMORA_FAULT_CALL");
    const char* at = std::getenv("VELMORA_FAULT_AT");
    for (int k = 0; kind != nullptr && at != nullptr && k < KindCount; ++k) {
        if (std::strcmp(kind, kNames[k]) == 0) {
            failingKind = k;
            failingCall = std::atol(at);
        }
    }
}

// Written with the system call itself, so that the count is not counted.
__attribute__((destructor)) void writeCounts() {
    const char* file = std::getenv("VELMORA_FAULT_COUNTS");
    if (file == nullptr) {
        return;
    }
    const int fd = static_cast<int>(
        ::syscall(SYS_openat, AT_FDCWD, file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd < 0) {
        return;
    }
    char text[256];
    const int length = std::snprintf(
        text, sizeof text, "write %ld\nseek %ld\nsync %ld\nrename %ld\n", calls[Write].load(),
        calls[Seek].load(), calls[Sync].load(), calls[Rename].load());
    ::syscall(SYS_write, fd, text, static_cast<size_t>(length));
    ::syscall(SYS_close, fd);
}

bool failsNow(Kind kind) {
    const long call = ++calls[kind];
    if (kind == failingKind && call == failingCall) {
        errno = EIO;
        return true;
    }
    return false;
}

template <typename Function> Function next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

ssize_t write(int fd, const void* buffer, size_t count) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    if (fd > 2 && failsNow(Write)) {
        return -1;
    }
    return real(fd, buffer, count);
}

off_t lseek(int fd, off_t offset, int whence) {
    static const auto real = next<off_t (*)(int, off_t, int)>("lseek");
    return failsNow(Seek) ? static_cast<off_t>(-1) : real(fd, offset, whence);
}

off64_t lseek64(int fd, off64_t offset, int whence) {
    static const auto real = next<off64_t (*)(int, off64_t, int)>("lseek64");
    return failsNow(Seek) ? static_cast<off64_t>(-1) : real(fd, offset, whence);
}

int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    return failsNow(Sync) ? -1 : real(fd);
}

int fdatasync(int fd) {
    static const auto real = next<int (*)(int)>("fdatasync");
    return failsNow(Sync) ? -1 : real(fd);
}

int rename(const char* from, const char* to) {
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return failsNow(Rename) ? -1 : real(from, to);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    return failsNow(Rename) ? -1 : real(fromFolder, from, toFolder, to);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
    static const auto real =
        next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return failsNow(Rename) ? -1 : real(fromFolder, from, toFolder, to, flags);
}

} // extern "C"
