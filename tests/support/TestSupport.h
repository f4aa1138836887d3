#pragma once

#include "services/files/FileSystem.h"
#include "support/ChildProcess.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velmora::testing {

// A fresh folder under the system's temporary folder (or under parent), removed with
// everything in it.
class TempDir {
public:
    explicit TempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const {
        return path_ / pathFromUtf8(name);
    }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& content);

// Sauce service document text, UTF-8, for fixtures:
//   sauceXml({{"MATERIAS", {{"M1", "Matemáticas", "MATES", "C1", "90"}}}})
// Each record is a list of salida values; a value "dato=NAME|text" gets a dato attribute.
using SauceRecordValues = std::vector<std::string>;
using SauceSection = std::pair<std::string, std::vector<SauceRecordValues>>;
std::string sauceXml(const std::vector<SauceSection>& sections);

// A school of one time frame with these teachers and rooms (each: key, name, short name) and
// the rest as small as a conversion takes: one subject, course, group and slot.
std::string smallSchoolXml(const std::vector<SauceRecordValues>& teachers,
                           const std::vector<SauceRecordValues>& rooms);

// Every record of a table as read back through the table service, field name to text.
using Row = std::map<std::string, std::string>;
std::vector<Row> readRows(const std::filesystem::path& tableFile);

// The locks another program can hold on a file. The flock and record kinds exist on Linux,
// the others on Windows: an open that shares nothing or only reading, and LockFileEx.
enum class ForeignLockKind {
    FlockShared,
    FlockExclusive,
    Record,
    RecordShared,
    ShareNone,
    ShareRead,
    LockFileShared,
    LockFileExclusive
};

// What the timetable program holds on a table it has open: an exclusive flock on Linux, an
// open that shares nothing on Windows.
ForeignLockKind heldByAnotherProgram();

// A lock of the kind the table service itself takes, shared or exclusive.
ForeignLockKind tableServiceLock(bool exclusive);

// A lock on a file held by a second process (tests/support/LockHolder.cpp) while the object
// lives; throws when that process cannot take it.
class ForeignLock {
public:
    explicit ForeignLock(const std::filesystem::path& file,
                         ForeignLockKind kind = heldByAnotherProgram());
    ~ForeignLock();
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

private:
    std::unique_ptr<ChildProcess> holder_;
};

// True when another process could take this lock on the file now; it lets it go at once.
bool anotherProcessCanLock(const std::filesystem::path& file, ForeignLockKind kind);

// What a run of velmora-cli gave: exit status, standard output and standard error.
struct CliOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Variables set for a child process, name and value (UTF-8).
using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs velmora-cli with these arguments (UTF-8, passed without a shell), started in folder,
// where its output is caught in files.
CliOutcome runCli(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                  const Environment& environment = {});
CliOutcome runCli(const TempDir& folder, const std::vector<std::string>& arguments,
                  const Environment& environment = {});

// The same with the test-only build of velmora-cli (tests/support/StoppingCli.cpp) that ends at
// once after the step of the replacement of the tables that VELMORA_STOP_AFTER_STEP names, with
// exit status 86, as a crash would end it.
CliOutcome runStoppingCli(const std::filesystem::path& folder,
                          const std::vector<std::string>& arguments,
                          const Environment& environment = {});

#ifndef _WIN32
// What loads the fault-injection library (tests/faults/FaultShim.cpp) into velmora-cli, with
// the variables that tell it which call to fail (VELMORA_FAULT_CALL, VELMORA_FAULT_AT) or where
// to write how many calls of each kind it saw (VELMORA_FAULT_COUNTS).
Environment withFaultLibrary(Environment environment);
#endif

// Every record of a .DBF as an independent reader (Debian's python3-dbfread) gives it: one line
// per record, the Python repr of its values separated by '|'. Tests that use it begin with
// VELMORA_SKIP_WITHOUT_DBFREAD().
std::string readWithDbfread(const std::filesystem::path& file);

#ifdef _WIN32
#define VELMORA_SKIP_WITHOUT_DBFREAD()                                                             \
    GTEST_SKIP() << "python3-dbfread, the independent reader of .DBF files, is a Debian "          \
                    "package and does not run on Windows; the Linux run of this test reads the "   \
                    "files with it"
#else
#define VELMORA_SKIP_WITHOUT_DBFREAD()
#endif

// The example document shipped with the program.
std::filesystem::path exampleDocument();

} // namespace velmora::testing
