#pragma once

#include <filesystem>
#include <string_view>

namespace velmora {

// Writes a file whole or not at all: the content goes into a new file beside it, which is
// forced to the disk and renamed over the target, so a reader never sees half of it and a
// failure leaves any earlier file as it was. Throws an Error (FileNotWritten) naming the file.
void writeWholeFile(const std::filesystem::path& file, std::string_view content);

} // namespace velmora
