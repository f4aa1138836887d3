#include "services/FileSystem.h"

namespace velmora {

bool documentExists(const std::filesystem::path& path) {
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace velmora
