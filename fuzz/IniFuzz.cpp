// Setting one key of an ini text: the input is "section\0key\0value\0content". Besides not
// failing, setting the same key again must change nothing: the first call either found the key
// or added it where the second one finds it.

#include "services/files/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string_view nextPart(std::string_view& input) {
    const std::size_t end = input.find('\0');
    const std::string_view part = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return part;
}

// A section, key and value a caller of the program would pass: one line each, a key without
// '=' or blanks around it, a section without ']' or blanks around it.
bool isPlain(std::string_view section, std::string_view key, std::string_view value) {
    const auto oneLine = [](std::string_view s) {
        return s.find_first_of("\r\n") == std::string_view::npos;
    };
    const auto trimmed = [](std::string_view s) {
        return s.empty() ||
               (s.front() != ' ' && s.front() != '\t' && s.back() != ' ' && s.back() != '\t');
    };
    return oneLine(section) && oneLine(key) && oneLine(value) && !key.empty() &&
           key.find('=') == std::string_view::npos && key.front() != '[' &&
           section.find(']') == std::string_view::npos && trimmed(section) && trimmed(key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view section = nextPart(input);
    const std::string_view key = nextPart(input);
    const std::string_view value = nextPart(input);
    const std::string_view content = input;

    const std::string once = velmora::withProfileString(content, section, key, value);
    if (isPlain(section, key, value)) {
        const std::string twice = velmora::withProfileString(once, section, key, value);
        if (twice != once) {
            std::abort();
        }
    }
    return 0;
}
