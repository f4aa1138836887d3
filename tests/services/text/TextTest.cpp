#include "services/text/Text.h"
#include "services/text/CodePage.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// "ÁLGEBRA" plus a character outside the Basic Multilingual Plane (4 bytes in UTF-8).
const std::string kMixed = "ÁLGEBRA 𝄞ñ";

TEST(TextCounting, countsCharactersNotBytes) {
    EXPECT_EQ(text::length(""), 0u);
    EXPECT_EQ(text::length("ABC"), 3u);
    EXPECT_EQ(text::length("Educación Física"), 16u);
    EXPECT_EQ(text::length(kMixed), 10u);
    EXPECT_EQ(text::length("€😀漢"), 3u);
}

struct SliceCase {
    std::string s;
    std::size_t from;
    std::size_t n;
    std::string left; // left(s, n)
    std::string mid;  // mid(s, from, n)
};

class TextSlices : public ::testing::TestWithParam<SliceCase> {};

TEST_P(TextSlices, cutAtCharacterBoundaries) {
    const SliceCase& c = GetParam();
    EXPECT_EQ(text::left(c.s, c.n), c.left);
    EXPECT_EQ(text::mid(c.s, c.from, c.n), c.mid);
}

INSTANTIATE_TEST_SUITE_P(
    Text, TextSlices,
    ::testing::Values(SliceCase{"MATEMATICAS1", 2, 3, "MAT", "TEM"},
                      SliceCase{"ÁLGEBRA", 0, 1, "Á", "Á"}, SliceCase{kMixed, 7, 2, "ÁL", " 𝄞"},
                      SliceCase{kMixed, 8, 5, "ÁLGEB", "𝄞ñ"},
                      SliceCase{"ñandú", 4, 10, "ñandú", "ú"}, SliceCase{"ñandú", 5, 1, "ñ", ""},
                      SliceCase{"ñandú", 9, 1, "ñ", ""}, SliceCase{"", 0, 3, "", ""}));

TEST(TextSlices, midWithoutCountTakesTheRest) {
    EXPECT_EQ(text::mid("Educación Física", 10), "Física");
    EXPECT_EQ(text::mid(kMixed, 8), "𝄞ñ");
}

TEST(TextSlices, lastCharIsAWholeCharacter) {
    EXPECT_EQ(text::lastChar("1 ESO A"), "A");
    EXPECT_EQ(text::lastChar("2 BACH Ñ"), "Ñ");
    EXPECT_EQ(text::lastChar("grupo 😀"), "😀");
    EXPECT_EQ(text::lastChar("€"), "€");
    EXPECT_EQ(text::lastChar(""), "");
}

TEST(TextTrim, removesCodesUpTo32AtTheEndsOnly) {
    const std::string controls = std::string("\x00\x01\t\n\r\x1F ", 7);
    EXPECT_EQ(text::trim(controls + "Aula  1" + controls), "Aula  1");
    EXPECT_EQ(text::trimRight(controls + "Aula  1" + controls), controls + "Aula  1");
    EXPECT_EQ(text::trim(controls), "");
    EXPECT_EQ(text::trim(""), "");
    // Characters above 32 stay, the no-break space and DEL included; multi-byte text is whole.
    EXPECT_EQ(text::trim("\xC2\xA0ñ\x7F"), "\xC2\xA0ñ\x7F");
    EXPECT_EQ(text::trim(" Ú "), "Ú");
}

TEST(TextCase, asciiCaseChangesOnlyAToZ) {
    EXPECT_EQ(text::asciiLower("EXPORTAR Ñ É"), "exportar Ñ É");
    EXPECT_EQ(text::asciiUpper("importar ñ é"), "IMPORTAR ñ é");
    EXPECT_EQ(text::asciiLower("[@Z`]"), "[@z`]");
}

TEST(TextCase, foldingMakesCaseVariantsEqual) {
    EXPECT_TRUE(text::equalsIgnoringCase("ÑANDÚ", "ñandú"));
    EXPECT_TRUE(text::equalsIgnoringCase("Educación", "EDUCACIÓN"));
    EXPECT_TRUE(text::equalsIgnoringCase("", ""));
    EXPECT_FALSE(text::equalsIgnoringCase("NANDU", "ñandú"));
    EXPECT_FALSE(text::equalsIgnoringCase("AULA 1", "AULA 1 "));
    EXPECT_EQ(text::foldCase("ÑANDÚ"), text::foldCase("ñandú"));
    EXPECT_EQ(text::foldCase("ÑANDÚ"), "ñandú");
    EXPECT_NE(text::foldCase("ÑANDU"), text::foldCase("ñandú"));
}

TEST(TextPad, padsOrCutsToExactlyNCharacters) {
    EXPECT_EQ(text::padOrCut("AB", 4), "AB  ");
    EXPECT_EQ(text::padOrCut("Ñú", 3), "Ñú ");
    EXPECT_EQ(text::padOrCut("Educación", 7), "Educaci");
    EXPECT_EQ(text::padOrCut("Educación", 9), "Educación");
    EXPECT_EQ(text::padOrCut("𝄞𝄞𝄞", 2), "𝄞𝄞");
    EXPECT_EQ(text::padOrCut("", 0), "");
}

struct CodePageCase {
    std::string utf8;
    std::string bytes;
    bool replaced;
};

class Windows1252 : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(Windows1252, keepsWhatItHasAndFitsTheRestIntoBaseLetters) {
    const CodePage::Encoded encoded = CodePage::windows1252().encode(GetParam().utf8);
    EXPECT_EQ(encoded.bytes, GetParam().bytes);
    EXPECT_EQ(encoded.replaced, GetParam().replaced);
}

INSTANTIATE_TEST_SUITE_P(
    Text, Windows1252,
    ::testing::Values(CodePageCase{"€", "\x80", false}, CodePageCase{"á", "\xE1", false},
                      CodePageCase{"Educación Física", "Educaci\xF3n F\xEDsica", false},
                      CodePageCase{"ÑANDÚ ñandú",
                                   "\xD1"
                                   "AND\xDA \xF1"
                                   "and\xFA",
                                   false},
                      CodePageCase{"“Guardia” – Œ", "\x93Guardia\x94 \x96 \x8C", false},
                      CodePageCase{"Erdős", "Erdos", true},
                      CodePageCase{"Ștefan Țară", "Stefan Tara", true},
                      CodePageCase{"Łukasz Wałęsa", "Lukasz Walesa", true},
                      CodePageCase{"Dvořák", "Dvor\xE1k", true}, CodePageCase{"漢字", "??", true},
                      CodePageCase{"Иван", "????", true}, CodePageCase{"Aula 😀!", "Aula ?!", true},
                      CodePageCase{"", "", false}));

TEST(Windows1252, readsBackEveryCharacterItHolds) {
    const CodePage page = CodePage::windows1252();
    EXPECT_EQ(page.decode("\x80 \xE1 \xD1 \x93x\x94"), "€ á Ñ “x”");
    const std::string all = "Matemáticas € Ñandú Œuvre “—”";
    EXPECT_EQ(page.decode(page.encode(all).bytes), all);
    EXPECT_EQ(page.decode(""), "");
}

TEST(TextCase, foldingIsOneCharacterForOne) {
    // Full folding would make ß "ss"; codes compare character by character.
    EXPECT_FALSE(text::equalsIgnoringCase("STRASSE", "straße"));
    EXPECT_EQ(text::length(text::foldCase("STRAẞE")), 6u);
    EXPECT_TRUE(text::equalsIgnoringCase("STRAẞE", "straße"));
}

} // namespace
} // namespace velmora
