#include "cli/CoreErrorText.h"

#include "messages/Messages.h"

namespace velmora::cli {

std::string coreErrorText(const std::exception& error) {
    return messages::describe(error);
}

} // namespace velmora::cli
