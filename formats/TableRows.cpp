#include "formats/TableRows.h"

#include "services/Error.h"
#include "services/dbf/DbfFieldCodec.h"
#include "services/dbf/DbfWriter.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/NativeFiles.h"
#include "services/text/Utf8.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

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

// The blocks of rows that went to disk: blocks_[0, blocks) are in the file, their strings
// emptied; the one read back last is kept.
struct TableRows::Spill {
    std::filesystem::path file;
    native::File handle;
    std::size_t blocksInMemory = 0;
    std::size_t blocks = 0;
    std::string cache;
    std::size_t cached = SIZE_MAX;

    ~Spill() {
        handle.close();
        native::removeFile(file);
    }

    [[noreturn]] void fail(const std::string& table, std::error_code why) const {
        throw Error(ErrorKind::TableNotWritten, {.file = file, .table = table, .system = why});
    }
};

TableRows::~TableRows() = default;
TableRows::TableRows(TableRows&&) noexcept = default;
TableRows& TableRows::operator=(TableRows&&) noexcept = default;

TableRows::TableRows(const TableLayout& layout, std::uint64_t maxBytes)
    : layout_(layout), maxBytes_(maxBytes), codePage_(CodePage::windows1252()) {
    for (const FieldDef& field : layout_.fields) {
        const NewDbfColumn column = columnOf(field);
        offsets_.push_back(recordLength_);
        widths_.push_back(static_cast<std::size_t>(column.width));
        recordLength_ += static_cast<std::size_t>(column.width);
    }
    recordsPerBlock_ = std::max<std::size_t>(1, kBlockBytes / recordLength_);
}

char* TableRows::recordBytes(std::size_t row) {
    if (spill_ && row / recordsPerBlock_ < spill_->blocks) {
        throw std::logic_error("a row that went to disk cannot be changed");
    }
    return blocks_[row / recordsPerBlock_].data() + (row % recordsPerBlock_) * recordLength_;
}

const char* TableRows::recordBytes(std::size_t row) const {
    return block(row / recordsPerBlock_).data() + (row % recordsPerBlock_) * recordLength_;
}

std::string_view TableRows::block(std::size_t index) const {
    if (!spill_ || index >= spill_->blocks) {
        return blocks_[index];
    }
    Spill& spill = *spill_;
    if (spill.cached != index) {
        const std::size_t bytes = recordsPerBlock_ * recordLength_;
        spill.cached = SIZE_MAX;
        spill.cache.resize(bytes);
        if (const std::error_code error = spill.handle.seek(index * bytes)) {
            spill.fail(std::string(layout_.name), error);
        }
        for (std::size_t done = 0; done < bytes;) {
            std::size_t got = 0;
            const std::error_code error =
                spill.handle.read(spill.cache.data() + done, bytes - done, got);
            if (error || got == 0) {
                spill.fail(std::string(layout_.name),
                           error ? error : std::make_error_code(std::errc::io_error));
            }
            done += got;
        }
        spill.cached = index;
    }
    return spill.cache;
}

void TableRows::keepRowsOnDiskIn(const std::filesystem::path& folder, std::size_t blocksInMemory) {
    auto spill = std::make_unique<Spill>();
    spill->file = folder / (std::string(layout_.name) + ".rows");
    spill->blocksInMemory = std::max<std::size_t>(1, blocksInMemory);
    native::OpenOptions options;
    options.write = true;
    options.creation = native::Creation::NewOrTruncated;
    options.followLink = false;
    std::error_code error;
    spill->handle = native::File::open(spill->file, options, error);
    if (error) {
        spill->fail(std::string(layout_.name), error);
    }
    spill_ = std::move(spill);
    spillOldBlocks();
}

// Every block but the last few is full: those go to the file, each at its place.
void TableRows::spillOldBlocks() {
    if (!spill_) {
        return;
    }
    Spill& spill = *spill_;
    const std::size_t bytes = recordsPerBlock_ * recordLength_;
    while (blocks_.size() > spill.blocks + spill.blocksInMemory) {
        std::string& old = blocks_[spill.blocks];
        std::error_code error = spill.handle.seek(spill.blocks * bytes);
        if (!error) {
            error = spill.handle.write(old);
        }
        if (error) {
            spill.fail(std::string(layout_.name), error);
        }
        std::string().swap(old);
        ++spill.blocks;
    }
}

std::size_t TableRows::append() {
    if ((count_ + 1) * recordLength_ > maxBytes_) {
        throw Error(ErrorKind::TableWouldBeTooLarge,
                    {.table = std::string(layout_.name), .limit = maxBytes_});
    }
    if (count_ % recordsPerBlock_ == 0) {
        blocks_.emplace_back().reserve(recordsPerBlock_ * recordLength_);
        spillOldBlocks();
    }
    std::string& block = blocks_.back();
    block.append(recordLength_, ' ');
    block[block.size() - recordLength_] = kLive;
    return count_++;
}

void TableRows::clear() {
    blocks_.clear();
    count_ = 0;
    if (spill_) {
        spill_->blocks = 0;
        spill_->cached = SIZE_MAX;
    }
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
        // An empty view may hold no pointer at all, which memcpy must not be given.
        std::copy_n(utf8.data(), std::min(utf8.size(), width), bytes);
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
    class Blocks final : public RecordBlocks {
    public:
        explicit Blocks(const TableRows& rows) : rows_(rows) {}
        std::size_t count() const override { return rows_.blocks_.size(); }
        std::string_view block(std::size_t index) const override { return rows_.block(index); }

    private:
        const TableRows& rows_;
    };
    const std::string name(layout_.name);
    writeDbfTable(newTableFile(folder, name), name, columns, Blocks(*this));
}

} // namespace velmora
