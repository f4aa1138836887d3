// velmora-cli's own words: help, version and the complaints about a command line it cannot
// read, all in Spanish.
#include "support/TestSupport.h"
#include "velmora/Version.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// What CLI11 writes on its own, in English, when it is not told otherwise.
const std::vector<std::string> englishWords{
    "Usage",    "Options",  "Subcommand", "Positionals", "REQUIRED",       "TEXT",
    "required", "expected", "Run with",   "Print this",  "Display program"};

void expectNoEnglish(const std::string& text) {
    for (const std::string& word : englishWords) {
        EXPECT_THAT(text, Not(HasSubstr(word)));
    }
}

TEST(CommandLine, VersionNamesTheProgramAndItsVersion) {
    TempDir temp;
    const CliOutcome outcome = runCli(temp, {"--version"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, std::string("velmora-cli (Velmora) ") + programVersion + "\n");
    EXPECT_EQ(outcome.err, "");
}

struct HelpCase {
    std::string name;
    std::vector<std::string> arguments;
    std::vector<std::string> shown;
};

class CommandLineHelp : public ::testing::TestWithParam<HelpCase> {};

TEST_P(CommandLineHelp, IsInSpanish) {
    TempDir temp;
    const CliOutcome outcome = runCli(temp, GetParam().arguments);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    for (const std::string& text : GetParam().shown) {
        EXPECT_THAT(outcome.out, HasSubstr(text));
    }
    EXPECT_THAT(outcome.out,
                HasSubstr("-h,--help                   Muestra esta ayuda y termina."));
    expectNoEnglish(outcome.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineHelp,
    ::testing::Values(
        HelpCase{"Program",
                 {"--help"},
                 {"Uso: velmora-cli [OPCIONES] ORDEN", "Opciones:", "Órdenes:", "  convert ",
                  "  results ", "  dump ", "--version", "VELMORA_EXCHANGE_DIR"}},
        HelpCase{"Convert",
                 {"convert", "--help"},
                 {"Uso: velmora-cli convert [OPCIONES] DOCUMENTO", "DOCUMENTO (obligatorio)",
                  "--exchange CARPETA", "--frames CLAVE[,CLAVE]"}},
        HelpCase{"Results", {"results", "-h"}, {"Uso: velmora-cli results [OPCIONES] DOCUMENTO"}},
        HelpCase{"Dump", {"dump", "--help"}, {"TABLA (obligatoria)"}}),
    [](const auto& info) { return info.param.name; });

struct MistakeCase {
    std::string name;
    std::vector<std::string> arguments;
    std::string message;
    std::string helpCommand; // what the user is told to type to read how it goes
};

class CommandLineMistake : public ::testing::TestWithParam<MistakeCase> {};

TEST_P(CommandLineMistake, IsExplainedInSpanishWithStatusTwo) {
    TempDir temp;
    const CliOutcome outcome = runCli(temp, GetParam().arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "velmora-cli: " + GetParam().message +
                               "\nPara ver cómo se usa, escriba: " + GetParam().helpCommand + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineMistake,
    ::testing::Values(
        MistakeCase{"NoCommand",
                    {},
                    "Falta la orden. Las órdenes son convert, results y dump.",
                    "velmora-cli --help"},
        MistakeCase{"UnknownCommand",
                    {"exportar"},
                    "«exportar» no es una orden de velmora-cli. Las órdenes son convert, results "
                    "y dump.",
                    "velmora-cli --help"},
        MistakeCase{
            "UnknownOption", {"--ayuda"}, "La opción «--ayuda» no existe.", "velmora-cli --help"},
        MistakeCase{"MissingDocument",
                    {"convert"},
                    "Falta DOCUMENTO: el documento de servicio de Sauce (XML).",
                    "velmora-cli convert --help"},
        MistakeCase{"OptionWithoutValue",
                    {"results", "x.xml", "--exchange"},
                    "Falta el valor de la opción --exchange.",
                    "velmora-cli results --help"},
        MistakeCase{"OneTooMany",
                    {"convert", "x.xml", "y.xml"},
                    "Sobra «y.xml»: la orden convert no lleva más datos.",
                    "velmora-cli convert --help"},
        MistakeCase{"UnknownOptionOfACommand",
                    {"dump", "SOLUC", "--marcos", "M"},
                    "La opción «--marcos» no existe.\nSobra «M»: la orden dump no lleva más datos.",
                    "velmora-cli dump --help"}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace velmora::testing
