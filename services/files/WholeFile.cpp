#include "services/files/WholeFile.h"

#include "services/Error.h"
#include "services/files/FileSync.h"
#include "services/files/FileSystem.h"

#include <fstream>
#include <random>

namespace velmora {

void writeWholeFile(const std::filesystem::path& file, std::string_view content) {
    const auto fail = [&file](std::error_code why) {
        return Error(ErrorKind::FileNotWritten, {.file = file, .system = why});
    };
    std::random_device random;
    const std::filesystem::path draft =
        file.parent_path() /
        pathFromUtf8("." + pathToUtf8(file.filename()) + "." + std::to_string(random()));
    {
        std::ofstream out(draft, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out.flush()) {
            const std::error_code why = lastSystemError();
            std::error_code ignored;
            std::filesystem::remove(draft, ignored);
            throw fail(why);
        }
    }
    std::error_code error = syncToDisk(draft);
    if (!error) {
        std::filesystem::rename(draft, file, error);
    }
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(draft, ignored);
        throw fail(error);
    }
}

} // namespace velmora
