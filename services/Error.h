#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

// The one error type of the core. Its text is shown to the user as it stands, so it says
// which file, table, section or record was at fault and what was wrong with it.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace velmora
