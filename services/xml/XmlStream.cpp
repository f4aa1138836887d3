#include "services/xml/XmlStream.h"

#include "services/files/DocumentFile.h"
#include "services/text/Utf8.h"
#include "services/xml/XmlInputLimits.h"
#include "services/xml/XmlParser.h"

#include <array>
#include <charconv>

namespace velmora {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kPredefinedEntities{{
    {"amp", "&"},
    {"lt", "<"},
    {"gt", ">"},
    {"quot", "\""},
    {"apos", "'"},
}};

// The character a reference names ("#38", "#x26", "amp"); nothing for any other.
std::optional<std::string> referenced(std::string_view name) {
    if (name.size() > 1 && name.front() == '#') {
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        unsigned long code = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
            return std::nullopt;
        }
        std::string character;
        utf8::append(character, static_cast<char32_t>(code));
        return character;
    }
    for (const auto& [entity, character] : kPredefinedEntities) {
        if (name == entity) {
            return std::string(character);
        }
    }
    return std::nullopt;
}

// The parser hands over a value that held references as a copy in which every '&' it stands
// for is written as a reference again, to be resolved once more, as the tree's own attributes
// are.
std::string resolved(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t at = 0; at < value.size();) {
        const std::size_t semicolon = value.find(';', at);
        if (value[at] == '&' && semicolon != std::string_view::npos) {
            if (const auto character = referenced(value.substr(at + 1, semicolon - at - 1))) {
                out += *character;
                at = semicolon + 1;
                continue;
            }
        }
        out += value[at++];
    }
    return out;
}

} // namespace

std::optional<std::string> XmlAttributes::value(std::string_view name) const {
    for (std::size_t i = 0; i < count_; ++i) {
        const unsigned char* const* attribute = data_ + 5 * i;
        if (attribute[2] != nullptr || name != reinterpret_cast<const char*>(attribute[0])) {
            continue;
        }
        const std::string_view text(reinterpret_cast<const char*>(attribute[3]),
                                    static_cast<std::size_t>(attribute[4] - attribute[3]));
        // A value read in place ends at its closing quote; a copy, made when it held
        // references, at a terminating zero.
        const bool copied = !text.empty() && *attribute[4] == 0;
        return copied ? resolved(text) : std::string(text);
    }
    return std::nullopt;
}

void streamXmlFile(const std::filesystem::path& file, XmlEvents& events,
                   const XmlOutline* outline) {
    streamXmlText(readDocumentFile(file, xmllimits::kMaxDocumentBytes), file, events, outline);
}

void streamXmlText(const std::string& xml, const std::filesystem::path& file, XmlEvents& events,
                   const XmlOutline* outline) {
    xmlparse::streamUntrusted(xml, file, events, outline);
}

} // namespace velmora
