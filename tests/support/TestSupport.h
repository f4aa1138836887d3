#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velmora::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

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

// Every record of a table as read back through the table service, field name to text.
using Row = std::map<std::string, std::string>;
std::vector<Row> readRows(const std::filesystem::path& tableFile);

// Holds an exclusive OS lock on a file, as another program holding the table open would.
class ForeignLock {
public:
    explicit ForeignLock(const std::filesystem::path& file);
    ~ForeignLock();
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

private:
    int fd_ = -1;
};

// What a run of velmora-cli gave: exit status, standard output and standard error.
struct CliOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

// text quoted for the POSIX shell.
std::string shellQuoted(const std::string& text);

// Runs velmora-cli with these arguments (environment: "NAME=value ..." put before the command),
// its output caught in files of folder.
CliOutcome runCli(const TempDir& folder, const std::vector<std::string>& arguments,
                  const std::string& environment = "");

// Every record of a .DBF as an independent reader (Debian's python3-dbfread) gives it: one line
// per record, the Python repr of its values separated by '|'.
std::string readWithDbfread(const std::filesystem::path& file);

// The example document shipped with the program.
std::filesystem::path exampleDocument();

} // namespace velmora::testing
