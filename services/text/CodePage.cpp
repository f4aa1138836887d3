#include "services/text/CodePage.h"

#include "services/text/Unicode.h"
#include "services/text/Utf8.h"

#include <stdexcept>

namespace velmora {

namespace {

constexpr int kWindows1252 = 1252;

// Latin letters written with a stroke or without their dot: Unicode gives them no
// decomposition, yet every reader of a name sees the plain letter in them.
char32_t plainLetterOf(char32_t c) {
    switch (c) {
    case U'Đ':
        return U'D';
    case U'đ':
        return U'd';
    case U'Ħ':
        return U'H';
    case U'ħ':
        return U'h';
    case U'ı':
        return U'i';
    case U'ȷ':
        return U'j';
    case U'Ŀ':
    case U'Ł':
        return U'L';
    case U'ŀ':
    case U'ł':
        return U'l';
    case U'Ŧ':
        return U'T';
    case U'ŧ':
        return U't';
    case U'ƀ':
        return U'b';
    case U'Ɨ':
        return U'I';
    case U'ɨ':
        return U'i';
    default:
        return 0;
    }
}

bool isAsciiLetter(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z');
}

} // namespace

CodePage CodePage::windows1252() {
    auto page = byNumber(kWindows1252);
    if (!page) {
        throw std::runtime_error("the platform does not know the code page 1252");
    }
    return *page;
}

std::optional<CodePage> CodePage::byNumber(int number) {
    if (number == kUtf8) {
        return CodePage(number);
    }
    const auto characters = unicode::singleByteCodePage(number);
    if (!characters) {
        return std::nullopt;
    }
    return CodePage(number, *characters);
}

CodePage::CodePage(int number, const std::array<char32_t, 256>& characters)
    : number_(number), utf8_(false) {
    latinBytes_.fill(-1);
    for (std::size_t byte = 0; byte < characters.size(); ++byte) {
        const char32_t c = characters[byte];
        utf8::append(utf8Of_[byte], c);
        if (c == U'\uFFFD') {
            continue;
        }
        if (c < latinBytes_.size()) {
            latinBytes_[c] = static_cast<short>(byte);
        } else {
            bytes_.emplace(c, static_cast<char>(byte));
        }
    }
    asciiKept_ = true;
    for (std::size_t c = 0; c < 128; ++c) {
        asciiKept_ = asciiKept_ && latinBytes_[c] == static_cast<short>(c) &&
                     utf8Of_[c] == std::string(1, static_cast<char>(c));
    }
}

std::string CodePage::decode(std::string_view bytes) const {
    if (utf8_) {
        return utf8::isAscii(bytes) ? std::string(bytes) : utf8::encode(utf8::decode(bytes));
    }
    // Most of what a school writes is ASCII, which most code pages keep as it is.
    if (asciiKept_ && utf8::isAscii(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char byte : bytes) {
        out += utf8Of_[static_cast<unsigned char>(byte)];
    }
    return out;
}

std::optional<char> CodePage::byteOf(char32_t c) const {
    if (c < latinBytes_.size()) {
        return latinBytes_[c] < 0 ? std::nullopt : std::optional(static_cast<char>(latinBytes_[c]));
    }
    const auto found = bytes_.find(c);
    return found == bytes_.end() ? std::nullopt : std::optional(found->second);
}

bool CodePage::encodeKept(std::string_view utf8, std::string& bytes) const {
    for (std::size_t at = 0; at < utf8.size();) {
        const auto byte = byteOf(utf8::next(utf8, at));
        if (!byte) {
            return false;
        }
        bytes += *byte;
    }
    return true;
}

char CodePage::bestFit(char32_t c) const {
    const std::u32string decomposed = unicode::decompose(c);
    const char32_t base = decomposed.front() != c ? decomposed.front() : plainLetterOf(c);
    if (isAsciiLetter(base)) {
        return static_cast<char>(base);
    }
    return '?';
}

CodePage::Encoded CodePage::encode(std::string_view utf8) const {
    if (utf8_) {
        throw std::logic_error("text is written in single-byte code pages only");
    }
    Encoded encoded;
    if (asciiKept_ && utf8::isAscii(utf8)) {
        encoded.bytes = utf8;
        return encoded;
    }
    encoded.bytes.reserve(utf8.size());
    if (encodeKept(utf8, encoded.bytes)) {
        return encoded;
    }
    // An accent written apart from its letter joins it first, so that "e" and a combining
    // acute keep the é the code page has; what the page still lacks is fitted.
    encoded.bytes.clear();
    for (char32_t c : unicode::compose(utf8::decode(utf8))) {
        if (const auto byte = byteOf(c)) {
            encoded.bytes += *byte;
        } else {
            encoded.bytes += bestFit(c);
            encoded.replaced = true;
        }
    }
    return encoded;
}

} // namespace velmora
