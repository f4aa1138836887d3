#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

// The text of an ini file after setting one key, the way the platform's private-profile write
// does it: the first section and the first key that match (without regard to letter case) are
// used; an existing value is replaced, a missing key is added at the end of its section, a
// missing section at the end of the text. Every other line stays byte for byte as it was.
std::string withProfileString(std::string_view content, std::string_view section,
                              std::string_view key, std::string_view value);

// Sets one key of the ini file, creating the file, section and key when missing. The file is
// replaced as a whole (a FileDraft keeping the old file's permissions), so a reader never sees
// half of it.
// Throws velmora::Error when the file cannot be read or written.
void writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

} // namespace velmora
