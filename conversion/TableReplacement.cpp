#include "conversion/TableReplacement.h"

#include "services/Error.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/FileSystem.h"
#include "services/files/LockedFile.h"

namespace velmora {

namespace {

// A table's files: the table, its index, and the .cpg file that GIS programs leave beside a
// table to name its code page. Readers believe a .cpg over the table's header, so one left
// beside an old table would misread the new one, which is Windows-1252 as its header says: it
// goes with the table it described.
std::vector<std::string> oldFilesOf(const FolderListing& folder, const std::string& table) {
    std::vector<std::string> names;
    for (const char* extension : {".DBF", ".MDX", ".CPG"}) {
        for (const auto& file : folder.find(table + extension)) {
            names.push_back(pathToUtf8(file.filename()));
        }
    }
    return names;
}

// A table file found a moment ago and gone now is being replaced by another program, or by
// another run of Velmora: it is as good as held.
std::optional<LockedFile> lockIfStillThere(const std::filesystem::path& file) {
    try {
        return LockedFile::tryOpen(file, LockedFile::Lock::Exclusive);
    } catch (const Error& error) {
        if (error.kind() == ErrorKind::FileNotFound) {
            return std::nullopt;
        }
        throw;
    }
}

// Holding every old table file exclusively proves that no other program has one open, and
// keeps it so while the files are swapped.
std::vector<LockedFile> lockOldTables(const FolderListing& folder,
                                      const std::vector<std::string>& tables) {
    std::vector<LockedFile> locks;
    for (const auto& table : tables) {
        for (const auto& file : folder.find(table + ".DBF")) {
            auto lock = lockIfStillThere(file);
            if (!lock) {
                throw Error(ErrorKind::TableInUse, {.file = file, .table = table});
            }
            locks.push_back(std::move(*lock));
        }
    }
    return locks;
}

} // namespace

void requireTablesNotInUse(const std::filesystem::path& exchangeFolder,
                           const std::vector<std::string>& tables) {
    lockOldTables(FolderListing(exchangeFolder), tables);
}

void replaceTables(const std::filesystem::path& exchangeFolder,
                   const std::filesystem::path& workFolder, const std::vector<std::string>& tables,
                   const ReplacementHooks& hooks) {
    {
        const FolderListing oldFiles(exchangeFolder);
        const auto locks = lockOldTables(oldFiles, tables);
        std::vector<ReplacedFile> files;
        for (const auto& table : tables) {
            files.push_back({pathToUtf8(newTableFile(workFolder, table).filename()),
                             oldFilesOf(oldFiles, table)});
        }
        replaceTogether(exchangeFolder, workFolder, files, hooks);
    }
    // Windows removes no file while a handle holds it, and the old tables were held through the
    // swap: the swap folder and the journal they kept are tidied now that they are let go.
    // The new tables stand already; what cannot be tidied now is tidied by the next run.
    try {
        tidyExchangeFolder(exchangeFolder);
    } catch (const Error&) {
    }
}

} // namespace velmora
