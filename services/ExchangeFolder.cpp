#include "services/ExchangeFolder.h"

#include "services/Error.h"
#include "services/FileSystem.h"
#include "services/Text.h"

#include <cstdlib>

namespace velmora {

namespace {

// The folder named by the environment, if any. Windows keeps the environment in UTF-16; its
// narrow copy holds only what the ANSI code page can spell.
std::filesystem::path configuredFolder() {
#ifdef _WIN32
    const wchar_t* configured = ::_wgetenv(L"VELMORA_EXCHANGE_DIR");
    return configured != nullptr ? std::filesystem::path(configured) : std::filesystem::path();
#else
    const char* configured = std::getenv("VELMORA_EXCHANGE_DIR");
    return configured != nullptr ? std::filesystem::path(configured) : std::filesystem::path();
#endif
}

} // namespace

std::filesystem::path defaultExchangeFolder() {
    if (std::filesystem::path configured = configuredFolder(); !configured.empty()) {
        return configured;
    }
#ifdef _WIN32
    // The root of the current drive, as the timetable program expects it.
    return std::filesystem::current_path().root_path() / "HTEMP";
#else
    return "/HTEMP";
#endif
}

void requireExchangeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        return;
    }
    if (std::filesystem::exists(folder, error)) {
        throw Error("The exchange folder " + pathToUtf8(folder) +
                    " is a file, not a folder. Move or rename that file, and try again.");
    }
    throw Error("The exchange folder " + pathToUtf8(folder) +
                " does not exist. Create it, or start Horadia once so that it creates it, "
                "and try again.");
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
