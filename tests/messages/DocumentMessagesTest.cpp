#include "messages/Messages.h"
#include "services/Error.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace velmora {
namespace {

std::string words(ErrorKind kind, ErrorDetails details) {
    details.file = "servicio.xml";
    return messages::describe(Error(kind, details));
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every refinement the parser gives has words of its own, apart from the general sentence.
TEST(DocumentMessages, everyReasonOfABrokenDocumentHasItsOwnWords) {
    const std::string general =
        words(ErrorKind::DocumentNotWellFormed, {.reason = ErrorReason::OtherSyntax});
    std::set<std::string> seen{general};
    for (const ErrorReason reason :
         {ErrorReason::EmptyFile, ErrorReason::NotXml, ErrorReason::NoRootElement,
          ErrorReason::ContentAfterRoot, ErrorReason::TagMismatch, ErrorReason::ElementNotClosed,
          ErrorReason::InvalidCharacter, ErrorReason::WrongEncoding,
          ErrorReason::UnsupportedEncoding, ErrorReason::UndeclaredEntity,
          ErrorReason::StrayAmpersand, ErrorReason::BadAttribute, ErrorReason::BadMarkup,
          ErrorReason::BadComment, ErrorReason::BadDoctype, ErrorReason::BadDeclaration}) {
        const std::string text =
            words(ErrorKind::DocumentNotWellFormed, {.line = 7, .column = 3, .reason = reason});
        EXPECT_TRUE(seen.insert(text).second) << reasonName(reason) << ": " << text;
        EXPECT_TRUE(contains(text, "\"servicio.xml\"")) << text;
        EXPECT_TRUE(contains(text, "(línea 7, columna 3)")) << text;
    }
}

TEST(DocumentMessages, aTooComplexDocumentSaysWhatAndTheLimit) {
    std::set<std::string> seen;
    for (const ErrorReason reason : {ErrorReason::TooManyAttributes, ErrorReason::TooManyNamespaces,
                                     ErrorReason::TooManyAttributeDefaults}) {
        const std::string text =
            words(ErrorKind::DocumentTooComplex, {.line = 2, .reason = reason, .limit = 256});
        EXPECT_TRUE(seen.insert(text).second) << text;
        EXPECT_TRUE(contains(text, "más de 256")) << text;
        EXPECT_TRUE(contains(text, ", en la línea 2)")) << text;
    }
    const std::string deep = words(ErrorKind::DocumentTooComplex,
                                   {.line = 1, .reason = ErrorReason::TooDeep, .limit = 256});
    EXPECT_TRUE(contains(deep, "unos dentro de otros")) << deep;
}

TEST(DocumentMessages, tooLargeGivesTheLimitInMegabytes) {
    const std::string text = words(ErrorKind::DocumentTooLarge, {.limit = 256ull * 1024 * 1024});
    EXPECT_TRUE(contains(text, "(más de 256 MB)")) << text;
}

TEST(DocumentMessages, notAServiceDocumentNamesWhatItFound) {
    const std::string root =
        words(ErrorKind::NotAServiceDocument, {.value = "html", .reason = ErrorReason::WrongRoot});
    EXPECT_TRUE(contains(root, "\"html\" y no SERVICIO")) << root;
    const std::string salidas = words(ErrorKind::NotAServiceDocument,
                                      {.value = "SERVICIO", .reason = ErrorReason::NoSalidas});
    EXPECT_TRUE(contains(salidas, "SALIDAS bajo \"SERVICIO\"")) << salidas;
}

} // namespace
} // namespace velmora
