#include "services/dbf/ShapelibFiles.h"

#include <cstdio>
#include <string_view>

namespace velmora {

namespace {

// Handing shapelib "<file>.x" makes its first try "<file>.dbf", which the hooks turn back into
// exactly <file>; every other name it tries is refused.
constexpr std::string_view kShapelibSuffix = ".dbf";

// A file as the hooks hand it to shapelib: the stream and where it stands, kept here so that
// asking for the position never needs the system, and a seek to where the file already stands
// (shapelib seeks before every record it writes) neither costs a system call nor makes stdio
// write out its buffer.
struct TrackedFile {
    std::FILE* stream;
    SAOffset position = 0;
};

constexpr std::size_t kStreamBufferBytes = 256 * 1024;

TrackedFile* tracked(SAFile file) {
    return reinterpret_cast<TrackedFile*>(file);
}

// Names reach shapelib as UTF-8 and come back as such; on Windows the file is opened by its
// wide name, which an ANSI name could not always spell.
std::FILE* openStream(const std::string& utf8Name, const char* access) {
    const std::filesystem::path path(std::u8string(utf8Name.begin(), utf8Name.end()));
#ifdef _WIN32
    const std::string narrow(access);
    return ::_wfopen(path.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
#else
    return std::fopen(path.c_str(), access);
#endif
}

SAFile openExact(const char* name, const char* access) {
    const std::string_view requested(name);
    if (requested.size() <= kShapelibSuffix.size() ||
        requested.substr(requested.size() - kShapelibSuffix.size()) != kShapelibSuffix) {
        return nullptr;
    }
    std::FILE* stream = openStream(
        std::string(requested.substr(0, requested.size() - kShapelibSuffix.size())), access);
    if (stream == nullptr) {
        return nullptr;
    }
    // shapelib writes a record at a time: a large buffer turns a table into a few big writes.
    std::setvbuf(stream, nullptr, _IOFBF, kStreamBufferBytes);
    return reinterpret_cast<SAFile>(new TrackedFile{stream});
}

SAOffset read(void* buffer, SAOffset size, SAOffset count, SAFile file) {
    TrackedFile* f = tracked(file);
    const std::size_t got = std::fread(buffer, size, count, f->stream);
    f->position += size * got;
    return got;
}

SAOffset write(void* buffer, SAOffset size, SAOffset count, SAFile file) {
    TrackedFile* f = tracked(file);
    const std::size_t put = std::fwrite(buffer, size, count, f->stream);
    f->position += size * put;
    return put;
}

SAOffset seek(SAFile file, SAOffset offset, int whence) {
    TrackedFile* f = tracked(file);
    if (whence == SEEK_SET && offset == f->position) {
        return 0;
    }
    if (std::fseek(f->stream, static_cast<long>(offset), whence) != 0) {
        return static_cast<SAOffset>(-1);
    }
    f->position = static_cast<SAOffset>(std::ftell(f->stream));
    return 0;
}

SAOffset tell(SAFile file) {
    return tracked(file)->position;
}

int flush(SAFile file) {
    return std::fflush(tracked(file)->stream);
}

int close(SAFile file) {
    TrackedFile* f = tracked(file);
    const int result = std::fclose(f->stream);
    delete f;
    return result;
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

} // namespace velmora
