#include "conversion/CatalogueRows.h"

#include "services/text/Text.h"

namespace velmora {

const CatalogueRows::FirstRow* CatalogueRows::firstRowFor(std::string_view sauceCode) const {
    const auto found = listCODLARGO_.find(text::foldCase(sauceCode));
    return found != listCODLARGO_.end() ? &found->second : nullptr;
}

void CatalogueRows::takeSauceCode(std::string_view sauceCode, std::string_view name) {
    listCODLARGO_.emplace(text::foldCase(sauceCode),
                          FirstRow{std::string(sauceCode), std::string(name)});
}

void CatalogueRows::clear() {
    NewTable::clear();
    listCODLARGO_.clear();
    listCOD_ = CodeList{};
}

} // namespace velmora
