#include "conversion/CodeList.h"

#include "services/Text.h"

namespace velmora {

bool CodeList::contains(const std::string& code) const {
    return folded_.count(text::foldCase(code)) > 0;
}

void CodeList::add(const std::string& code) {
    folded_.insert(text::foldCase(code));
}

} // namespace velmora
