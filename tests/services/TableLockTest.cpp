#include "formats/TableRows.h"
#include "services/DbfReader.h"
#include "services/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

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

    // What another process sees when it asks for the same kind of lock without waiting.
    bool otherProcessCanLock(const char* kind) const {
        const std::string command =
            std::string("/usr/bin/flock --nonblock ") + kind + " '" + file.string() + "' true";
        return std::system(command.c_str()) == 0;
    }

    TempDir dir;
    std::filesystem::path file = dir / "PROFT.DBF";
};

// A record lock on the whole file held by another process, as lockf() and fcntl() take them
// (programs running under a Windows compatibility layer lock files so); released when the
// object goes.
class RecordLockHolder {
public:
    RecordLockHolder(const std::filesystem::path& file, short type) {
        int ready[2];
        if (::pipe(ready) != 0) {
            throw std::runtime_error("no pipe");
        }
        child_ = ::fork();
        if (child_ == 0) {
            const int fd = ::open(file.c_str(), type == F_WRLCK ? O_RDWR : O_RDONLY);
            struct flock region {};
            region.l_type = type;
            region.l_whence = SEEK_SET;
            const bool locked = fd >= 0 && ::fcntl(fd, F_SETLK, &region) == 0;
            const char answer = locked ? 'y' : 'n';
            (void)::write(ready[1], &answer, 1);
            ::pause();
            ::_exit(0);
        }
        char answer = 'n';
        (void)::read(ready[0], &answer, 1);
        ::close(ready[0]);
        ::close(ready[1]);
        if (answer != 'y') {
            throw std::runtime_error("the other process could not lock the file");
        }
    }
    ~RecordLockHolder() {
        ::kill(child_, SIGKILL);
        ::waitpid(child_, nullptr, 0);
    }

private:
    pid_t child_ = -1;
};

} // namespace

TEST_F(TableLock, AnotherProgramHoldingTheTableStopsEveryOpen) {
    ForeignLock other(file);
    EXPECT_EQ(openOutcome(Lock::Shared), "table-in-use");
    EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
}

TEST_F(TableLock, ARecordLockOfAnotherKindOfProgramIsSeenToo) {
    {
        RecordLockHolder writer(file, F_WRLCK);
        EXPECT_EQ(openOutcome(Lock::Shared), "table-in-use");
        EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
    }
    {
        RecordLockHolder reader(file, F_RDLCK);
        EXPECT_EQ(openOutcome(Lock::Shared), "opened");
        EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
    }
    EXPECT_EQ(openOutcome(Lock::Exclusive), "opened");
}

TEST_F(TableLock, ExclusiveOpenKeepsEveryOtherOpenOut) {
    std::optional<DbfReader> table = DbfReader::open(file, Lock::Exclusive, "PROFT");
    EXPECT_EQ(openOutcome(Lock::Shared), "table-in-use");
    EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
    EXPECT_FALSE(otherProcessCanLock("--shared"));
    table.reset();
    EXPECT_EQ(openOutcome(Lock::Exclusive), "opened");
    EXPECT_TRUE(otherProcessCanLock("--exclusive"));
}

TEST_F(TableLock, SharedOpensLetOtherReadersInButNoExclusiveOne) {
    DbfReader first = DbfReader::open(file, Lock::Shared, "PROFT");
    DbfReader second = DbfReader::open(file, Lock::Shared, "PROFT");
    EXPECT_TRUE(second.next());
    EXPECT_TRUE(otherProcessCanLock("--shared"));
    EXPECT_FALSE(otherProcessCanLock("--exclusive"));
    EXPECT_EQ(openOutcome(Lock::Exclusive), "table-in-use");
}

TEST_F(TableLock, IsHeldWhileTheReaderLivesWhereverItIsMoved) {
    std::optional<DbfReader> table = DbfReader::open(file, Lock::Exclusive, "PROFT");
    {
        DbfReader moved = std::move(*table);
        table.reset();
        EXPECT_FALSE(otherProcessCanLock("--shared"));
    }
    EXPECT_TRUE(otherProcessCanLock("--exclusive"));
}

struct NotATableCase {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    const char* kind;
};

class NotATable : public ::testing::TestWithParam<NotATableCase> {};

// Anything but a regular file is refused at once: a pipe in place of a table must not hang
// the run waiting for a writer.
TEST_P(NotATable, IsRefusedAtOnce) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    GetParam().make(file);
    try {
        DbfReader::open(file, Lock::Exclusive, "SOLUC");
        FAIL() << "opened";
    } catch (const Error& error) {
        EXPECT_STREQ(kindName(error.kind()), GetParam().kind);
        EXPECT_EQ(error.details().file, file);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotATable,
    ::testing::Values(NotATableCase{"Missing", [](const std::filesystem::path&) {},
                                    "file-not-found"},
                      NotATableCase{"Folder",
                                    [](const std::filesystem::path& file) {
                                        std::filesystem::create_directory(file);
                                    },
                                    "not-a-regular-file"},
                      NotATableCase{"Pipe",
                                    [](const std::filesystem::path& file) {
                                        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
                                    },
                                    "not-a-regular-file"},
                      NotATableCase{"LinkToAPipe",
                                    [](const std::filesystem::path& file) {
                                        const auto pipe = file.parent_path() / "pipe";
                                        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
                                        std::filesystem::create_symlink(pipe, file);
                                    },
                                    "not-a-regular-file"},
                      NotATableCase{"Device",
                                    [](const std::filesystem::path& file) {
                                        std::filesystem::create_symlink("/dev/zero", file);
                                    },
                                    "not-a-regular-file"}),
    [](const auto& info) { return std::string(info.param.name); });
