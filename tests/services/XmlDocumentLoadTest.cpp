#include "services/Error.h"
#include "services/XmlDocument.h"
#include "support/TestSupport.h"

#include <chrono>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::TempDir;
using testing::writeFile;

std::string loadError(const std::filesystem::path& file) {
    try {
        XmlDocument::load(file);
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

struct BrokenCase {
    const char* name;
    std::string content;
    std::string expected; // the part of the message that says where and what
};

class BrokenDocument : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDocument, namesTheFileAndWhereTheParserStopped) {
    TempDir dir;
    const auto file = dir / "a.xml";
    writeFile(file, GetParam().content);

    const std::string message = loadError(file);

    EXPECT_NE(message.find("The file " + file.string() + " is not a valid XML document: "),
              std::string::npos)
        << message;
    EXPECT_NE(message.find(GetParam().expected), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Xml, BrokenDocument,
    ::testing::Values(
        BrokenCase{"MismatchedTags", "<SERVICIO>\n<SALIDAS>\n  <a></b>\n</SALIDAS></SERVICIO>",
                   "line 3, column 10: Opening and ending tag mismatch: a line 3 and b"},
        BrokenCase{"Empty", "", "Document is empty"},
        BrokenCase{"OnlyBlanks", "  \n\n ", "line 3, column 2: "},
        BrokenCase{"NoRootElement", "<?xml version=\"1.0\"?>\n<!-- nothing -->\n",
                   "line 3, column 1: "},
        BrokenCase{"PlainText", "Horario del centro", "line 1, column 1: Start tag expected"},
        BrokenCase{"TwoRoots", "<SERVICIO/>\n<SERVICIO/>", "line 2, column 1: Extra content"},
        BrokenCase{"Truncated", "<SERVICIO><SALIDAS><listasal seq=\"MATERIAS\">",
                   "Premature end of data"},
        BrokenCase{"BadUtf8",
                   std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\xE1</a>"),
                   "line 2, column"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlDocumentLoad, missingFileNamesTheFile) {
    TempDir dir;
    const auto file = dir / "no-such.xml";
    const std::string message = loadError(file);
    EXPECT_NE(message.find(file.string()), std::string::npos) << message;
    EXPECT_NE(message.find("cannot be read"), std::string::npos) << message;
}

TEST(XmlDocumentLoad, folderIsNotADocument) {
    TempDir dir;
    const std::string message = loadError(dir.path());
    EXPECT_NE(message.find(dir.path().string()), std::string::npos) << message;
    EXPECT_NE(message.find("folder"), std::string::npos) << message;
}

TEST(XmlDocumentLoad, externalEntityIsNotReadIntoTheText) {
    TempDir dir;
    writeFile(dir / "secret.txt", "CONTRASENA-SECRETA");
    const auto file = dir / "xxe.xml";
    writeFile(
        file,
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE SERVICIO [\n"
        "  <!ENTITY absolute SYSTEM \"file://" +
            (dir / "secret.txt").string() +
            "\">\n"
            "  <!ENTITY relative SYSTEM \"secret.txt\">\n"
            "]>\n"
            "<SERVICIO><a>[&absolute;][&relative;]</a><b x=\"1\">&relative;</b></SERVICIO>\n");

    std::string text;
    try {
        text = XmlDocument::load(file).root().text();
    } catch (const Error&) {
        return; // refusing the document is safe as well
    }
    EXPECT_EQ(text.find("CONTRASENA"), std::string::npos) << text;
    EXPECT_NE(text.find("[]"), std::string::npos) << text;
}

TEST(XmlDocumentLoad, externalParameterEntityIsNotLoaded) {
    TempDir dir;
    // Were the external DTD read, it would define &leak; as the secret text.
    writeFile(dir / "evil.dtd", "<!ENTITY leak \"CONTRASENA-SECRETA\">");
    const auto file = dir / "pe.xml";
    writeFile(file, "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [\n  <!ENTITY % ext SYSTEM \"" +
                        (dir / "evil.dtd").string() +
                        "\">\n  %ext;\n]>\n<SERVICIO>x&leak;y</SERVICIO>\n");

    try {
        const XmlDocument document = XmlDocument::load(file);
        EXPECT_EQ(document.root().text().find("CONTRASENA"), std::string::npos);
    } catch (const Error&) {
        SUCCEED();
    }
}

TEST(XmlDocumentLoad, entityBlowUpIsRefusedOrNotExpanded) {
    TempDir dir;
    std::string doctype =
        "<!DOCTYPE SERVICIO [\n  <!ENTITY lol0 \"lollollollollollollollollol\">\n";
    for (int level = 1; level <= 9; ++level) {
        std::string copies;
        for (int i = 0; i < 10; ++i) {
            copies += "&lol" + std::to_string(level - 1) + ";";
        }
        doctype += "  <!ENTITY lol" + std::to_string(level) + " \"" + copies + "\">\n";
    }
    doctype += "]>\n";
    const auto file = dir / "lol.xml";
    writeFile(file, "<?xml version=\"1.0\"?>\n" + doctype + "<SERVICIO><a>&lol9;</a></SERVICIO>\n");

    const auto start = std::chrono::steady_clock::now();
    try {
        const XmlDocument document = XmlDocument::load(file);
        EXPECT_LT(document.root().text().size(), 100000u);
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(XmlDocumentLoad, readsTheDeclaredEncodingAndGivesUtf8Text) {
    TempDir dir;
    const auto latin = dir / "latin.xml";
    writeFile(latin, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                     "<SERVICIO>Educaci\xF3n F\xEDsica, Espa\xF1ol</SERVICIO>\n");
    const auto plain = dir / "plain.xml";
    writeFile(plain, "<SERVICIO>Educación</SERVICIO>");

    const XmlDocument latinDocument = XmlDocument::load(latin);
    EXPECT_EQ(latinDocument.encoding(), "ISO-8859-1");
    EXPECT_EQ(latinDocument.root().text(), "Educación Física, Español");
    EXPECT_EQ(XmlDocument::load(plain).encoding(), "");
    EXPECT_EQ(XmlDocument::load(plain).root().text(), "Educación");
}

TEST(XmlDocumentLoad, parseFromTextNamesTheGivenName) {
    try {
        XmlDocument::parse("<a><b></a>", "plantilla.xml");
        FAIL() << "no error";
    } catch (const Error& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("plantilla.xml is not a valid XML document: line 1, column"),
                  std::string::npos)
            << message;
    }
}

} // namespace
} // namespace velmora
