#include "cli/CoreErrorText.h"

namespace velmora::cli {

std::string coreErrorText(const std::exception& error) {
    return error.what();
}

} // namespace velmora::cli
