#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora {

// The whole content of a document file. Only a regular file is read: a folder, a pipe, a device
// or a link to one is NotARegularFile at once, checked again on the opened file so that one
// swapped in meanwhile cannot make the read wait forever. A file longer than maxBytes is
// DocumentTooLarge; a missing one FileNotFound; any other failure FileUnreadable.
std::string readDocumentFile(const std::filesystem::path& file, std::uint64_t maxBytes);

} // namespace velmora
