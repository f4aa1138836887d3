#pragma once

#include <filesystem>

namespace velmora {

// True when a file (not a folder) exists at path; a link counts when its target is a file.
bool documentExists(const std::filesystem::path& path);

} // namespace velmora
