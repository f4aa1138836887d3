#include "conversion/StagingFolder.h"

#include "services/Error.h"
#include "services/ExchangeFolder.h"

#include <random>

namespace velmora {

StagingFolder::StagingFolder(const std::filesystem::path& exchangeFolder) {
    requireExchangeFolder(exchangeFolder);
    std::error_code error;
    std::random_device random;
    for (int attempt = 0; attempt < 20; ++attempt) {
        auto candidate = exchangeFolder / (".velmora-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw Error(ErrorKind::WorkFolderFailed, {.file = exchangeFolder, .system = error});
}

StagingFolder::~StagingFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace velmora
