#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

// True when a file (not a folder) exists at path; a link counts when its target is a file.
bool documentExists(const std::filesystem::path& path);

// Paths and UTF-8 text. The core holds text as UTF-8, but on Windows a path built from a
// std::string reads it in the ANSI code page and path::string() is not what Windows' narrow
// calls expect: every path that comes from text or goes into text passes through these.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);

} // namespace velmora
