#include "services/Error.h"
#include "services/xml/XmlDocument.h"
#include "services/xml/XmlInputLimits.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"
#include "support/XmlTree.h"

#include <chrono>
#include <gtest/gtest.h>
#include <optional>

namespace velmora {
namespace {

using testing::failsWith;
using testing::isError;
using testing::TempDir;
using testing::textOf;
using testing::writeFile;

std::optional<Error> parseError(const std::string& xml) {
    return testing::errorFrom([&] { XmlDocument::parse(xml, "limites.xml"); });
}

std::string repeated(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

// <SERVICIO> with elements inside one another down to `depth` levels in all.
std::string nested(int depth) {
    return "<SERVICIO>\n" + repeated("<a>", depth - 1) + repeated("</a>", depth - 1) +
           "</SERVICIO>";
}

std::string attributes(int count, const std::string& prefix = "a") {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += " " + prefix + std::to_string(i) + "=\"v\"";
    }
    return out;
}

std::string attributeDefaults(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += " d" + std::to_string(i) + " CDATA \"v\"";
    }
    return "<!DOCTYPE SERVICIO [\n<!ATTLIST listasal" + list + ">\n]>\n";
}

// Each UTF-8 character of an ASCII text as UTF-16 little-endian, after the byte order mark.
std::string utf16le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

struct LimitCase {
    const char* name;
    std::string xml;
    ErrorReason reason; // None: the document loads
    std::size_t line = 0;
    std::uint64_t limit = 0;
};

class Limits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(Limits, holdAtTheirBoundary) {
    const LimitCase& c = GetParam();
    const auto error = parseError(c.xml);
    if (c.reason == ErrorReason::None) {
        EXPECT_FALSE(error) << error->what();
        return;
    }
    EXPECT_TRUE(
        isError(error, ErrorKind::DocumentTooComplex,
                {.file = "limites.xml", .line = c.line, .reason = c.reason, .limit = c.limit}));
}

INSTANTIATE_TEST_SUITE_P(
    Xml, Limits,
    ::testing::Values(
        LimitCase{"DepthAtTheLimit", nested(256), ErrorReason::None},
        LimitCase{"DepthOverTheLimit", nested(300), ErrorReason::TooDeep, 2, 256},
        LimitCase{"AttributesAtTheLimit", "<SERVICIO" + attributes(256) + "/>", ErrorReason::None},
        LimitCase{"AttributesOverTheLimit",
                  "<SERVICIO>\n<listasal\n" + attributes(257) + "/></SERVICIO>",
                  ErrorReason::TooManyAttributes, 2, 256},
        LimitCase{"EqualsInsideValuesAreNoAttributes",
                  "<SERVICIO a=\"" + repeated("=", 300) + "\" b='" + repeated("=", 300) + "'/>",
                  ErrorReason::None},
        LimitCase{"EqualsInTextAreNoAttributes",
                  "<SERVICIO>\n" + repeated("= ", 300) + "<!-- " + repeated("=", 300) +
                      " --><![CDATA[" + repeated("=", 300) + "]]></SERVICIO>",
                  ErrorReason::None},
        LimitCase{"AGreaterThanInsideAValueDoesNotEndTheTag",
                  "<SERVICIO x=\">\"" + attributes(257) + "/>", ErrorReason::TooManyAttributes, 1,
                  256},
        // After the bad character the parser reads the rest of the comment as content.
        LimitCase{"ATagInACommentTheParserLeavesEarly",
                  std::string("<SERVICIO><!-- \x01\n<a") + attributes(257) + "/> --></SERVICIO>",
                  ErrorReason::TooManyAttributes, 2, 256},
        LimitCase{"NamespacesOverTheLimit",
                  "<SERVICIO>" + repeated("<a xmlns:p=\"urn:x\"/>", 256) +
                      "\n<b xmlns=\"urn:y\"/>" + "</SERVICIO>",
                  ErrorReason::TooManyNamespaces, 2, 256},
        LimitCase{"AttributeDefaultsAtTheLimit", attributeDefaults(16) + "<SERVICIO/>",
                  ErrorReason::None},
        LimitCase{"AttributeDefaultsOverTheLimit", attributeDefaults(17) + "<SERVICIO/>",
                  ErrorReason::TooManyAttributeDefaults, 2, 16},
        LimitCase{"Utf16IsReadForTheCount",
                  utf16le("<SERVICIO>\n<a" + attributes(257) + "/></SERVICIO>"),
                  ErrorReason::TooManyAttributes, 2, 256}),
    [](const auto& info) { return std::string(info.param.name); });

struct EntityCase {
    const char* name;
    std::string doctype; // the declaration is always on line 3
};

class EntityDeclaration : public ::testing::TestWithParam<EntityCase> {};

TEST_P(EntityDeclaration, isRefusedWithItsLine) {
    TempDir dir;
    writeFile(dir / "secret.txt", "CONTRASENA-SECRETA");
    const auto file = dir / "entidades.xml";
    writeFile(file, "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [\n" + GetParam().doctype +
                        "\n]>\n<SERVICIO><SALIDAS>&e;</SALIDAS></SERVICIO>\n");
    EXPECT_TRUE(failsWith([&] { XmlDocument::load(file); }, ErrorKind::DocumentDeclaresEntities,
                          {.file = file, .line = 3}));
}

INSTANTIATE_TEST_SUITE_P(
    Xml, EntityDeclaration,
    ::testing::Values(EntityCase{"Internal", "<!ENTITY e \"texto\">"},
                      EntityCase{"ExternalFile", "<!ENTITY e SYSTEM \"secret.txt\">"},
                      EntityCase{"Parameter", "<!ENTITY % p SYSTEM \"secret.txt\"> %p;"},
                      EntityCase{"Unparsed", "<!NOTATION n SYSTEM \"n\"><!ENTITY u SYSTEM "
                                             "\"secret.txt\" NDATA n>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlDocumentDoctype, withoutEntityDeclarationsLoads) {
    for (const std::string doctype :
         {"<!DOCTYPE SERVICIO>", "<!DOCTYPE SERVICIO SYSTEM \"servicio.dtd\">",
          "<!DOCTYPE SERVICIO [<!ELEMENT SERVICIO ANY><!ATTLIST SERVICIO v CDATA \"1\">]>"}) {
        const auto error = parseError(doctype + "\n<SERVICIO><SALIDAS/></SERVICIO>");
        EXPECT_FALSE(error) << doctype << ": " << error->what();
    }
}

// Each of these cost the parser seconds to minutes and up to gigabytes before the limits.
struct ExpensiveCase {
    const char* name;
    std::string xml;
    ErrorKind kind;
};

std::string laughs() {
    std::string doctype = "<!DOCTYPE SERVICIO [\n<!ENTITY l0 \"lollollollollollollollol\">\n";
    for (int level = 1; level <= 9; ++level) {
        doctype += "<!ENTITY l" + std::to_string(level) + " \"" +
                   repeated("&l" + std::to_string(level - 1) + ";", 10) + "\">\n";
    }
    return doctype + "]>\n<SERVICIO>" + repeated("<a>&l9;</a>", 10000) + "</SERVICIO>";
}

class ExpensiveDocument : public ::testing::TestWithParam<ExpensiveCase> {};

TEST_P(ExpensiveDocument, isRefusedQuickly) {
    const auto start = std::chrono::steady_clock::now();
    const auto error = parseError(GetParam().xml);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(isError(error, GetParam().kind));
    // A guard against hangs, not a speed target: a refusal takes milliseconds.
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

INSTANTIATE_TEST_SUITE_P(
    Xml, ExpensiveDocument,
    ::testing::Values(
        ExpensiveCase{"NestedEntities", laughs(), ErrorKind::DocumentDeclaresEntities},
        ExpensiveCase{"ManyAttributes", "<SERVICIO" + attributes(30000) + "/>",
                      ErrorKind::DocumentTooComplex},
        ExpensiveCase{"ManyNamespaces", "<SERVICIO" + attributes(30000, "xmlns:p") + "/>",
                      ErrorKind::DocumentTooComplex},
        ExpensiveCase{"ManyAttributeDefaults",
                      attributeDefaults(256) + "<SERVICIO>" + repeated("<listasal/>", 50000) +
                          "</SERVICIO>",
                      ErrorKind::DocumentTooComplex},
        ExpensiveCase{"DeepNesting", nested(200000), ErrorKind::DocumentTooComplex}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlDocumentSize, aLargerFileIsRefusedBeforeItIsRead) {
    TempDir dir;
    const auto file = dir / "grande.xml";
    writeFile(file, "<SERVICIO>");
    // Sparse: no disk space is used, and nothing of it is read.
    std::filesystem::resize_file(file, xmllimits::kMaxDocumentBytes + 1);
    EXPECT_TRUE(failsWith([&] { XmlDocument::load(file); }, ErrorKind::DocumentTooLarge,
                          {.file = file, .limit = xmllimits::kMaxDocumentBytes}));
    EXPECT_TRUE(isError(parseError(std::string(xmllimits::kMaxDocumentBytes + 1, ' ')),
                        ErrorKind::DocumentTooLarge));
}

TEST(XmlDocumentEncoding, utf16IsReadAndEncodingsThatHideMarkupAreRefused) {
    const XmlDocument utf16 = XmlDocument::parse(
        utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?><SERVICIO>texto</SERVICIO>"), "t");
    EXPECT_EQ(textOf(utf16.root()), "texto");

    for (const std::string& xml :
         {std::string("<?xml version=\"1.0\" encoding=\"UTF-7\"?><SERVICIO/>"),
          std::string("<?xml version='1.0' encoding = 'IBM037'?><SERVICIO/>"),
          std::string("\x4C\x6F\xA7\x94\x93\x40", 6),
          utf16le("<?xml version=\"1.0\" "
                  "encoding=\"ISO-2022-JP\"?><a/>")}) {
        EXPECT_TRUE(isError(parseError(xml), ErrorKind::DocumentNotWellFormed,
                            {.reason = ErrorReason::UnsupportedEncoding}))
            << xml;
    }
}

} // namespace
} // namespace velmora
