#include "services/files/ExchangeFolder.h"

#include "services/Error.h"
#include "services/files/FileSystem.h"
#include "services/files/NativeFiles.h"
#include "services/text/Text.h"

#include <cstdlib>

namespace velmora {

std::filesystem::path defaultExchangeFolder() {
    if (const char* configured = std::getenv("VELMORA_EXCHANGE_DIR");
        configured != nullptr && *configured != '\0') {
        return configured;
    }
    // The root of the current drive, as the timetable program expects it.
    return native::currentRoot() / "HTEMP";
}

void requireExchangeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        return;
    }
    if (std::filesystem::exists(folder, error)) {
        throw Error(ErrorKind::ExchangeFolderIsFile, {.file = folder});
    }
    throw Error(ErrorKind::ExchangeFolderMissing, {.file = folder});
}

std::vector<std::filesystem::path> findFilesIgnoringCase(const std::filesystem::path& folder,
                                                         const std::string& fileName) {
    return FolderListing(folder).find(fileName);
}

FolderListing::FolderListing(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        byUpperName_.emplace(text::asciiUpper(pathToUtf8(it->path().filename())), it->path());
    }
}

std::vector<std::filesystem::path> FolderListing::find(const std::string& fileName) const {
    std::vector<std::filesystem::path> found;
    const auto [first, last] = byUpperName_.equal_range(text::asciiUpper(fileName));
    for (auto it = first; it != last; ++it) {
        found.push_back(it->second);
    }
    return found;
}

std::optional<std::filesystem::path> findTableFile(const std::filesystem::path& folder,
                                                   const std::string& table) {
    const std::filesystem::path exact = newTableFile(folder, table);
    std::error_code error;
    if (std::filesystem::is_regular_file(exact, error)) {
        return exact;
    }
    for (const auto& candidate : findFilesIgnoringCase(folder, table + ".DBF")) {
        if (std::filesystem::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::filesystem::path newTableFile(const std::filesystem::path& folder, const std::string& table) {
    return folder / (text::asciiUpper(table) + ".DBF");
}

} // namespace velmora
