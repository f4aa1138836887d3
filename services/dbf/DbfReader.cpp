#include "services/dbf/DbfReader.h"

#include "services/Error.h"
#include "services/dbf/DbfFieldCodec.h"
#include "services/dbf/TableCodePage.h"
#include "services/text/Text.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr std::size_t kWindowBytes = 1 << 20;
constexpr char kLive = ' ';
constexpr char kDeleted = '*';

} // namespace

DbfReader DbfReader::open(const std::filesystem::path& file, LockedFile::Lock lock,
                          std::string tableName) {
    std::optional<LockedFile> locked = LockedFile::tryOpen(file, lock);
    if (!locked) {
        throw Error(ErrorKind::TableInUse, {.file = file, .table = tableName});
    }
    if (locked->size() > kMaxTableBytes) {
        throw Error(ErrorKind::TableTooLarge,
                    {.file = file, .table = tableName, .limit = kMaxTableBytes});
    }
    std::string start(std::min<std::uint64_t>(locked->size(), kDbfFixedHeaderSize), '\0');
    start.resize(locked->read(start.data(), start.size()));
    const std::size_t headerLength = dbfHeaderLength(start);
    if (headerLength > start.size() && headerLength <= locked->size()) {
        const std::size_t had = start.size();
        start.resize(headerLength);
        start.resize(had + locked->read(start.data() + had, headerLength - had));
    }
    DbfHeader header = checkDbfHeader(start, locked->size(), file, tableName);
    CodePage codePage = tableCodePage(header.languageDriver, file, tableName);
    return DbfReader(std::move(*locked), std::move(tableName), std::move(header),
                     std::move(codePage));
}

DbfReader::DbfReader(LockedFile file, std::string tableName, DbfHeader header, CodePage codePage)
    : file_(std::move(file)), tableName_(std::move(tableName)), header_(std::move(header)),
      codePage_(std::move(codePage)) {
    for (std::size_t index = 0; index < header_.columns.size(); ++index) {
        columnsByName_.emplace(text::asciiUpper(header_.columns[index].name), index);
    }
}

std::size_t DbfReader::column(std::string_view fieldName) const {
    const auto found = columnsByName_.find(text::asciiUpper(fieldName));
    if (found == columnsByName_.end()) {
        throw Error(ErrorKind::TableFieldMissing,
                    {.file = file(), .table = tableName_, .field = std::string(fieldName)});
    }
    return found->second;
}

bool DbfReader::hasColumn(std::string_view fieldName) const {
    return columnsByName_.count(text::asciiUpper(fieldName)) > 0;
}

std::optional<DbfRecord> DbfReader::next() {
    while (true) {
        if (windowAt_ >= window_.size() && !fillWindow()) {
            return std::nullopt;
        }
        const std::string_view record =
            std::string_view(window_).substr(windowAt_, header_.recordLength);
        windowAt_ += header_.recordLength;
        const std::size_t number = ++recordsRead_;
        if (record.front() == kLive) {
            return DbfRecord(*this, record, number);
        }
        if (record.front() != kDeleted) {
            damagedAt(number, ErrorReason::DeletionFlag);
        }
    }
}

// Reads the next whole records into the window; false when the header's records are all read.
// After the last record, what the header left over is read too: it must be the end-of-file
// mark, as the header check allowed.
bool DbfReader::fillWindow() {
    const std::size_t remaining = header_.recordCount - recordsRead_;
    if (remaining == 0) {
        if (header_.trailingBytes == 1) {
            char mark = 0;
            header_.trailingBytes = 0;
            if (file_.read(&mark, 1) != 1 || mark != kDbfEndOfFileMark) {
                damagedAt(recordsRead_ + 1, ErrorReason::RecordsBeyondCount);
            }
        }
        return false;
    }
    const std::size_t perWindow = std::max<std::size_t>(1, kWindowBytes / header_.recordLength);
    const std::size_t count = std::min(remaining, perWindow);
    window_.resize(count * header_.recordLength);
    if (file_.read(window_.data(), window_.size()) != window_.size()) {
        damagedAt(recordsRead_ + 1, ErrorReason::RecordsMissing);
    }
    windowAt_ = 0;
    return true;
}

void DbfReader::damagedAt(std::size_t record, ErrorReason reason) const {
    throw Error(ErrorKind::TableDamaged,
                {.file = file(), .table = tableName_, .record = record, .reason = reason});
}

namespace {

FieldValue valueOf(const DbfHeader& header, const CodePage& page, std::string_view record,
                   std::size_t column) {
    const DbfColumn& info = header.columns[column];
    return decodeField(info, header.levelSeven, page, record.substr(info.offset, info.width));
}

} // namespace

std::string DbfRecord::text(std::size_t column) const {
    return valueAsText(valueOf(reader_->header_, reader_->codePage_, bytes_, column));
}

double DbfRecord::number(std::size_t column) const {
    const DbfColumn& info = reader_->header_.columns[column];
    const FieldValue value = valueOf(reader_->header_, reader_->codePage_, bytes_, column);
    const auto unreadable = [&](ErrorReason reason, std::string shown) {
        return Error(ErrorKind::TableValueUnreadable, {.file = reader_->file(),
                                                       .table = reader_->tableName_,
                                                       .record = number_,
                                                       .field = info.name,
                                                       .value = std::move(shown),
                                                       .reason = reason});
    };
    if (!readsAsNumber(info)) {
        throw unreadable(ErrorReason::FieldNotNumeric, std::string(1, info.type));
    }
    const auto parsed = valueAsNumber(value);
    if (!parsed) {
        throw unreadable(ErrorReason::NotANumber, valueAsText(value));
    }
    return *parsed;
}

std::int64_t DbfRecord::integer(std::size_t column) const {
    const double exact = number(column);
    const auto nearest = nearestInteger(exact);
    if (!nearest) {
        const DbfColumn& info = reader_->header_.columns[column];
        throw Error(ErrorKind::TableValueUnreadable, {.file = reader_->file(),
                                                      .table = reader_->tableName_,
                                                      .record = number_,
                                                      .field = info.name,
                                                      .value = generalNumberText(exact),
                                                      .reason = ErrorReason::NumberTooLarge});
    }
    return *nearest;
}

} // namespace velmora
