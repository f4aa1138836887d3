#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// Moves the freshly built tables NAME.DBF of `staging` into `exchangeFolder`, replacing each
// table's old files (NAME.DBF and its index NAME.MDX, whatever the letter case of their names)
// — all of them or none: if anything fails, every file that was moved is put back and the
// exchange folder is left as it was. A table that another program holds open stops the
// replacement before anything is moved.
// Throws the same error as replaceTables when another program holds one of the tables, so
// that a conversion can say so before it asks the user anything.
void requireTablesNotInUse(const std::filesystem::path& exchangeFolder,
                           const std::vector<std::string>& tables);

void replaceTables(const std::filesystem::path& exchangeFolder,
                   const std::filesystem::path& staging, const std::vector<std::string>& tables);

} // namespace velmora
