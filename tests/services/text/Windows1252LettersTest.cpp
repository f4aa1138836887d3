#include "services/text/CodePage.h"
#include "services/text/Text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// The code page and case folding have a backend for each platform (ICU on Linux, Windows' own
// API on Windows); these tables hold what both must give for every character of the code page.
namespace velmora {
namespace {

std::string utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Bytes 0x80 to 0x9F; the five the code page leaves undefined stand for the C1 controls of the
// same number, both ways, in ICU and in Windows alike.
constexpr char32_t kHighControlsRow[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t characterOfByte(unsigned byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControlsRow[byte - 0x80] : char32_t(byte);
}

TEST(Windows1252Table, everyByteReadsAsItsCharacterAndIsWrittenBackAsItself) {
    for (unsigned byte = 0; byte < 256; ++byte) {
        const std::string raw(1, static_cast<char>(byte));
        const std::string character = utf8(characterOfByte(byte));
        const CodePage page = CodePage::windows1252();
        EXPECT_EQ(page.decode(raw), character) << "byte " << byte;
        EXPECT_EQ(page.encode(character).bytes, raw) << "byte " << byte;
    }
}

struct LetterCase {
    std::string letter;
    std::string folded; // what Unicode case folding makes of it
};

std::vector<LetterCase> everyLetterOfTheCodePage() {
    std::vector<LetterCase> letters;
    for (char c = 'A'; c <= 'Z'; ++c) {
        const std::string small(1, static_cast<char>(c - 'A' + 'a'));
        letters.push_back({std::string(1, c), small});
        letters.push_back({small, small});
    }
    const std::vector<std::pair<std::string, std::string>> pairs{
        {"Š", "š"}, {"Œ", "œ"}, {"Ž", "ž"}, {"Ÿ", "ÿ"}, {"À", "à"}, {"Á", "á"}, {"Â", "â"},
        {"Ã", "ã"}, {"Ä", "ä"}, {"Å", "å"}, {"Æ", "æ"}, {"Ç", "ç"}, {"È", "è"}, {"É", "é"},
        {"Ê", "ê"}, {"Ë", "ë"}, {"Ì", "ì"}, {"Í", "í"}, {"Î", "î"}, {"Ï", "ï"}, {"Ð", "ð"},
        {"Ñ", "ñ"}, {"Ò", "ò"}, {"Ó", "ó"}, {"Ô", "ô"}, {"Õ", "õ"}, {"Ö", "ö"}, {"Ø", "ø"},
        {"Ù", "ù"}, {"Ú", "ú"}, {"Û", "û"}, {"Ü", "ü"}, {"Ý", "ý"}, {"Þ", "þ"}};
    for (const auto& [capital, small] : pairs) {
        letters.push_back({capital, small});
        letters.push_back({small, small});
    }
    // Letters without a capital in the code page. Folding is not lower-casing: the micro sign
    // becomes the Greek mu. Folding is simple, one character for one: ß stays ß.
    letters.push_back({"ƒ", "ƒ"});
    letters.push_back({"ª", "ª"});
    letters.push_back({"º", "º"});
    letters.push_back({"µ", "μ"});
    letters.push_back({"ß", "ß"});
    return letters;
}

TEST(Windows1252Letters, foldLikeUnicodeCaseFolding) {
    for (const LetterCase& c : everyLetterOfTheCodePage()) {
        EXPECT_EQ(text::foldCase(c.letter), c.folded) << c.letter;
        EXPECT_TRUE(text::equalsIgnoringCase(c.letter, c.folded)) << c.letter;
        EXPECT_TRUE(text::equalsIgnoringCase(c.folded, c.letter)) << c.letter;
    }
}

TEST(Windows1252Letters, tellLettersThatDifferOnlyInAccentsApart) {
    for (const auto& [a, b] : std::vector<std::pair<std::string, std::string>>{
             {"Ñ", "n"}, {"É", "e"}, {"ÿ", "y"}, {"Š", "s"}, {"Ø", "o"}, {"ß", "s"}, {"µ", "m"}}) {
        EXPECT_FALSE(text::equalsIgnoringCase(a, b)) << a << " " << b;
        EXPECT_NE(text::foldCase(a), text::foldCase(b)) << a << " " << b;
    }
}

TEST(Windows1252Letters, foldWholeWords) {
    EXPECT_EQ(text::foldCase("ÀÉÎÕÜ ŠŒŽŸ Ça"), "àéîõü šœžÿ ça");
    EXPECT_FALSE(text::equalsIgnoringCase("STRASSE", "Straße"));
    EXPECT_TRUE(text::equalsIgnoringCase("ÑANDÚ 2º", "ñandú 2º"));
    EXPECT_FALSE(text::equalsIgnoringCase("ÑANDÚ 2º", "ñandú 2ª"));
}

} // namespace
} // namespace velmora
