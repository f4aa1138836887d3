#include "services/DbfRecords.h"

#include "services/Error.h"
#include "services/Text.h"

namespace velmora {

namespace {

constexpr char deletedMark = '*';

} // namespace

DbfRecords::DbfRecords(std::filesystem::path file, std::string tableName, const std::string& bytes)
    : file_(std::move(file)), tableName_(std::move(tableName)),
      header_(checkDbfHeader(bytes, file_)),
      records_(bytes.substr(header_.headerLength, header_.recordCount * header_.recordLength)) {
    for (std::size_t index = 0; index < header_.columns.size(); ++index) {
        columnsByName_.emplace(text::asciiUpper(header_.columns[index].name), index);
    }
    for (std::size_t index = 0; index < storedCount(); ++index) {
        liveCount_ += isDeleted(index) ? 0 : 1;
    }
}

std::size_t DbfRecords::column(const std::string& fieldName) const {
    if (const auto found = columnsByName_.find(text::asciiUpper(fieldName));
        found != columnsByName_.end()) {
        return found->second;
    }
    for (std::size_t index = 0; index < header_.columns.size(); ++index) {
        if (text::equalsIgnoringCase(header_.columns[index].name, fieldName)) {
            return index;
        }
    }
    throw Error("Field '" + fieldName + "' not found in table " + tableName_);
}

FieldContext DbfRecords::field(std::size_t column) const {
    return FieldContext{header_.columns[column], header_.levelSeven, tableName_};
}

std::string_view DbfRecords::fieldBytes(std::string_view record, std::size_t column) const {
    const DbfColumn& info = header_.columns[column];
    return record.substr(info.offset, info.width);
}

bool DbfRecords::isDeleted(std::size_t index) const {
    return records_[index * header_.recordLength] == deletedMark;
}

std::string_view DbfRecords::record(std::size_t index) const {
    return std::string_view(records_).substr(index * header_.recordLength, header_.recordLength);
}

std::string DbfRecords::blankRecord() const {
    return std::string(header_.recordLength, ' ');
}

const std::vector<std::size_t>& DbfRecords::recordsReading(std::size_t column,
                                                           const std::string& text) const {
    if (!grouping_ || grouping_->column != column) {
        grouping_ = groupByText(column);
    }
    const auto found = grouping_->records.find(text);
    return found == grouping_->records.end() ? noRecords_ : found->second;
}

DbfRecords::Grouping DbfRecords::groupByText(std::size_t column) const {
    Grouping grouping{column, {}};
    const FieldContext context = field(column);
    for (std::size_t index = 0; index < storedCount(); ++index) {
        if (!isDeleted(index)) {
            grouping.records[valueAsText(decodeField(context, fieldBytes(record(index), column)))]
                .push_back(index);
        }
    }
    return grouping;
}

std::size_t DbfRecords::append(std::string_view record) {
    DbfWriter& out = writer();
    const std::size_t index = storedCount();
    if (out.recordCount() != index) {
        throw Error("The table " + tableName_ + " (" + file_.string() +
                    ") was changed by another program.");
    }
    out.writeRecord(index, record);
    records_ += record;
    liveCount_ += isDeleted(index) ? 0 : 1;
    grouping_.reset();
    return index;
}

void DbfRecords::replace(std::size_t index, std::string_view record) {
    writer().writeRecord(index, record);
    liveCount_ -= isDeleted(index) ? 0 : 1;
    records_.replace(index * header_.recordLength, header_.recordLength, record);
    liveCount_ += isDeleted(index) ? 0 : 1;
    grouping_.reset();
}

void DbfRecords::close() {
    if (writer_) {
        DbfWriter closing = std::move(*writer_);
        writer_.reset();
        closing.close();
    }
}

DbfWriter& DbfRecords::writer() {
    if (!writer_) {
        writer_ = DbfWriter::open(file_, tableName_, header_.headerLength, header_.recordLength);
    }
    return *writer_;
}

} // namespace velmora
