#pragma once

#include <filesystem>
#include <system_error>

namespace velmora {

// Makes what was written to a file, or a change of a folder's entries (a new name, a rename),
// survive a power cut: the system's cache is written to the disk before these return. An
// error code when the system could not do it.
std::error_code syncToDisk(const std::filesystem::path& file);
std::error_code syncFolder(const std::filesystem::path& folder);

// Renames a file or folder, replacing nothing: an error code when `to` exists. syncFolder of
// both folders makes it durable.
std::error_code moveFile(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace velmora
