#include "formats/TableRows.h"
#include "services/Error.h"
#include "services/dbf/DbfReader.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace velmora;
using namespace velmora::testing;

namespace {

using Lock = LockedFile::Lock;

class TableLock : public ::testing::Test {
protected:
    void SetUp() override {
        const std::array<FieldDef, 1> fields{{{"ABREV", FieldType::Text, 10}}};
        TableRows rows(TableLayout{"PROFT", fields});
        rows.setText(rows.append(), 0, "P1");
        rows.writeTo(dir.path());
    }

    // The kind of the error an open fails with, or "opened".
    std::string openOutcome(Lock lock) {
        try {
            DbfReader::open(file, lock, "PROFT");
        } catch (const Error& error) {
            EXPECT_EQ(error.details().table, "PROFT");
            EXPECT_EQ(error.details().file, file);
            return kindName(error.kind());
        }
        return "opened";
    }

    // What another process sees when it asks for the same kind of lock as ours, without
    // waiting.
    bool otherProcessCanLock(Lock lock) const {
        return anotherProcessCanLock(file, tableServiceLock(lock == Lock::Exclusive));
    }

    TempDir dir;
    std::filesystem::path file = dir / "PROFT.DBF";
};

} // namespace

TEST_F(TableLock, AnotherProgramHoldingTheTableStopsEveryOpen) {
    ForeignLock other(file);
    EXPECT_EQ(openOutcome(Lock::Shared), "table-in-use");
    EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
}

#ifndef _WIN32
// Programs running under a Windows compatibility layer lock files with record locks, which
// flock() does not see.
TEST_F(TableLock, ARecordLockOfAnotherKindOfProgramIsSeenToo) {
    {
        ForeignLock writer(file, ForeignLockKind::Record);
        EXPECT_EQ(openOutcome(Lock::Shared), "table-in-use");
        EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
    }
    {
        ForeignLock reader(file, ForeignLockKind::RecordShared);
        EXPECT_EQ(openOutcome(Lock::Shared), "opened");
        EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
    }
    EXPECT_EQ(openOutcome(Lock::Exclusive), "opened");
}
#endif

TEST_F(TableLock, ExclusiveOpenKeepsEveryOtherOpenOut) {
    std::optional<DbfReader> table = DbfReader::open(file, Lock::Exclusive, "PROFT");
    EXPECT_EQ(openOutcome(Lock::Shared), "table-in-use");
    EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
    EXPECT_FALSE(otherProcessCanLock(Lock::Shared));
    table.reset();
    EXPECT_EQ(openOutcome(Lock::Exclusive), "opened");
    EXPECT_TRUE(otherProcessCanLock(Lock::Exclusive));
}

TEST_F(TableLock, SharedOpensLetOtherReadersInButNoExclusiveOne) {
    DbfReader first = DbfReader::open(file, Lock::Shared, "PROFT");
    DbfReader second = DbfReader::open(file, Lock::Shared, "PROFT");
    EXPECT_TRUE(second.next());
    EXPECT_TRUE(otherProcessCanLock(Lock::Shared));
    EXPECT_FALSE(otherProcessCanLock(Lock::Exclusive));
    EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
}

TEST_F(TableLock, IsHeldWhileTheReaderLivesWhereverItIsMoved) {
    std::optional<DbfReader> table = DbfReader::open(file, Lock::Exclusive, "PROFT");
    {
        DbfReader moved = std::move(*table);
        table.reset();
        EXPECT_FALSE(otherProcessCanLock(Lock::Shared));
        EXPECT_TRUE(moved.next());
    }
    EXPECT_TRUE(otherProcessCanLock(Lock::Exclusive));
}

struct NotATableCase {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    ErrorKind kind;
};

class NotATable : public ::testing::TestWithParam<NotATableCase> {};

// Anything but a regular file is refused at once: a pipe in place of a table must not hang
// the run waiting for a writer.
TEST_P(NotATable, IsRefusedAtOnce) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    GetParam().make(file);
    EXPECT_TRUE(failsWith([&] { DbfReader::open(file, Lock::Exclusive, "SOLUC"); }, GetParam().kind,
                          {.file = file}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotATable,
    ::testing::Values(NotATableCase{"Missing", [](const std::filesystem::path&) {},
                                    ErrorKind::FileNotFound},
                      NotATableCase{"Folder",
                                    [](const std::filesystem::path& file) {
                                        std::filesystem::create_directory(file);
                                    },
                                    ErrorKind::NotARegularFile}
#ifndef _WIN32
                      ,
                      NotATableCase{"Pipe",
                                    [](const std::filesystem::path& file) {
                                        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
                                    },
                                    ErrorKind::NotARegularFile},
                      NotATableCase{"LinkToAPipe",
                                    [](const std::filesystem::path& file) {
                                        const auto pipe = file.parent_path() / "pipe";
                                        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
                                        std::filesystem::create_symlink(pipe, file);
                                    },
                                    ErrorKind::NotARegularFile},
                      NotATableCase{"Device",
                                    [](const std::filesystem::path& file) {
                                        std::filesystem::create_symlink("/dev/zero", file);
                                    },
                                    ErrorKind::NotARegularFile}
#endif
                      ),
    [](const auto& info) { return std::string(info.param.name); });
