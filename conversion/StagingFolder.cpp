#include "conversion/StagingFolder.h"

#include "services/Error.h"

#include <random>

namespace velmora {

StagingFolder::StagingFolder(const std::filesystem::path& exchangeFolder) {
    std::error_code error;
    if (!std::filesystem::is_directory(exchangeFolder, error)) {
        throw Error("The exchange folder " + exchangeFolder.string() +
                    " does not exist. Create it, or start Horadia once so that it creates it, "
                    "and try again.");
    }
    std::random_device random;
    for (int attempt = 0; attempt < 20; ++attempt) {
        auto candidate = exchangeFolder / (".velmora-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw Error("Cannot create a working folder in the exchange folder " +
                exchangeFolder.string() + ": " + error.message() +
                ". Check that you may write there.");
}

StagingFolder::~StagingFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace velmora
