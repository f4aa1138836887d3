#pragma once

#include <string>
#include <string_view>

namespace velmora::app::win32 {

// Windows speaks UTF-16; everything inside Velmora is UTF-8.
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

} // namespace velmora::app::win32
