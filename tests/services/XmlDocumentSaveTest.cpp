#include "services/Error.h"
#include "services/XmlDocument.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        entries.push_back(entry.path().filename().string());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

struct EncodingCase {
    const char* name;
    std::string declared;
    std::string document;    // the file as another program wrote it
    std::string savedAccent; // how "ó" must come back
    std::string savedEuro;   // how "€" must come back
};

const std::string kText = "Educación Física: 5 €";

class SavedEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(SavedEncoding, comesBackInItsOwnEncodingWithTheDeclarationKept) {
    const EncodingCase& c = GetParam();
    TempDir dir;
    writeFile(dir / "in.xml", c.document);

    XmlDocument document = XmlDocument::load(dir / "in.xml");
    ASSERT_EQ(document.encoding(), c.declared);
    ASSERT_EQ(document.root().firstChildElement("salida").text(), kText);
    XmlNode added = document.createElement("salida");
    added.setText("Añadido €");
    document.root().appendChild(added);
    document.save(dir / "out.xml");

    const std::string saved = readFile(dir / "out.xml");
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"" + c.declared + "\"?>", 0), 0u)
        << saved;
    EXPECT_TRUE(contains(saved, "Educaci" + c.savedAccent + "n")) << saved;
    EXPECT_TRUE(contains(saved, ": 5 " + c.savedEuro + "</salida>")) << saved;
    const XmlDocument again = XmlDocument::load(dir / "out.xml");
    EXPECT_EQ(again.encoding(), c.declared);
    const auto values = again.selectNodes("/SERVICIO/salida");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].text(), kText);
    EXPECT_EQ(values[1].text(), "Añadido €");
}

INSTANTIATE_TEST_SUITE_P(
    Xml, SavedEncoding,
    ::testing::Values(
        EncodingCase{"Latin1", "ISO-8859-1",
                     "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                     "<SERVICIO><salida>Educaci\xF3n F\xEDsica: 5 &#8364;</salida></SERVICIO>\n",
                     "\xF3", "&#8364;"},
        EncodingCase{"Windows1252", "windows-1252",
                     "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"
                     "<SERVICIO><salida>Educaci\xF3n F\xEDsica: 5 \x80</salida></SERVICIO>\n",
                     "\xF3", "\x80"},
        EncodingCase{"Utf8", "UTF-8",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<SERVICIO><salida>Educación Física: 5 €</salida></SERVICIO>\n",
                     "ó", "€"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlDocumentSave, keepsEverythingOutsideTheEditsByteForByte) {
    TempDir dir;
    const std::string original = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                 "<SERVICIO>\n  <PARAMETROS a=\"1\">  x  </PARAMETROS>\n"
                                 "  <SALIDAS><listasal seq=\"A\"/></SALIDAS>\n</SERVICIO>\n";
    writeFile(dir / "in.xml", original);
    XmlDocument::load(dir / "in.xml").save(dir / "out.xml");
    EXPECT_EQ(readFile(dir / "out.xml"), original);
}

TEST(XmlDocumentSave, replacesAnEarlierFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    writeFile(dir / "ResultadoHoradiain.xml", "old content");
    const XmlDocument document = XmlDocument::parse("<SERVICIO>nuevo</SERVICIO>", "in.xml");

    document.save(dir / "ResultadoHoradiain.xml");

    EXPECT_EQ(XmlDocument::load(dir / "ResultadoHoradiain.xml").root().text(), "nuevo");
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"ResultadoHoradiain.xml"}));
}

TEST(XmlDocumentSave, intoAMissingFolderFailsNamingTheTarget) {
    TempDir dir;
    const auto target = dir / "no-such-folder" / "out.xml";
    const XmlDocument document = XmlDocument::parse("<SERVICIO/>", "in.xml");
    try {
        document.save(target);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::ResultNotSaved) << error.what();
        EXPECT_EQ(error.details().file, target);
    }
    EXPECT_TRUE(folderEntries(dir.path()).empty());
}

TEST(XmlDocumentSave, overAFolderFailsAndLeavesItAndItsContentAlone) {
    TempDir dir;
    // A non-empty folder cannot be replaced by a file: the save fails at the very end.
    const auto target = dir / "out.xml";
    std::filesystem::create_directory(target);
    writeFile(target / "inside.txt", "keep me");
    const XmlDocument document = XmlDocument::parse("<SERVICIO/>", "in.xml");

    try {
        document.save(target);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::ResultNotSaved) << error.what();
        EXPECT_EQ(error.details().file, target);
    }
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(readFile(target / "inside.txt"), "keep me");
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"out.xml"}));
}

} // namespace
} // namespace velmora
