#pragma once

#include <filesystem>
#include <string>

namespace velmora::fuzz {

// A folder of its own under the system's temporary folder for the life of the fuzzing process,
// removed with everything in it when the process ends normally.
const std::filesystem::path& scratchFolder();

// An empty folder of that name inside the scratch folder, emptied first if it was there.
std::filesystem::path freshFolder(const std::string& name);

// The bytes of a file in the scratch folder.
std::string readScratch(const std::string& name);

} // namespace velmora::fuzz
