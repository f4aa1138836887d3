#pragma once

#include "services/DbfFieldCodec.h"
#include "services/DbfHeaderCheck.h"
#include "services/DbfWriter.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

// The records of one open .DBF file: read once, whole, when the table opens (after its header
// has been checked), kept in memory for walks and look-ups, and written through to the file
// record by record.
class DbfRecords {
public:
    // bytes: the whole file. Throws an Error naming the file when it is damaged.
    DbfRecords(std::filesystem::path file, std::string tableName, const std::string& bytes);

    const std::string& tableName() const { return tableName_; }
    const std::vector<DbfColumn>& columns() const { return header_.columns; }

    // The column of a field, its name compared without regard to letter case.
    std::size_t column(const std::string& fieldName) const;
    FieldContext field(std::size_t column) const;
    std::string_view fieldBytes(std::string_view record, std::size_t column) const;

    std::size_t storedCount() const { return records_.size() / header_.recordLength; }
    std::size_t liveCount() const { return liveCount_; }
    bool isDeleted(std::size_t index) const;
    std::string_view record(std::size_t index) const;
    std::string blankRecord() const;

    // The live records whose field reads back as exactly `text`, in stored order. Tables are
    // filtered once per key on the same field, so the records are grouped by that field's text
    // once and again only after a change.
    const std::vector<std::size_t>& recordsReading(std::size_t column,
                                                   const std::string& text) const;

    // Writes to the file, then to memory. append gives the new record's stored index.
    std::size_t append(std::string_view record);
    void replace(std::size_t index, std::string_view record);

    // Closes the file's writer, if any record was written, reporting a failed write.
    void close();

private:
    struct Grouping {
        std::size_t column;
        std::unordered_map<std::string, std::vector<std::size_t>> records;
    };

    DbfWriter& writer();
    Grouping groupByText(std::size_t column) const;

    std::filesystem::path file_;
    std::string tableName_;
    DbfHeader header_;
    std::string records_; // every stored record, deleted ones included, back to back
    std::size_t liveCount_ = 0;
    std::unordered_map<std::string, std::size_t> columnsByName_; // by upper-case name
    std::optional<DbfWriter> writer_;
    mutable std::optional<Grouping> grouping_;
    const std::vector<std::size_t> noRecords_;
};

} // namespace velmora
