#include "services/dbf/ShapelibFiles.h"

#include "services/files/NativeFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace velmora {

namespace {

// Handing shapelib "<file>.x" makes its first try "<file>.dbf", which the hooks turn back into
// exactly <file>; every other name it tries is refused.
constexpr std::string_view kShapelibSuffix = ".dbf";

// shapelib writes a record at a time: a large buffer turns a table into a few big writes.
constexpr std::size_t kBufferBytes = 256 * 1024;

// A file as the hooks hand it to shapelib. What shapelib writes is gathered here and given to
// the system in large pieces; where shapelib stands is kept here too, so that asking for the
// position never needs the system, and a seek to where the file already stands (shapelib seeks
// before every record it writes) costs nothing.
struct TrackedFile {
    native::File file;
    bool written = false;
    std::string pending;       // bytes shapelib wrote that the system has not had yet
    SAOffset pendingAt = 0;    // where they go
    SAOffset position = 0;     // where shapelib stands
    SAOffset filePosition = 0; // where the system's file stands
    std::error_code failure;   // the first one
    std::error_code* report = nullptr;

    void note(const std::error_code& error) {
        if (error && !failure) {
            failure = error;
        }
    }

    bool moveFileTo(SAOffset offset) {
        if (filePosition == offset) {
            return true;
        }
        const std::error_code error = file.seek(offset);
        note(error);
        filePosition = error ? static_cast<SAOffset>(-1) : offset;
        return !error;
    }

    bool flushPending() {
        if (pending.empty()) {
            return true;
        }
        bool done = moveFileTo(pendingAt);
        if (done) {
            const std::error_code error = file.write(pending);
            note(error);
            done = !error;
            filePosition = done ? pendingAt + pending.size() : static_cast<SAOffset>(-1);
        }
        pending.clear();
        return done;
    }
};

TrackedFile* tracked(SAFile file) {
    return reinterpret_cast<TrackedFile*>(file);
}

SAFile openExact(const char* name, const char* access) {
    const std::string_view requested(name);
    if (requested.size() <= kShapelibSuffix.size() || !requested.ends_with(kShapelibSuffix)) {
        return nullptr;
    }
    const std::string utf8(requested.substr(0, requested.size() - kShapelibSuffix.size()));
    const std::string_view mode(access);
    native::OpenOptions options;
    options.write = mode.find('w') != std::string_view::npos || mode.find('+') != mode.npos;
    options.creation = mode.find('w') != std::string_view::npos ? native::Creation::NewOrTruncated
                                                                : native::Creation::Existing;
    options.followLink = !options.write;
    std::error_code error;
    // Names reach shapelib as UTF-8 and come back as such.
    native::File file = native::File::open(
        std::filesystem::path(std::u8string(utf8.begin(), utf8.end())), options, error);
    if (error) {
        errno = error.default_error_condition().category() == std::generic_category()
                    ? error.default_error_condition().value()
                    : EIO;
        return nullptr;
    }
    return reinterpret_cast<SAFile>(new TrackedFile{std::move(file), options.write});
}

SAOffset read(void* buffer, SAOffset size, SAOffset count, SAFile handle) {
    TrackedFile* f = tracked(handle);
    if (size == 0 || !f->flushPending() || !f->moveFileTo(f->position)) {
        return 0;
    }
    char* into = static_cast<char*>(buffer);
    const std::size_t wanted = size * count;
    std::size_t done = 0;
    while (done < wanted) {
        std::size_t got = 0;
        const std::error_code error = f->file.read(into + done, wanted - done, got);
        f->note(error);
        if (error || got == 0) {
            break;
        }
        done += got;
    }
    f->position += done;
    f->filePosition = f->position;
    return done / size;
}

SAOffset write(void* buffer, SAOffset size, SAOffset count, SAFile handle) {
    TrackedFile* f = tracked(handle);
    if (f->pendingAt + f->pending.size() != f->position && !f->flushPending()) {
        return 0;
    }
    if (f->pending.empty()) {
        f->pendingAt = f->position;
    }
    f->pending.append(static_cast<const char*>(buffer), size * count);
    f->position += size * count;
    if (f->pending.size() >= kBufferBytes && !f->flushPending()) {
        return 0;
    }
    return count;
}

SAOffset seek(SAFile handle, SAOffset offset, int whence) {
    TrackedFile* f = tracked(handle);
    if (whence == SEEK_SET) {
        f->position = offset;
    } else if (whence == SEEK_CUR) {
        f->position += offset;
    } else {
        // shapelib never seeks from the end of a table it writes.
        f->note(std::make_error_code(std::errc::invalid_argument));
        return static_cast<SAOffset>(-1);
    }
    return 0;
}

SAOffset tell(SAFile handle) {
    return tracked(handle)->position;
}

int flush(SAFile handle) {
    return tracked(handle)->flushPending() ? 0 : -1;
}

int close(SAFile handle) {
    TrackedFile* f = tracked(handle);
    f->flushPending();
    // Only the table shapelib reopens to write is worth the wait for the disk; the empty file it
    // makes first is written over at once.
    if (f->written && f->report != nullptr) {
        f->note(f->file.syncToDisk());
    }
    f->note(f->file.close());
    if (f->report != nullptr && !*f->report) {
        *f->report = f->failure;
    }
    const bool failed = static_cast<bool>(f->failure);
    delete f;
    return failed ? -1 : 0;
}

int removeNothing(const char*) {
    return 0;
}

// Failures are detected from the results of the calls; shapelib's own report would only go
// to the standard error stream.
void ignoreMessage(const char*) {}

} // namespace

std::string shapelibName(const std::filesystem::path& file) {
    const std::u8string utf8 = file.u8string();
    return std::string(utf8.begin(), utf8.end()) + ".x";
}

SAHooks exactFileHooks() {
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = openExact;
    hooks.FRead = read;
    hooks.FWrite = write;
    hooks.FSeek = seek;
    hooks.FTell = tell;
    hooks.FFlush = flush;
    hooks.FClose = close;
    hooks.Remove = removeNothing;
    hooks.Error = ignoreMessage;
    return hooks;
}

void reportFailuresTo(DBFHandle handle, std::error_code& failure) {
    TrackedFile* f = tracked(handle->fp);
    f->report = &failure;
    failure = f->failure;
}

} // namespace velmora
