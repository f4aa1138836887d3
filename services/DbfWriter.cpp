#include "services/DbfWriter.h"

#include "services/Error.h"
#include "services/FileSystem.h"

#include <shapefil.h>

#include <chrono>
#include <cstdio>
#include <utility>

namespace velmora {

namespace {

// shapelib builds the names it opens from the path it is given: it drops the extension and
// adds ".dbf" (then ".DBF", ".cpg", ...), which would miss "SOLUC.Dbf" or create
// "ASIGNOMT.dbf" for "ASIGNOMT.DBF". Handing it "<file>.x" makes its first try "<file>.dbf",
// which these hooks turn back into exactly <file>; every other name it tries is refused.
constexpr std::string_view shapelibSuffix = ".dbf";

// shapelib passes names around as char: it gets the UTF-8 form of the path, which the hooks
// turn back into the path.
std::string shapelibName(const std::filesystem::path& file) {
    return pathToUtf8(file) + ".x";
}

// Windows' fopen would read the name in the ANSI code page, which lacks most characters a
// folder's name can hold: the wide call opens any name.
std::FILE* openFile(const std::filesystem::path& file, const char* access) {
#ifdef _WIN32
    const std::string_view narrow(access);
    const std::wstring wideAccess(narrow.begin(), narrow.end());
    return ::_wfopen(file.c_str(), wideAccess.c_str());
#else
    return std::fopen(file.c_str(), access);
#endif
}

SAFile openExactFile(const char* name, const char* access) {
    const std::string_view requested(name);
    if (requested.size() <= shapelibSuffix.size() ||
        requested.substr(requested.size() - shapelibSuffix.size()) != shapelibSuffix) {
        return nullptr;
    }
    const auto exact = pathFromUtf8(requested.substr(0, requested.size() - shapelibSuffix.size()));
    // shapelib's default hooks read and close what they are given as a FILE*.
    return reinterpret_cast<SAFile>(openFile(exact, access));
}

int removeNothing(const char*) {
    return 0;
}

// Failures are detected from the results of the calls; shapelib's own report would only go
// to the standard error stream.
void ignoreMessage(const char*) {}

SAHooks exactFileHooks() {
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = openExactFile;
    hooks.Remove = removeNothing;
    hooks.Error = ignoreMessage;
    return hooks;
}

void stampToday(DBFHandle handle) {
    const auto today = std::chrono::year_month_day(
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
    DBFSetLastModifiedDate(handle, static_cast<int>(today.year()) - 1900,
                           static_cast<int>(static_cast<unsigned>(today.month())),
                           static_cast<int>(static_cast<unsigned>(today.day())));
}

std::string describe(const std::string& tableName, const std::filesystem::path& file) {
    return "the table " + tableName + " (" + pathToUtf8(file) + ")";
}

DBFHandle asHandle(void* handle) {
    return static_cast<DBFHandle>(handle);
}

std::uintmax_t sizeOfRecords(DBFHandle handle) {
    return static_cast<std::uintmax_t>(handle->nHeaderLength) +
           static_cast<std::uintmax_t>(handle->nRecords) *
               static_cast<std::uintmax_t>(handle->nRecordLength);
}

// stdio buffers what shapelib writes and shapelib does not report every failed write, so the
// file's size tells whether the records reached the disk.
void requireSize(const std::filesystem::path& file, std::uintmax_t expected,
                 const std::string& description) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error || size < expected) {
        throw Error("Cannot write " + description +
                    ": the disk may be full or the file write-protected.");
    }
}

} // namespace

void DbfWriter::create(const std::filesystem::path& file, const std::vector<NewDbfColumn>& columns,
                       const std::string& tableName) {
    SAHooks hooks = exactFileHooks();
    DBFHandle handle = DBFCreateLL(shapelibName(file).c_str(), "LDID/3", &hooks);
    if (handle == nullptr) {
        throw Error("Cannot create " + describe(tableName, file) +
                    ": the folder is missing or the file cannot be written.");
    }
    DbfWriter writer(handle, file, tableName);
    for (const NewDbfColumn& column : columns) {
        if (DBFAddNativeFieldType(handle, column.name.c_str(), column.type, column.width,
                                  column.decimals) < 0) {
            throw Error("Cannot add the field " + column.name + " to " + describe(tableName, file) +
                        ".");
        }
    }
    writer.close();
}

DbfWriter DbfWriter::open(const std::filesystem::path& file, const std::string& tableName,
                          std::size_t headerLength, std::size_t recordLength) {
    SAHooks hooks = exactFileHooks();
    DBFHandle handle = DBFOpenLL(shapelibName(file).c_str(), "rb+", &hooks);
    if (handle == nullptr) {
        throw Error("Cannot open " + describe(tableName, file) +
                    " for writing: the file is write-protected or damaged.");
    }
    DbfWriter writer(handle, file, tableName);
    if (static_cast<std::size_t>(handle->nHeaderLength) != headerLength ||
        static_cast<std::size_t>(handle->nRecordLength) != recordLength) {
        throw Error("Cannot write to " + describe(tableName, file) +
                    ": the file was changed by another program.");
    }
    return writer;
}

DbfWriter::DbfWriter(void* handle, std::filesystem::path file, std::string tableName)
    : handle_(handle), file_(std::move(file)), tableName_(std::move(tableName)) {
    stampToday(asHandle(handle_));
}

DbfWriter::DbfWriter(DbfWriter&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), file_(std::move(other.file_)),
      tableName_(std::move(other.tableName_)) {}

DbfWriter& DbfWriter::operator=(DbfWriter&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) {
            DBFClose(asHandle(handle_));
        }
        handle_ = std::exchange(other.handle_, nullptr);
        file_ = std::move(other.file_);
        tableName_ = std::move(other.tableName_);
    }
    return *this;
}

DbfWriter::~DbfWriter() {
    if (handle_ != nullptr) {
        DBFClose(asHandle(handle_));
    }
}

std::size_t DbfWriter::recordCount() const {
    return static_cast<std::size_t>(DBFGetRecordCount(asHandle(handle_)));
}

void DbfWriter::writeRecord(std::size_t index, std::string_view record) {
    DBFHandle handle = asHandle(handle_);
    std::string tuple(record);
    if (record.size() != static_cast<std::size_t>(handle->nRecordLength) ||
        !DBFWriteTuple(handle, static_cast<int>(index), tuple.data())) {
        throw Error("Cannot write record " + std::to_string(index + 1) + " of " +
                    describe(tableName_, file_) + ".");
    }
    // Writes the record and the record count through, so that a failure shows here and other
    // readers see a whole table.
    DBFUpdateHeader(handle);
    requireSize(file_, sizeOfRecords(handle), describe(tableName_, file_));
}

void DbfWriter::close() {
    if (handle_ == nullptr) {
        return;
    }
    DBFHandle handle = asHandle(std::exchange(handle_, nullptr));
    const std::uintmax_t expected = sizeOfRecords(handle);
    DBFClose(handle);
    requireSize(file_, expected, describe(tableName_, file_));
}

} // namespace velmora
