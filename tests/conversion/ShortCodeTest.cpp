#include "conversion/ShortCode.h"
#include "services/text/Text.h"

#include <gtest/gtest.h>
#include <set>

namespace velmora {
namespace {

struct ShortCodeCase {
    const char* name;
    std::vector<std::string> sources; // given in this order to one list
    std::vector<std::string> codes;   // the code each source gets
};

std::vector<std::string> repeated(const std::string& source, int times) {
    return std::vector<std::string>(static_cast<std::size_t>(times), source);
}

std::vector<std::string> plus(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> kElevenCodes = {
    "ABCDEFGHIJ", "ABCDEFGHI1", "ABCDEFGHI2", "ABCDEFGHI3", "ABCDEFGHI4", "ABCDEFGHI5",
    "ABCDEFGHI6", "ABCDEFGHI7", "ABCDEFGHI8", "ABCDEFGHI9", "ABCDEFGH10"};
const std::vector<std::string> kElevenSources = {"ABCDEFGHIJ",   "ABCDEFGHIJK",   "ABCDEFGHIJ2",
                                                 "ABCDEFGHIJ 3", "ABCDEFGHIJabc", "ABCDEFGHIJKLM",
                                                 "ABCDEFGHIJ6",  "ABCDEFGHIJ77",  "ABCDEFGHIJ888",
                                                 "ABCDEFGHIJ_9", "ABCDEFGHIJ-10"};

class ShortCodeRule : public ::testing::TestWithParam<ShortCodeCase> {};

TEST_P(ShortCodeRule, givesEachSourceItsCode) {
    const ShortCodeCase& c = GetParam();
    ASSERT_EQ(c.sources.size(), c.codes.size());
    CodeList issued;
    for (std::size_t i = 0; i < c.sources.size(); ++i) {
        EXPECT_EQ(makeShortCode(c.sources[i], issued).code, c.codes[i])
            << "source " << i << ": \"" << c.sources[i] << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, ShortCodeRule,
    ::testing::Values(
        ShortCodeCase{"NumberedFromTheNinthCharacter",
                      {"MATEMATICAS1", "MATEMATICAS2", "MATEMATICAS3"},
                      {"MATEMATICA", "MATEMATIC1", "MATEMATIC2"}},
        ShortCodeCase{"SkipsANumberedCandidateAlreadyGiven",
                      {"FISICA2011", "FISICA2011B"},
                      {"FISICA2011", "FISICA2012"}},
        ShortCodeCase{"TwoDigitNumbersReplaceTheLastCharacters", kElevenSources, kElevenCodes},
        ShortCodeCase{"TheTwelfthDoesNotRepeatTheEleventh", plus(kElevenSources, {"ABCDEFGHIJ12"}),
                      plus(kElevenCodes, {"ABCDEFGH11"})},
        ShortCodeCase{"AShortenedCodeAsSourceGetsTheNextFreeCode",
                      plus(kElevenSources, {"ABCDEFGHIJ12", "ABCDEFGH10"}),
                      plus(kElevenCodes, {"ABCDEFGH11", "ABCDEFGH12"})},
        ShortCodeCase{"TrailingBlanksOfTheFirstTenAreDropped",
                      {"AULA 1    NORTE", "AULA 1"},
                      {"AULA 1", "AULA 11"}},
        ShortCodeCase{"InnerBlanksStay", {"2 BACH A", "2 BACH A"}, {"2 BACH A", "2 BACH A1"}},
        ShortCodeCase{"ACaseVariantCollidesAndKeepsItsCase",
                      {"AULA 1", "aula 1", "PEREZ", "perez"},
                      {"AULA 1", "aula 11", "PEREZ", "perez1"}},
        ShortCodeCase{"ShortSourcesAreNumberedWhole",
                      {"PEREZ", "PEREZ", "PEREZ"},
                      {"PEREZ", "PEREZ1", "PEREZ2"}},
        ShortCodeCase{"EmptySourcesAreNumbered", {"", "", ""}, {"", "1", "2"}},
        ShortCodeCase{"BlankSourcesCountAsEmpty", {"", "   ", "\t"}, {"", "1", "2"}},
        ShortCodeCase{"ALongerSourceSharingTheFirstTen",
                      {"GARCIALOPE", "GARCIALOPEZ"},
                      {"GARCIALOPE", "GARCIALOP1"}},
        ShortCodeCase{
            "AccentedSourcesCountCharacters",
            {"ÁLGEBRA LINEAL", "ÁLGEBRA LINEAL II", "EDUCACIÓN FÍSICA", "EDUCACIÓN FÍSICA 2",
             "ÉÉÉÉÉÉÉÉÉÉÉÉ", "ÉÉÉÉÉÉÉÉÉÉ"},
            {"ÁLGEBRA LI", "ÁLGEBRA L1", "EDUCACIÓN", "EDUCACIÓN1", "ÉÉÉÉÉÉÉÉÉÉ", "ÉÉÉÉÉÉÉÉÉ1"}},
        ShortCodeCase{
            "CaseFoldingBeyondAscii", {"ÑANDÚ", "ñandú", "Ñandú"}, {"ÑANDÚ", "ñandú1", "Ñandú2"}},
        ShortCodeCase{"ANonBmpCharacterIsOneCharacter",
                      {"𝄞ABCDEFGHIJ", "𝄞ABCDEFGHIJ"},
                      {"𝄞ABCDEFGHI", "𝄞ABCDEFGH1"}},
        ShortCodeCase{"ThreeDigitNumbersKeepAsMuchOfTheBaseAsFits", repeated("ABCDEFGHIJ", 101),
                      plus(plus({"ABCDEFGHIJ"},
                                [] {
                                    std::vector<std::string> codes;
                                    for (int n = 1; n <= 9; ++n) {
                                        codes.push_back("ABCDEFGHI" + std::to_string(n));
                                    }
                                    for (int n = 10; n <= 99; ++n) {
                                        codes.push_back("ABCDEFGH" + std::to_string(n));
                                    }
                                    return codes;
                                }()),
                           {"ABCDEFG100"})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShortCodeRule, saysWhenItNumberedACode) {
    CodeList issued;
    EXPECT_FALSE(makeShortCode("MATEMATICAS1", issued).numbered);
    EXPECT_TRUE(makeShortCode("MATEMATICAS2", issued).numbered);
    EXPECT_FALSE(makeShortCode("FISICA", issued).numbered);
}

// Sauce numbers past ten digits: every ten codes share their first ten characters, and the
// numbered candidates of one base are the cut codes and candidates of the bases after it. Each
// code ends up as its own number without its second digit, the first one free.
TEST(ShortCodeRule, codesNumberedInOrderPastTenDigitsKeepTheirNumber) {
    CodeList issued;
    for (int i = 0; i < 3000; ++i) {
        const std::string digits = std::to_string(i);
        const std::string source = "1" + std::string(10 - digits.size(), '0') + digits;
        const std::string expected = "1" + std::string(9 - digits.size(), '0') + digits;
        ASSERT_EQ(makeShortCode(source, issued).code, expected) << source;
    }
}

TEST(ShortCodeRule, manyCollisionsNeverGiveALongOrRepeatedCode) {
    for (const std::string source : {"ABCDEFGHIJKLMNOP", "AB", "ÁÉÍÓÚÑÜáéíóú", ""}) {
        CodeList issued;
        std::set<std::string> folded;
        for (int i = 0; i < 1050; ++i) {
            // Alternating letter case must not let a code through twice.
            const std::string variant = i % 2 == 0 ? source : text::foldCase(source);
            const std::string code = makeShortCode(variant, issued).code;
            EXPECT_LE(text::length(code), 10u) << source << " #" << i << ": " << code;
            EXPECT_TRUE(folded.insert(text::foldCase(code)).second)
                << source << " #" << i << " repeats " << code;
        }
    }
}

} // namespace
} // namespace velmora
