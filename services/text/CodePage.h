#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

// A code page in which a table keeps its text: the single-byte pages of Windows and DOS, or
// UTF-8. Built once per table (or run), then used for every value.
class CodePage {
public:
    static constexpr int kUtf8 = 65001;

    // Windows-1252, the code page of the tables Velmora writes.
    static CodePage windows1252();
    // The code page with this number (1252, 850, 65001...); nothing when it is not one Velmora
    // can read.
    static std::optional<CodePage> byNumber(int number);

    int number() const { return number_; }

    // The bytes as UTF-8 text.
    std::string decode(std::string_view bytes) const;

    // UTF-8 text in this code page. A character the page lacks becomes its base Latin letter
    // where it has one (Ș as S, ł as l), otherwise '?'. Single-byte pages only.
    struct Encoded {
        std::string bytes;
        bool replaced = false; // some character was not kept as it was
    };
    Encoded encode(std::string_view utf8) const;

private:
    CodePage(int number, const std::array<char32_t, 256>& characters);
    explicit CodePage(int number) : number_(number) {}

    std::optional<char> byteOf(char32_t c) const;
    char bestFit(char32_t c) const;
    // Encodes every character the page has, stopping at the first it lacks; false then.
    bool encodeKept(std::string_view utf8, std::string& bytes) const;

    int number_;
    bool utf8_ = true;
    std::array<std::string, 256> utf8Of_; // each byte's character, as UTF-8
    std::array<short, 256> latinBytes_{}; // U+0000..U+00FF to their byte, -1 for none
    bool asciiKept_ = false;              // every character below 128 is the byte of its own number
    std::unordered_map<char32_t, char> bytes_; // the other characters, by code point
};

} // namespace velmora
