#include "messages/Wording.h"

#include "messages/Messages.h"
#include "services/files/FileSystem.h"

namespace velmora::messages::wording {

std::string quoted(const std::string& value) {
    return "\"" + value + "\"";
}

std::string fileText(std::filesystem::path file) {
    return pathToUtf8(file.make_preferred());
}

std::string joinedWithY(const std::vector<std::string>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += (i == 0 ? "" : (i + 1 == values.size() ? " y " : ", ")) + values[i];
    }
    return out;
}

std::string because(const std::error_code& system) {
    return system ? " (" + describeSystemError(system) + ")" : std::string();
}

} // namespace velmora::messages::wording
