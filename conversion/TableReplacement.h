#pragma once

#include "services/files/FileReplacement.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// Throws the error that replaceTables would throw when another program holds one of the
// tables, so that a conversion can say so before it asks the user anything.
void requireTablesNotInUse(const std::filesystem::path& exchangeFolder,
                           const std::vector<std::string>& tables);

// Moves the freshly built tables NAME.DBF of the work folder into the exchange folder,
// replacing each table's old files (NAME.DBF, its index NAME.MDX and its code-page file
// NAME.CPG, whatever the letter case of their names) all together or not at all, across a crash
// too. A table that another program
// holds open stops the replacement before anything is moved; the old tables stay locked until
// the replacement is over.
void replaceTables(const std::filesystem::path& exchangeFolder,
                   const std::filesystem::path& workFolder, const std::vector<std::string>& tables,
                   const ReplacementHooks& hooks = {});

} // namespace velmora
