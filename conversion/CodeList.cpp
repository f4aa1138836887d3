#include "conversion/CodeList.h"

#include "services/text/Text.h"

namespace velmora {

bool CodeList::contains(std::string_view code) const {
    return containsFolded(text::foldCase(code));
}

void CodeList::add(std::string_view code) {
    addFolded(text::foldCase(code));
}

} // namespace velmora
