#include "services/xml/XmlScanText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace velmora::xmlscan {

namespace {

enum class Base { Ascii, Utf16LittleEndian, Utf16BigEndian, Unsupported };

bool startsWithBytes(std::string_view text, std::initializer_list<unsigned char> bytes) {
    if (text.size() < bytes.size()) {
        return false;
    }
    return std::equal(bytes.begin(), bytes.end(), text.begin(),
                      [](unsigned char b, char c) { return static_cast<unsigned char>(c) == b; });
}

// How the parser decides from the first bytes, before any declaration is read.
Base baseEncoding(std::string_view xml) {
    if (startsWithBytes(xml, {0x00, 0x00, 0x00, 0x3C}) ||
        startsWithBytes(xml, {0x3C, 0x00, 0x00, 0x00}) ||
        startsWithBytes(xml, {0x00, 0x00, 0x3C, 0x00}) ||
        startsWithBytes(xml, {0x00, 0x3C, 0x00, 0x00}) ||
        startsWithBytes(xml, {0x4C, 0x6F, 0xA7, 0x94})) {
        return Base::Unsupported; // UCS-4 in any byte order, EBCDIC
    }
    if (startsWithBytes(xml, {0x3C, 0x00, 0x3F, 0x00}) || startsWithBytes(xml, {0xFF, 0xFE})) {
        return Base::Utf16LittleEndian;
    }
    if (startsWithBytes(xml, {0x00, 0x3C, 0x00, 0x3F}) || startsWithBytes(xml, {0xFE, 0xFF})) {
        return Base::Utf16BigEndian;
    }
    return Base::Ascii;
}

// Each UTF-16 unit below 0x80 is that ASCII character; every other one (surrogates included)
// is some other character, written as 0x80.
std::string narrowUtf16(std::string_view xml, bool littleEndian) {
    std::string narrow;
    narrow.reserve(xml.size() / 2);
    for (std::size_t i = 0; i + 1 < xml.size(); i += 2) {
        const auto first = static_cast<unsigned char>(xml[i]);
        const auto second = static_cast<unsigned char>(xml[i + 1]);
        const unsigned unit = littleEndian ? first | (second << 8) : (first << 8) | second;
        narrow += unit < 0x80 ? static_cast<char>(unit) : '\x80';
    }
    if (narrow.rfind("\x80", 0) == 0) {
        narrow.erase(0, 1); // the byte order mark, which the parser skips
    }
    return narrow;
}

std::string normalised(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c != '-' && c != '_') {
            out += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
    }
    return out;
}

bool isAsciiPreserving(const std::string& name) {
    static const std::array<const char*, 4> plain = {"UTF8", "ASCII", "USASCII", "LATIN1"};
    if (std::find(plain.begin(), plain.end(), name) != plain.end()) {
        return true;
    }
    const auto numbered = [&name](std::string_view prefix, int low, int high) {
        if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size() ||
            name.size() > prefix.size() + 2) {
            return false;
        }
        int number = 0;
        for (char c : name.substr(prefix.size())) {
            if (c < '0' || c > '9') {
                return false;
            }
            number = number * 10 + (c - '0');
        }
        return number >= low && number <= high;
    };
    return numbered("ISO8859", 1, 16) || numbered("WINDOWS125", 0, 8) || numbered("CP125", 0, 8);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isEncodingNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

// Every name given as `encoding = "..."` in the XML declaration. The parser reads at most one;
// taking all of them leaves nothing it could switch to unseen.
std::vector<std::string> declaredEncodings(std::string_view text) {
    std::vector<std::string> names;
    if (text.rfind("<?xml", 0) != 0 || text.size() < 6 || !isBlank(text[5])) {
        return names;
    }
    const std::string_view declaration = text.substr(0, text.find('>'));
    for (std::size_t at = declaration.find("encoding"); at != std::string_view::npos;
         at = declaration.find("encoding", at + 1)) {
        std::size_t i = at + 8;
        while (i < declaration.size() && isBlank(declaration[i])) {
            ++i;
        }
        if (i >= declaration.size() || declaration[i] != '=') {
            continue;
        }
        ++i;
        while (i < declaration.size() && isBlank(declaration[i])) {
            ++i;
        }
        if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) {
            continue;
        }
        const std::size_t start = ++i;
        while (i < declaration.size() && isEncodingNameChar(declaration[i])) {
            ++i;
        }
        names.emplace_back(declaration.substr(start, i - start));
    }
    return names;
}

bool declarationFits(std::string_view text, Base base) {
    for (const std::string& declared : declaredEncodings(text)) {
        const std::string name = normalised(declared);
        const bool fits = base == Base::Ascii               ? isAsciiPreserving(name)
                          : base == Base::Utf16LittleEndian ? name == "UTF16" || name == "UTF16LE"
                                                            : name == "UTF16" || name == "UTF16BE";
        if (!fits) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<std::string_view> scanText(std::string_view xml, std::string& storage) {
    const Base base = baseEncoding(xml);
    std::string_view text = xml;
    switch (base) {
    case Base::Unsupported:
        return std::nullopt;
    case Base::Utf16LittleEndian:
    case Base::Utf16BigEndian:
        storage = narrowUtf16(xml, base == Base::Utf16LittleEndian);
        text = storage;
        break;
    case Base::Ascii:
        if (startsWithBytes(text, {0xEF, 0xBB, 0xBF})) {
            text.remove_prefix(3);
        }
        break;
    }
    if (!declarationFits(text, base)) {
        return std::nullopt;
    }
    return text;
}

} // namespace velmora::xmlscan
