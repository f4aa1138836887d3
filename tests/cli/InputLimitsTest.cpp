// What a run reads is bounded, so that what it holds is: a document, a table and what a document
// holds outside its SALIDAS have sizes no school comes near, and both runs refuse the same
// documents with the same words, before they change anything.
#include "support/ExchangeSets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

namespace velmora::testing {
namespace {

using ::testing::HasSubstr;

// A document in its place beside the exchange folder's new set, and what each run says of it.
class InputLimits : public ::testing::Test {
protected:
    struct Said {
        CliOutcome conversion;
        CliOutcome results;
    };

    // A refused conversion leaves its exchange folder as it was.
    Said bothRunsOn(const std::filesystem::path& document) {
        const auto exchange = home / "exchange";
        std::filesystem::remove_all(exchange);
        std::filesystem::copy(sets.oldSet, exchange);
        const auto before = treeSnapshot(exchange);
        Said said{
            runCli(home, {"convert", pathToUtf8(document), "--exchange", pathToUtf8(exchange)}),
            runCli(home, {"results", pathToUtf8(document), "--exchange", pathToUtf8(sets.newSet)})};
        if (said.conversion.status != 0) {
            EXPECT_EQ(treeSnapshot(exchange), before) << "a refused run changed the tables";
        }
        return said;
    }

    // The new school's document with `inside` added at the end of its SALIDAS and `outside`
    // before them.
    std::filesystem::path schoolWith(const std::string& inside, const std::string& outside) {
        std::string xml = readFile(sets.newDocument);
        xml.insert(xml.find("</SALIDAS>"), inside);
        xml.insert(xml.find("<SALIDAS>"), outside);
        const auto document = home / "documento.xml";
        writeFile(document, xml);
        return document;
    }

    TempDir home;
    ExchangeSets sets;
};

// A text over the limit stops both runs alike, wherever it stands; one just under it is read.
TEST_F(InputLimits, ALongTextIsRefusedByBothRunsAlike) {
    const std::string tooLong(1024 * 1024 + 1, 'x');
    for (const auto& document : {schoolWith("<listasal seq=\"NOTAS\"><listasal><salida>" + tooLong +
                                                "</salida></listasal></listasal>",
                                            ""),
                                 schoolWith("", "<NOTA>" + tooLong + "</NOTA>")}) {
        const Said said = bothRunsOn(document);
        EXPECT_EQ(said.conversion.status, 1) << said.conversion.out;
        EXPECT_EQ(said.results.status, 1) << said.results.out;
        EXPECT_THAT(said.conversion.err, HasSubstr("tiene un texto de más de 1 MB seguido"));
        EXPECT_EQ(said.results.err, said.conversion.err);
    }
    const std::string longest(1024 * 1024, 'x');
    const Said said = bothRunsOn(schoolWith("", "<NOTA>" + longest + "</NOTA>"));
    EXPECT_EQ(said.conversion.status, 0) << said.conversion.err;
    EXPECT_EQ(said.results.status, 0) << said.results.err;
}

// Outside SALIDAS a service document holds a few parameters: what the results run keeps as a
// tree stays small, and the conversion refuses the same document.
TEST_F(InputLimits, TooMuchOutsideSalidasIsRefusedByBothRunsAlike) {
    std::string parameters = "<PARAMETROS>";
    for (int i = 0; i < 50001; ++i) {
        parameters += "<p a=\"1\"/>";
    }
    parameters += "</PARAMETROS>";
    const Said said = bothRunsOn(schoolWith("", parameters));
    EXPECT_EQ(said.conversion.status, 1) << said.conversion.out;
    EXPECT_EQ(said.results.status, 1) << said.results.out;
    EXPECT_THAT(said.conversion.err, HasSubstr("demasiado contenido fuera de SALIDAS"));
    EXPECT_EQ(said.results.err, said.conversion.err);
}

// However much SALIDAS holds, the results run writes the same result from a tree without it.
TEST_F(InputLimits, WhatSalidasHeldIsNeverReadIntoTheResult) {
    std::string records;
    for (int i = 0; i < 200000; ++i) {
        records += "<listasal><salida>X</salida></listasal>";
    }
    const auto plain = home / "plain.xml";
    std::filesystem::copy_file(sets.newDocument, plain);
    const auto full = schoolWith("<listasal seq=\"OTRA\">" + records + "</listasal>", "");
    ASSERT_EQ(
        runCli(home, {"results", pathToUtf8(plain), "--exchange", pathToUtf8(sets.newSet)}).status,
        0);
    const Said said = bothRunsOn(full);
    EXPECT_EQ(said.conversion.status, 0) << said.conversion.err;
    EXPECT_EQ(said.results.status, 0) << said.results.err;
    EXPECT_EQ(readFile(home / "ResultadoHoradiadocumento.xml"),
              readFile(home / "ResultadoHoradiaplain.xml"));
}

TEST_F(InputLimits, ADocumentOverTheLargestIsRefusedByBothRunsAlike) {
    const auto document = home / "enorme.xml";
    writeFile(document, "<SERVICIO><SALIDAS>");
    std::filesystem::resize_file(document, 128ull * 1024 * 1024 + 1);
    const Said said = bothRunsOn(document);
    EXPECT_EQ(said.conversion.status, 1);
    EXPECT_THAT(said.conversion.err,
                HasSubstr("es demasiado grande para ser un documento de Sauce"));
    EXPECT_EQ(said.results.err, said.conversion.err);
}

TEST_F(InputLimits, ATableOverTheLargestIsNotRead) {
    const auto exchange = sets.root / "new";
    std::filesystem::resize_file(exchange / "SOLUC.DBF", 256ull * 1024 * 1024 + 1);
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"results", pathToUtf8(sets.newDocument), "--exchange", pathToUtf8(exchange)},
             {"dump", "SOLUC", "--exchange", pathToUtf8(exchange)}}) {
        const CliOutcome refused = runCli(home, arguments);
        EXPECT_EQ(refused.status, 1);
        EXPECT_THAT(refused.err, HasSubstr("La tabla SOLUC"));
        EXPECT_THAT(refused.err, HasSubstr("es demasiado grande"));
    }
}

} // namespace
} // namespace velmora::testing
