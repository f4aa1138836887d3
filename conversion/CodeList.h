#pragma once

#include <string>
#include <unordered_set>

namespace velmora {

// A list of issued codes whose look-up ignores letter case (Unicode case folding).
class CodeList {
public:
    bool contains(const std::string& code) const;
    void add(const std::string& code);

private:
    std::unordered_set<std::string> folded_;
};

} // namespace velmora
