#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

// Each distinct text once, under a small number: the hundreds of thousands of lessons of a
// large school refer to a few thousand codes, and hold only their numbers.
class StringPool {
public:
    using Id = std::uint32_t;
    static constexpr Id kEmpty = 0;

    StringPool();
    Id intern(std::string_view text);
    const std::string& text(Id id) const { return texts_[id]; }

private:
    std::vector<std::string> texts_;
    std::unordered_map<std::string, Id> ids_;
};

} // namespace velmora
