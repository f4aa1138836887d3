#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// How every message of messages/ writes the pieces it is made of, so that all say them alike.
namespace velmora::messages::wording {

// "\"valor\""
std::string quoted(const std::string& value);
// A path with the system's own separators, as the user sees it.
std::string fileText(std::filesystem::path file);
// "A, B y C"
std::string joinedWithY(const std::vector<std::string>& values);
// " (what the system said)", or nothing when it said nothing.
std::string because(const std::error_code& system);

} // namespace velmora::messages::wording
