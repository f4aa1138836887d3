#include "conversion/TableReplacement.h"

#include "services/Error.h"
#include "services/ExchangeFolder.h"
#include "services/LockedFile.h"

#include <utility>

namespace velmora {

namespace {

// The renames done so far, so that they can be undone in reverse order.
class RenameJournal {
public:
    void rename(const std::filesystem::path& from, const std::filesystem::path& to) {
        std::error_code error;
        std::filesystem::rename(from, to, error);
        if (error) {
            throw Error(ErrorKind::ReplacementFailed, {.file = to.parent_path(), .system = error});
        }
        done_.emplace_back(from, to);
    }

    void undo() noexcept {
        for (auto it = done_.rbegin(); it != done_.rend(); ++it) {
            std::error_code ignored;
            std::filesystem::rename(it->second, it->first, ignored);
        }
        done_.clear();
    }

private:
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> done_;
};

std::vector<std::filesystem::path> oldFilesOf(const std::filesystem::path& folder,
                                              const std::string& table) {
    auto files = findFilesIgnoringCase(folder, table + ".DBF");
    for (auto& index : findFilesIgnoringCase(folder, table + ".MDX")) {
        files.push_back(std::move(index));
    }
    return files;
}

// Holding every old table file exclusively proves that no other program has one open, and
// keeps it so while the files are swapped.
std::vector<LockedFile> lockOldTables(const std::filesystem::path& folder,
                                      const std::vector<std::string>& tables) {
    std::vector<LockedFile> locks;
    for (const auto& table : tables) {
        for (const auto& file : findFilesIgnoringCase(folder, table + ".DBF")) {
            auto lock = LockedFile::tryOpen(file, LockedFile::Lock::Exclusive);
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
    lockOldTables(exchangeFolder, tables);
}

void replaceTables(const std::filesystem::path& exchangeFolder,
                   const std::filesystem::path& staging, const std::vector<std::string>& tables) {
    const auto locks = lockOldTables(exchangeFolder, tables);
    const auto backup = staging / "replaced";
    std::filesystem::create_directory(backup);

    RenameJournal journal;
    try {
        for (const auto& table : tables) {
            for (const auto& old : oldFilesOf(exchangeFolder, table)) {
                journal.rename(old, backup / old.filename());
            }
            journal.rename(newTableFile(staging, table), newTableFile(exchangeFolder, table));
        }
    } catch (...) {
        journal.undo();
        throw;
    }
}

} // namespace velmora
