#include "services/dbf/DbfWriter.h"

#include "services/Error.h"
#include "services/dbf/DbfHeader.h"
#include "services/dbf/ShapelibFiles.h"
#include "services/files/NativeFiles.h"

#include <algorithm>
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
        reportFailuresTo(handle_, failure_);
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
        if (!DBFWriteTuple(handle_, index, tuple.data()) || failure_) {
            fail(failure_ ? failure_ : std::make_error_code(std::errc::io_error));
        }
    }

    // Closing rewrites the header (the record count) and forces the file to the disk; shapelib
    // reports nothing of that, the hooks do.
    void close() {
        DBFClose(std::exchange(handle_, nullptr));
        if (failure_) {
            fail(failure_);
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
    std::error_code failure_;
};

// The written file read back and held against what was meant to be written: its header
// (columns, code page, record count and length) and every record, byte for byte. A disk or a
// share that loses writes without saying so is caught here, before the table is used.
class WrittenTableCheck {
public:
    WrittenTableCheck(const std::filesystem::path& file, const std::string& tableName)
        : file_(file), tableName_(tableName) {
        native::OpenOptions options;
        options.followLink = false;
        std::error_code error;
        opened_ = native::File::open(file, options, error);
        if (error) {
            throw Error(ErrorKind::TableNotWritten,
                        {.file = file_, .table = tableName_, .system = error});
        }
        if (!opened_.isRegular()) {
            wrong();
        }
    }

    void checkHeader(const std::vector<NewDbfColumn>& columns, std::size_t recordLength,
                     std::size_t recordCount) {
        std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(opened_.size(), 65536)),
                          '\0');
        readExactly(bytes.data(), bytes.size());
        DbfHeader header;
        try {
            header = checkDbfHeader(bytes, opened_.size(), file_, tableName_);
        } catch (const Error&) {
            wrong();
        }
        bool same = header.languageDriver == 0x03 && header.recordCount == recordCount &&
                    header.recordLength == recordLength && header.trailingBytes == 1 &&
                    header.columns.size() == columns.size();
        for (std::size_t i = 0; same && i < columns.size(); ++i) {
            const DbfColumn& read = header.columns[i];
            same = read.name == columns[i].name && read.type == columns[i].type &&
                   read.width == static_cast<std::size_t>(columns[i].width) &&
                   read.decimals == columns[i].decimals;
        }
        if (!same) {
            wrong();
        }
        restart(header.headerLength);
    }

    void checkRecords(const RecordBlocks& records) {
        std::string read;
        for (std::size_t index = 0; index < records.count(); ++index) {
            const std::string_view block = records.block(index);
            read.resize(block.size());
            readExactly(read.data(), read.size());
            if (read != block) {
                wrong();
            }
        }
        char mark = 0;
        readExactly(&mark, 1);
        if (mark != kDbfEndOfFileMark) {
            wrong();
        }
    }

private:
    void restart(std::size_t at) {
        if (const std::error_code error = opened_.seek(at)) {
            throw Error(ErrorKind::TableNotWritten,
                        {.file = file_, .table = tableName_, .system = error});
        }
    }

    void readExactly(char* buffer, std::size_t count) {
        std::size_t done = 0;
        while (done < count) {
            std::size_t got = 0;
            if (const std::error_code error = opened_.read(buffer + done, count - done, got)) {
                throw Error(ErrorKind::TableNotWritten,
                            {.file = file_, .table = tableName_, .system = error});
            }
            if (got == 0) {
                wrong();
            }
            done += got;
        }
    }

    [[noreturn]] void wrong() const {
        throw Error(ErrorKind::TableNotAsWritten, {.file = file_, .table = tableName_});
    }

    std::filesystem::path file_;
    std::string tableName_;
    native::File opened_;
};

} // namespace

void writeDbfTable(const std::filesystem::path& file, const std::string& tableName,
                   const std::vector<NewDbfColumn>& columns, const RecordBlocks& records) {
    ShapelibTable table(file, tableName);
    for (const NewDbfColumn& column : columns) {
        table.addColumn(column);
    }
    const std::size_t length = table.recordLength();
    table.writeEndOfFileMark(false);
    std::size_t index = 0;
    for (std::size_t b = 0; b < records.count(); ++b) {
        const std::string_view block = records.block(b);
        if (length == 0 || block.size() % length != 0) {
            throw std::logic_error("the records of " + tableName + " do not match its columns");
        }
        for (std::size_t at = 0; at < block.size(); at += length, ++index) {
            table.writeRecord(static_cast<int>(index), block.substr(at, length));
        }
    }
    table.writeEndOfFileMark(true);
    table.close();

    WrittenTableCheck written(file, tableName);
    written.checkHeader(columns, length, index);
    written.checkRecords(records);
}

} // namespace velmora
