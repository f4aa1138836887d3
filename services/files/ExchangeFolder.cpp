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
    std::vector<std::filesystem::path> found;
    const std::string wanted = text::asciiUpper(fileName);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (text::asciiUpper(pathToUtf8(it->path().filename())) == wanted) {
            found.push_back(it->path());
        }
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
