#pragma once

#include "conversion/Builders.h"
#include "services/Error.h"
#include "services/dbf/DbfReader.h"
#include "services/xml/XmlDocument.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::testing {

// The table builders never ask for time frames; a call is a fault of the builder.
class FramesNeverAsked : public FrameChooser {
public:
    std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
        ADD_FAILURE() << "a table builder asked for the time frames";
        throw std::logic_error("no time frames in this test");
    }
};

// An inline Sauce document read into a conversion context, for running builders one at a time
// and reading their tables back as the run would write them.
class BuilderRun {
public:
    explicit BuilderRun(const std::vector<SauceSection>& sections)
        : sections_(ServiceSections::parse(sauceXml(sections), "sauce.xml")),
          context(sections_, folder_ / "sauce.xml", frames_) {}

    // The tables as the builders made them so far, written into the run's folder.
    std::filesystem::path table(const std::string& name) const {
        context.tables.writeTo(folder_.path());
        return folder_ / (name + ".DBF");
    }
    std::vector<Row> rows(const std::string& name) const { return readRows(table(name)); }

private:
    TempDir folder_;
    FramesNeverAsked frames_;
    ServiceSections sections_;

public:
    ConversionContext context;
};

// One field of every row, in stored order.
inline std::vector<std::string> column(const std::vector<Row>& rows, const std::string& field) {
    std::vector<std::string> values;
    for (const Row& row : rows) {
        values.push_back(row.at(field));
    }
    return values;
}

// The rows with only the named fields, to compare with a case's expected rows.
inline std::vector<Row> project(const std::vector<Row>& rows,
                                const std::vector<std::string>& fields) {
    std::vector<Row> projected;
    for (const Row& row : rows) {
        Row kept;
        for (const std::string& field : fields) {
            kept[field] = row.at(field);
        }
        projected.push_back(std::move(kept));
    }
    return projected;
}

// A Boolean or Float field of every row, read through the table reader in stored order. A
// Boolean reads as the text True or False; one left empty fails the test.
inline std::vector<bool> booleanColumn(const std::filesystem::path& file,
                                       const std::string& field) {
    DbfReader table = DbfReader::open(file, LockedFile::Lock::Shared, file.stem().string());
    const std::size_t column = table.column(field);
    std::vector<bool> values;
    while (const auto record = table.next()) {
        const std::string text = record->text(column);
        EXPECT_TRUE(text == "True" || text == "False") << field << " reads \"" << text << "\"";
        values.push_back(text == "True");
    }
    return values;
}

inline std::vector<double> floatColumn(const std::filesystem::path& file,
                                       const std::string& field) {
    DbfReader table = DbfReader::open(file, LockedFile::Lock::Shared, file.stem().string());
    const std::size_t column = table.column(field);
    std::vector<double> values;
    while (const auto record = table.next()) {
        values.push_back(record->number(column));
    }
    return values;
}

// Test names from a case table: letters and digits only.
inline std::string caseName(const std::string& description) {
    std::string name;
    for (char c : description) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            name += c;
        }
    }
    return name;
}

} // namespace velmora::testing
