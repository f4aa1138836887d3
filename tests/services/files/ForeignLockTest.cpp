#include "services/Error.h"
#include "services/files/LockedFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// The locks a second process holds for the tests (tests/support/LockHolder.cpp), and how the
// table service meets them. Each platform has its own kinds.
namespace velmora::testing {
namespace {

using Kind = ForeignLockKind;

struct ConflictCase {
    std::string name;
    Kind held;
    Kind asked;
    bool keptOut;
};

void PrintTo(const ConflictCase& c, std::ostream* os) {
    *os << c.name;
}

class ForeignLockConflicts : public ::testing::TestWithParam<ConflictCase> {};

TEST_P(ForeignLockConflicts, holdUntilReleased) {
    const ConflictCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "PROFT.DBF";
    writeFile(file, "a table");
    {
        const ForeignLock held(file, c.held);
        EXPECT_EQ(anotherProcessCanLock(file, c.asked), !c.keptOut);
    }
    EXPECT_TRUE(anotherProcessCanLock(file, c.asked)) << "still held after release";
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(
    Windows, ForeignLockConflicts,
    ::testing::Values(
        ConflictCase{"SoleOpenKeepsReadersOut", Kind::ShareNone, Kind::ShareRead, true},
        ConflictCase{"SoleOpenKeepsLockersOut", Kind::ShareNone, Kind::LockFileShared, true},
        ConflictCase{"ReadersLetReadersIn", Kind::ShareRead, Kind::ShareRead, false},
        ConflictCase{"ReadersKeepASoleOpenOut", Kind::ShareRead, Kind::ShareNone, true},
        ConflictCase{"ExclusiveLockKeepsSharedOut", Kind::LockFileExclusive, Kind::LockFileShared,
                     true},
        ConflictCase{"SharedLocksGoTogether", Kind::LockFileShared, Kind::LockFileShared, false},
        ConflictCase{"SharedLockKeepsExclusiveOut", Kind::LockFileShared, Kind::LockFileExclusive,
                     true}),
    [](const auto& info) { return info.param.name; });
#else
INSTANTIATE_TEST_SUITE_P(
    Linux, ForeignLockConflicts,
    ::testing::Values(
        ConflictCase{"ExclusiveKeepsSharedOut", Kind::FlockExclusive, Kind::FlockShared, true},
        ConflictCase{"SharedGoTogether", Kind::FlockShared, Kind::FlockShared, false},
        ConflictCase{"SharedKeepsExclusiveOut", Kind::FlockShared, Kind::FlockExclusive, true},
        ConflictCase{"RecordLocksConflict", Kind::Record, Kind::Record, true}),
    [](const auto& info) { return info.param.name; });
#endif

TEST(ForeignLock, OfAMissingFileFails) {
    TempDir dir;
    EXPECT_THROW(ForeignLock(dir / "NADA.DBF"), std::runtime_error);
}

// What the table service does while another program has the table: a program that only reads
// lets other readers in, but no one who would write or replace the table.
struct TableCase {
    std::string name;
    Kind held;
    bool sharedOpens;
    bool exclusiveOpens;
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.name;
}

class TableHeldElsewhere : public ::testing::TestWithParam<TableCase> {};

bool opens(const std::filesystem::path& file, LockedFile::Lock lock) {
    return LockedFile::tryOpen(file, lock).has_value();
}

TEST_P(TableHeldElsewhere, opensOnlyWhatTheOtherProgramAllows) {
    const TableCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "PROFT.DBF";
    writeFile(file, "a table");
    const ForeignLock held(file, c.held);
    EXPECT_EQ(opens(file, LockedFile::Lock::Shared), c.sharedOpens) << "opened to read";
    EXPECT_EQ(opens(file, LockedFile::Lock::Exclusive), c.exclusiveOpens) << "opened to write";
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Windows, TableHeldElsewhere,
                         ::testing::Values(TableCase{"SoleOpen", Kind::ShareNone, false, false},
                                           TableCase{"OpenForReading", Kind::ShareRead, true,
                                                     false}),
                         [](const auto& info) { return info.param.name; });
#else
INSTANTIATE_TEST_SUITE_P(
    Linux, TableHeldElsewhere,
    ::testing::Values(TableCase{"ExclusiveLock", Kind::FlockExclusive, false, false},
                      TableCase{"SharedLock", Kind::FlockShared, true, false},
                      TableCase{"RecordLock", Kind::Record, false, false},
                      TableCase{"RecordReadLock", Kind::RecordShared, true, false}),
    [](const auto& info) { return info.param.name; });
#endif

} // namespace
} // namespace velmora::testing
