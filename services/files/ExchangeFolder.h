#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The folder where the timetable program keeps its tables: /HTEMP (\HTEMP on the current
// drive on Windows), or the folder named by VELMORA_EXCHANGE_DIR when that is set.
std::filesystem::path defaultExchangeFolder();

// Throws an Error telling the user what to do when folder is missing or is not a folder.
void requireExchangeFolder(const std::filesystem::path& folder);

// The file of a table (name without extension, e.g. "SOLUC") in a folder, whatever the letter
// case of its name on disk (SOLUC.DBF, soluc.dbf); nothing when there is none.
std::optional<std::filesystem::path> findTableFile(const std::filesystem::path& folder,
                                                   const std::string& table);

// Every file in folder whose name equals fileName without regard to ASCII letter case.
std::vector<std::filesystem::path> findFilesIgnoringCase(const std::filesystem::path& folder,
                                                         const std::string& fileName);

// A folder's entries as they were listed once, found by name without regard to ASCII letter
// case: for looking up many names without reading the folder again for each.
class FolderListing {
public:
    explicit FolderListing(const std::filesystem::path& folder);
    std::vector<std::filesystem::path> find(const std::string& fileName) const;

private:
    std::multimap<std::string, std::filesystem::path> byUpperName_;
};

// The path a new table gets: upper-case NAME.DBF in folder.
std::filesystem::path newTableFile(const std::filesystem::path& folder, const std::string& table);

} // namespace velmora
