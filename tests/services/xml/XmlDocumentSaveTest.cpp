#include "services/Error.h"
#include "services/xml/XmlDocument.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"
#include "support/XmlTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace velmora {
namespace {

using testing::attributeOf;
using testing::declaredEncoding;
using testing::readFile;
using testing::selectNodes;
using testing::TempDir;
using testing::textOf;
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
    ASSERT_EQ(declaredEncoding(document), c.declared);
    ASSERT_EQ(textOf(document.root().firstChildElement("salida")), kText);
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
    EXPECT_EQ(declaredEncoding(again), c.declared);
    const auto values = selectNodes(again, "/SERVICIO/salida");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(textOf(values[0]), kText);
    EXPECT_EQ(textOf(values[1]), "Añadido €");
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

    EXPECT_EQ(textOf(XmlDocument::load(dir / "ResultadoHoradiain.xml").root()), "nuevo");
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"ResultadoHoradiain.xml"}));
}

TEST(XmlDocumentSave, intoAMissingFolderFailsNamingTheTarget) {
    TempDir dir;
    const auto target = dir / "no-such-folder" / "out.xml";
    const XmlDocument document = XmlDocument::parse("<SERVICIO/>", "in.xml");
    EXPECT_TRUE(testing::failsWith([&] { document.save(target); }, ErrorKind::ResultNotSaved,
                                   {.file = target}));
    EXPECT_TRUE(folderEntries(dir.path()).empty());
}

TEST(XmlDocumentSave, overAFolderFailsAndLeavesItAndItsContentAlone) {
    TempDir dir;
    // A folder is never replaced by a file: the save fails before it writes anything.
    const auto target = dir / "out.xml";
    std::filesystem::create_directory(target);
    writeFile(target / "inside.txt", "keep me");
    const XmlDocument document = XmlDocument::parse("<SERVICIO/>", "in.xml");

    EXPECT_TRUE(testing::failsWith([&] { document.save(target); }, ErrorKind::OutputNotAFile,
                                   {.file = target}));
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(readFile(target / "inside.txt"), "keep me");
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"out.xml"}));
}

// The content handed to a streamed save, or appended to the tree for a whole save: layout,
// markup characters in text and attributes, characters some encodings lack, nesting.
void buildContent(XmlDocument& document, const std::function<void(const std::string&)>& text,
                  const std::function<void(XmlNode)>& element) {
    text("\n\t\t");
    XmlNode salida = document.createElement("salida");
    salida.setAttribute("dato", "A&B<\"'>\t\n");
    salida.setText("Añadido € <&> \"x\" ]]> \r fin");
    element(salida);
    text("\n\t\t");
    XmlNode list = document.createElement("listasal");
    list.setAttribute("seq", "EMP_1");
    list.appendText("\n\t\t\t");
    XmlNode inner = document.createElement("salida");
    inner.setAttribute("dato", "X_EMPLEADO");
    list.appendChild(inner);
    list.appendText("\n\t\t");
    element(list);
    text("\n\t");
}

std::string utf16le(const std::string& latin1) {
    std::string bytes = "\xFF\xFE";
    for (const char c : latin1) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

struct StreamedCase {
    const char* name;
    std::string document; // with an empty SALIDAS
};

class StreamedSave : public ::testing::TestWithParam<StreamedCase> {};

// A streamed save must write what a whole save writes for the same tree, in every encoding.
TEST_P(StreamedSave, writesTheBytesOfAWholeSaveOfTheSameTree) {
    TempDir dir;
    writeFile(dir / "in.xml", GetParam().document);

    XmlDocument whole = XmlDocument::load(dir / "in.xml");
    XmlNode target = whole.root().firstChildElement("SALIDAS");
    buildContent(
        whole, [&](const std::string& text) { target.appendText(text); },
        [&](XmlNode element) { target.appendChild(element); });
    whole.save(dir / "whole.xml");

    XmlDocument streamed = XmlDocument::load(dir / "in.xml");
    streamed.saveStreaming(dir / "streamed.xml", streamed.root().firstChildElement("SALIDAS"),
                           [&](XmlContentStream& stream) {
                               buildContent(
                                   streamed,
                                   [&](const std::string& text) { stream.writeText(text); },
                                   [&](XmlNode element) { stream.writeElement(element); });
                           });

    EXPECT_EQ(readFile(dir / "streamed.xml"), readFile(dir / "whole.xml"));
    const XmlDocument again = XmlDocument::load(dir / "streamed.xml");
    const auto salidas = selectNodes(again, "/*/SALIDAS/salida");
    ASSERT_EQ(salidas.size(), 1u);
    EXPECT_EQ(attributeOf(salidas[0], "dato"), "A&B<\"'>\t\n");
    EXPECT_EQ(textOf(salidas[0]), "Añadido € <&> \"x\" ]]> \r fin");
    EXPECT_EQ(selectNodes(again, "/*/SALIDAS/listasal/salida").size(), 1u);
}

const std::string kLatin1Body = "<SERVICIO>\n\t<!-- Educaci\xF3n -->\n\t<SALIDAS/>\n"
                                "\t<PIE a=\"\xF1\">m\xE1s</PIE>\n</SERVICIO>\n<!-- fin -->\n";

INSTANTIATE_TEST_SUITE_P(
    Xml, StreamedSave,
    ::testing::Values(
        StreamedCase{"NoDeclaration", "<SERVICIO>\n\t<!-- Educación -->\n\t<SALIDAS/>\n"
                                      "\t<PIE a=\"ñ\">más</PIE>\n</SERVICIO>\n<!-- fin -->\n"},
        StreamedCase{"Utf8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<SERVICIO>\n\t<!-- Educación -->\n\t<SALIDAS/>\n"
                             "\t<PIE a=\"ñ\">más</PIE>\n</SERVICIO>\n<!-- fin -->\n"},
        StreamedCase{"Latin1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + kLatin1Body},
        StreamedCase{"Windows1252",
                     "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n" + kLatin1Body},
        StreamedCase{"Utf16",
                     utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + kLatin1Body)},
        StreamedCase{"OnOneLine", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" "
                                  "standalone=\"yes\"?><S x=\"1\"><SALIDAS></SALIDAS></S>"}),
    [](const auto& info) { return std::string(info.param.name); });

// The content is written as it comes: a failure half-way must leave no trace of it.
TEST(XmlDocumentSave, aStreamedSaveThatFailsHalfWayLeavesTheEarlierFileAlone) {
    TempDir dir;
    writeFile(dir / "ResultadoHoradiain.xml", "old content");
    XmlDocument document = XmlDocument::parse("<SERVICIO><SALIDAS/></SERVICIO>", "in.xml");

    EXPECT_THROW(document.saveStreaming(dir / "ResultadoHoradiain.xml",
                                        document.root().firstChildElement("SALIDAS"),
                                        [&](XmlContentStream& stream) {
                                            stream.writeElement(document.createElement("ERROR"));
                                            throw std::runtime_error("stopped");
                                        }),
                 std::runtime_error);

    EXPECT_EQ(readFile(dir / "ResultadoHoradiain.xml"), "old content");
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"ResultadoHoradiain.xml"}));
}

} // namespace
} // namespace velmora
