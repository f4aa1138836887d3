#include "services/dbf/DbfWriter.h"

#include "services/Error.h"
#include "services/dbf/ShapelibFiles.h"
#include "services/files/FileSync.h"

#include <chrono>
#include <stdexcept>
#include <utility>

namespace velmora {

namespace {

void stampToday(DBFHandle handle) {
    const auto today = std::chrono::year_month_day(
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
    DBFSetLastModifiedDate(handle, static_cast<int>(today.year()) - 1900,
                           static_cast<int>(static_cast<unsigned>(today.month())),
                           static_cast<int>(static_cast<unsigned>(today.day())));
}

// A table being written, closed (and its failures reported) exactly once.
class ShapelibTable {
public:
    ShapelibTable(const std::filesystem::path& file, const std::string& tableName)
        : file_(file), tableName_(tableName) {
        SAHooks hooks = exactFileHooks();
        handle_ = DBFCreateLL(shapelibName(file).c_str(), "LDID/3", &hooks);
        if (handle_ == nullptr) {
            fail(lastSystemError());
        }
        stampToday(handle_);
    }
    ~ShapelibTable() {
        if (handle_ != nullptr) {
            DBFClose(handle_);
        }
    }
    ShapelibTable(const ShapelibTable&) = delete;
    ShapelibTable& operator=(const ShapelibTable&) = delete;

    void addColumn(const NewDbfColumn& column) {
        if (DBFAddNativeFieldType(handle_, column.name.c_str(), column.type, column.width,
                                  column.decimals) < 0) {
            throw std::logic_error("the column " + column.name + " of " + tableName_ +
                                   " is not a valid dBASE column");
        }
    }

    std::size_t recordLength() const { return static_cast<std::size_t>(handle_->nRecordLength); }

    // shapelib writes the end-of-file mark after whichever record is the last so far, and has
    // to seek back over it for the next one, which makes stdio write out its buffer for every
    // record. The mark is left out until the last record.
    void writeEndOfFileMark(bool write) { DBFSetWriteEndOfFileChar(handle_, write ? 1 : 0); }

    void writeRecord(int index, std::string_view record) {
        std::string tuple(record);
        if (!DBFWriteTuple(handle_, index, tuple.data())) {
            fail(lastSystemError());
        }
    }

    // stdio buffers what shapelib writes and shapelib does not report every failed write, so
    // the file's size tells whether the records reached the disk.
    void close() {
        const std::uintmax_t expected =
            static_cast<std::uintmax_t>(handle_->nHeaderLength) +
            static_cast<std::uintmax_t>(handle_->nRecords) * recordLength();
        DBFClose(std::exchange(handle_, nullptr));
        std::error_code error;
        const auto size = std::filesystem::file_size(file_, error);
        if (error || size < expected) {
            fail(error ? error : std::make_error_code(std::errc::no_space_on_device));
        }
        if (const std::error_code notSynced = syncToDisk(file_)) {
            fail(notSynced);
        }
    }

private:
    [[noreturn]] void fail(std::error_code why) const {
        throw Error(ErrorKind::TableNotWritten,
                    {.file = file_, .table = tableName_, .system = why});
    }

    std::filesystem::path file_;
    std::string tableName_;
    DBFHandle handle_ = nullptr;
};

} // namespace

void writeDbfTable(const std::filesystem::path& file, const std::string& tableName,
                   const std::vector<NewDbfColumn>& columns,
                   const std::vector<std::string_view>& recordBlocks) {
    ShapelibTable table(file, tableName);
    for (const NewDbfColumn& column : columns) {
        table.addColumn(column);
    }
    const std::size_t length = table.recordLength();
    std::size_t count = 0;
    for (const std::string_view block : recordBlocks) {
        if (length == 0 || block.size() % length != 0) {
            throw std::logic_error("the records of " + tableName + " do not match its columns");
        }
        count += block.size() / length;
    }
    table.writeEndOfFileMark(false);
    std::size_t index = 0;
    for (const std::string_view block : recordBlocks) {
        for (std::size_t at = 0; at < block.size(); at += length, ++index) {
            table.writeEndOfFileMark(index + 1 == count);
            table.writeRecord(static_cast<int>(index), block.substr(at, length));
        }
    }
    table.writeEndOfFileMark(true);
    table.close();
}

} // namespace velmora
