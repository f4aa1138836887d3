#include "formats/SauceRecord.h"

#include "services/text/Text.h"

namespace velmora {

SauceRecord::SauceRecord(std::vector<std::string> texts,
                         std::vector<std::optional<std::string>> datos, std::size_t position)
    : texts_(std::move(texts)), datos_(std::move(datos)), position_(position) {}

std::string_view SauceRecord::value(std::size_t p) const {
    return text::trimmed(rawValue(p));
}

const std::string& SauceRecord::rawValue(std::size_t p) const {
    static const std::string missing;
    return p < texts_.size() ? texts_[p] : missing;
}

bool SauceRecord::hasDato(std::size_t p) const {
    return p < datos_.size() && datos_[p].has_value();
}

std::string SauceRecord::dato(std::size_t p) const {
    return hasDato(p) ? *datos_[p] : std::string();
}

} // namespace velmora
