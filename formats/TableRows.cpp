#include "formats/TableRows.h"

#include "services/Error.h"
#include "services/dbf/DbfFieldCodec.h"
#include "services/dbf/DbfWriter.h"
#include "services/files/ExchangeFolder.h"
#include "services/text/Utf8.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace velmora {

namespace {

constexpr char kLive = ' ';
constexpr std::size_t kIntegerWidth = 11;
constexpr std::size_t kFloatWidth = 20;
constexpr int kFloatDecimals = 4;
constexpr std::size_t kBlockBytes = 256 * 1024;

NewDbfColumn columnOf(const FieldDef& field) {
    const std::string name(field.name);
    switch (field.type) {
    case FieldType::Text:
        return {name, 'C', field.width, 0};
    case FieldType::Boolean:
        return {name, 'L', 1, 0};
    case FieldType::Integer:
        return {name, 'N', static_cast<int>(kIntegerWidth), 0};
    case FieldType::Float:
        return {name, 'N', static_cast<int>(kFloatWidth), kFloatDecimals};
    }
    throw std::logic_error("unknown field type");
}

std::string_view trimmedRight(std::string_view bytes) {
    const auto end = bytes.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 1);
}

} // namespace

TableRows::TableRows(const TableLayout& layout)
    : layout_(layout), codePage_(CodePage::windows1252()) {
    for (const FieldDef& field : layout_.fields) {
        const NewDbfColumn column = columnOf(field);
        offsets_.push_back(recordLength_);
        widths_.push_back(static_cast<std::size_t>(column.width));
        recordLength_ += static_cast<std::size_t>(column.width);
    }
    recordsPerBlock_ = std::max<std::size_t>(1, kBlockBytes / recordLength_);
}

char* TableRows::recordBytes(std::size_t row) {
    return blocks_[row / recordsPerBlock_].data() + (row % recordsPerBlock_) * recordLength_;
}

const char* TableRows::recordBytes(std::size_t row) const {
    return blocks_[row / recordsPerBlock_].data() + (row % recordsPerBlock_) * recordLength_;
}

std::size_t TableRows::append() {
    if (count_ % recordsPerBlock_ == 0) {
        blocks_.emplace_back().reserve(recordsPerBlock_ * recordLength_);
    }
    std::string& block = blocks_.back();
    block.append(recordLength_, ' ');
    block[block.size() - recordLength_] = kLive;
    return count_++;
}

void TableRows::clear() {
    blocks_.clear();
    count_ = 0;
}

char* TableRows::fieldBytes(std::size_t row, std::size_t field, FieldType expected) {
    if (row >= count_ || field >= offsets_.size() || layout_.fields[field].type != expected) {
        throw std::logic_error("a value set on a field of another kind or a row not appended");
    }
    return recordBytes(row) + offsets_[field];
}

TableRows::Fitted TableRows::setText(std::size_t row, std::size_t field, std::string_view utf8) {
    char* bytes = fieldBytes(row, field, FieldType::Text);
    const std::size_t width = widths_[field];
    Fitted fitted;
    std::memset(bytes, ' ', width);
    if (utf8::isAscii(utf8)) {
        // Most of what a school writes is plain ASCII, the same bytes in the code page.
        std::memcpy(bytes, utf8.data(), std::min(utf8.size(), width));
        fitted.cut = utf8.size() > width;
    } else {
        const CodePage::Encoded encoded = codePage_.encode(utf8);
        std::memcpy(bytes, encoded.bytes.data(), std::min(encoded.bytes.size(), width));
        fitted.cut = encoded.bytes.size() > width;
        fitted.replaced = encoded.replaced;
    }
    if (fitted.cut || fitted.replaced) {
        fitted.stored = text(row, field);
        if (observer_) {
            observer_(row, field, utf8, fitted);
        }
    }
    return fitted;
}

void TableRows::setBoolean(std::size_t row, std::size_t field, bool value) {
    *fieldBytes(row, field, FieldType::Boolean) = value ? 'T' : 'F';
}

void TableRows::setFloat(std::size_t row, std::size_t field, double value) {
    char* bytes = fieldBytes(row, field, FieldType::Float);
    const auto digits = numberDigits(value, kFloatWidth, kFloatDecimals);
    if (!digits) {
        throw Error(ErrorKind::ValueDoesNotFit, {.table = std::string(layout_.name),
                                                 .field = std::string(layout_.fields[field].name),
                                                 .value = generalNumberText(value)});
    }
    std::memcpy(bytes, digits->data(), kFloatWidth);
}

std::string TableRows::text(std::size_t row, std::size_t field) const {
    const std::string_view bytes(recordBytes(row) + offsets_[field], widths_[field]);
    return codePage_.decode(trimmedRight(bytes));
}

void TableRows::writeTo(const std::filesystem::path& folder) const {
    std::vector<NewDbfColumn> columns;
    for (const FieldDef& field : layout_.fields) {
        columns.push_back(columnOf(field));
    }
    const std::string name(layout_.name);
    const std::vector<std::string_view> blocks(blocks_.begin(), blocks_.end());
    writeDbfTable(newTableFile(folder, name), name, columns, blocks);
}

} // namespace velmora
