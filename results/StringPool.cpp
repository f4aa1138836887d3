#include "results/StringPool.h"

namespace velmora {

StringPool::StringPool() {
    intern("");
}

StringPool::Id StringPool::intern(std::string_view text) {
    const auto [found, added] = ids_.try_emplace(std::string(text), static_cast<Id>(texts_.size()));
    if (added) {
        texts_.emplace_back(text);
    }
    return found->second;
}

} // namespace velmora
