#include "services/Error.h"
#include "services/Table.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmora;
using namespace velmora::testing;

namespace {

class TableLock : public ::testing::Test {
protected:
    void SetUp() override {
        Table::create(file, {{"ABREV", FieldType::Text, 10}});
        Table table = Table::open(file, OpenMode::Shared);
        table.append();
        table.writeText("ABREV", "P1");
        table.post();
    }

    std::string openError(OpenMode mode) {
        try {
            Table::open(file, mode);
        } catch (const Error& error) {
            return error.what();
        }
        return "(opened)";
    }

    std::string inUseMessage() const {
        return "The table PROFT (" + file.string() +
               ") is in use by another program. Close Horadia and try again.";
    }

    // What another process sees when it asks for the same kind of lock without waiting.
    bool otherProcessCanLock(const char* kind) const {
        return anotherProcessCanLock(file, tableServiceLock(std::string(kind) == "--exclusive"));
    }

    TempDir dir;
    std::filesystem::path file = dir / "PROFT.DBF";
};

TEST_F(TableLock, AnotherProgramHoldingTheTableStopsEveryOpen) {
    ForeignLock other(file);
    EXPECT_EQ(openError(OpenMode::Shared), inUseMessage());
    EXPECT_EQ(openError(OpenMode::Exclusive), inUseMessage());
}

TEST_F(TableLock, ExclusiveOpenKeepsEveryOtherOpenOut) {
    Table table = Table::open(file, OpenMode::Exclusive);
    EXPECT_EQ(openError(OpenMode::Shared), inUseMessage());
    EXPECT_EQ(openError(OpenMode::Exclusive), inUseMessage());
    EXPECT_FALSE(otherProcessCanLock("--shared"));
    table.close();
    EXPECT_EQ(openError(OpenMode::Exclusive), "(opened)");
    EXPECT_TRUE(otherProcessCanLock("--exclusive"));
}

TEST_F(TableLock, SharedOpensLetOtherReadersInButNoExclusiveOne) {
    Table first = Table::open(file, OpenMode::Shared);
    Table second = Table::open(file, OpenMode::Shared);
    EXPECT_EQ(second.recordCount(), 1);
    EXPECT_TRUE(otherProcessCanLock("--shared"));
    EXPECT_FALSE(otherProcessCanLock("--exclusive"));
    EXPECT_EQ(openError(OpenMode::Exclusive), inUseMessage());
}

TEST_F(TableLock, IsHeldAcrossWritesUntilTheTableCloses) {
    // shapelib opens and closes its own handles of the file while the table writes.
    Table table = Table::open(file, OpenMode::Exclusive);
    table.append();
    table.writeText("ABREV", "P2");
    table.post();
    table.first();
    table.edit();
    table.writeText("ABREV", "P0");
    table.post();
    EXPECT_FALSE(otherProcessCanLock("--shared"));
    {
        Table moved = std::move(table);
        EXPECT_FALSE(otherProcessCanLock("--shared"));
    }
    EXPECT_TRUE(otherProcessCanLock("--exclusive"));
}

TEST_F(TableLock, ATableInUseIsNotReplaced) {
    const std::string before = readFile(file);
    {
        ForeignLock other(file);
        try {
            Table::create(file, {{"OTHER", FieldType::Text, 3}});
            FAIL() << "replaced";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), inUseMessage());
        }
    }
    EXPECT_EQ(readFile(file), before);
    Table::create(file, {{"OTHER", FieldType::Text, 3}});
    EXPECT_EQ(Table::open(file, OpenMode::Shared).recordCount(), 0);
}

TEST_F(TableLock, AMissingTableIsNamed) {
    const auto missing = dir / "SOLUC.DBF";
    try {
        Table::open(missing, OpenMode::Exclusive);
        FAIL() << "opened";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("SOLUC"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find(missing.string()), std::string::npos);
    }
}

TEST_F(TableLock, CreatingInAMissingFolderFailsNamingTheTable) {
    try {
        Table::create(dir / "NOFOLDER" / "AULAT.DBF", {{"ABREV", FieldType::Text, 10}});
        FAIL() << "created";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("AULAT"), std::string::npos) << error.what();
    }
}

} // namespace
