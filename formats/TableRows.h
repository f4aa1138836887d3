#pragma once

#include "formats/TableLayout.h"
#include "services/dbf/DbfHeader.h"
#include "services/text/CodePage.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The rows of a table being built, held as the bytes the table file will hold, so that every
// value is fitted to its field once, when it is set, and reads back exactly as a reader of the
// written table would get it. The table is written whole, once.
class TableRows {
public:
    // maxBytes: how large the table may grow (kMaxTableBytes unless a test says less).
    explicit TableRows(const TableLayout& layout, std::uint64_t maxBytes = kMaxTableBytes);
    ~TableRows();
    TableRows(TableRows&&) noexcept;
    TableRows& operator=(TableRows&&) noexcept;

    const TableLayout& layout() const { return layout_; }
    std::size_t size() const { return count_; }

    // A new row with every field empty; its index. A row that would make the table larger than
    // it may grow is an Error (TableWouldBeTooLarge).
    std::size_t append();

    // Text is fitted to the field: turned into Windows-1252 (a character the code page lacks
    // becomes its base letter, or '?') and cut to the field's width.
    struct Fitted {
        bool cut = false;
        bool replaced = false;
        std::string stored; // what a reader of the table gets back
    };
    Fitted setText(std::size_t row, std::size_t field, std::string_view utf8);
    void setBoolean(std::size_t row, std::size_t field, bool value);
    // A number too wide for its field is an Error (ValueDoesNotFit).
    void setFloat(std::size_t row, std::size_t field, double value);

    // The field as a reader of the written table gets it: text without trailing blanks.
    std::string text(std::size_t row, std::size_t field) const;

    // Told of every text that was cut or had characters replaced when it was set.
    using FitObserver = std::function<void(std::size_t row, std::size_t field,
                                           std::string_view value, const Fitted& fitted)>;
    void observeFits(FitObserver observer) { observer_ = std::move(observer); }

    // No rows any more; the observer stays.
    void clear();

    // From now on only the last few blocks of rows stay in memory: older ones go to a file in
    // `folder` (NAME.rows, removed with the object) and are read back from it when asked for,
    // so that a table of any size costs a few MB. A row that went there can be read and copied,
    // no longer changed. blocksInMemory: how many blocks of 256 KiB stay.
    void keepRowsOnDiskIn(const std::filesystem::path& folder, std::size_t blocksInMemory = 16);

    // Writes NAME.DBF into folder, replacing any file of that name.
    void writeTo(const std::filesystem::path& folder) const;

private:
    struct Spill;
    char* fieldBytes(std::size_t row, std::size_t field, FieldType expected);
    char* recordBytes(std::size_t row);
    const char* recordBytes(std::size_t row) const;
    // A block's records, from memory or from the spill file.
    std::string_view block(std::size_t index) const;
    void spillOldBlocks();

    TableLayout layout_;
    std::uint64_t maxBytes_;
    CodePage codePage_;
    std::vector<std::size_t> offsets_; // of each field in a record, after the deletion flag
    std::vector<std::size_t> widths_;
    std::size_t recordLength_ = 1;
    // The records back to back in blocks of a fixed number of records, so that a growing
    // table never moves what it holds.
    std::vector<std::string> blocks_;
    std::size_t recordsPerBlock_ = 1;
    std::size_t count_ = 0;
    FitObserver observer_;
    std::unique_ptr<Spill> spill_; // none while every row is in memory
};

// The rows of one exchange table, with its fields checked at compile time.
template <typename Table> class NewTable {
public:
    class Row {
    public:
        Row(TableRows& rows, std::size_t index) : rows_(&rows), index_(index) {}
        TableRows::Fitted setText(Field<Table> field, std::string_view utf8) {
            return rows_->setText(index_, field.index, utf8);
        }
        void setBoolean(Field<Table> field, bool value) {
            rows_->setBoolean(index_, field.index, value);
        }
        void setFloat(Field<Table> field, double value) {
            rows_->setFloat(index_, field.index, value);
        }
        std::string text(Field<Table> field) const { return rows_->text(index_, field.index); }

    private:
        TableRows* rows_;
        std::size_t index_;
    };

    Row append() { return Row(rows_, rows_.append()); }
    void clear() { rows_.clear(); }
    void observeFits(TableRows::FitObserver observer) { rows_.observeFits(std::move(observer)); }
    Row row(std::size_t index) { return Row(rows_, index); }
    std::size_t size() const { return rows_.size(); }
    std::string text(std::size_t index, Field<Table> field) const {
        return rows_.text(index, field.index);
    }
    void writeTo(const std::filesystem::path& folder) const { rows_.writeTo(folder); }
    void keepRowsOnDiskIn(const std::filesystem::path& folder) { rows_.keepRowsOnDiskIn(folder); }

private:
    TableRows rows_{Table::layout};
};

} // namespace velmora
