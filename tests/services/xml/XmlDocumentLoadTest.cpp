#include "services/Error.h"
#include "services/xml/XmlDocument.h"
#include "services/xml/XmlErrorHook.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"
#include "support/XmlTree.h"

#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libxml/xmlerror.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

using testing::declaredEncoding;
using testing::failsWith;
using testing::TempDir;
using testing::textOf;
using testing::writeFile;

struct BrokenCase {
    const char* name;
    std::string content;
    ErrorReason reason;
    std::size_t line;
    std::size_t column;
};

class BrokenDocument : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDocument, namesTheFileWhereTheParserStoppedAndWhy) {
    const BrokenCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "a.xml";
    writeFile(file, c.content);

    EXPECT_TRUE(failsWith([&] { XmlDocument::load(file); }, ErrorKind::DocumentNotWellFormed,
                          {.file = file, .line = c.line, .column = c.column, .reason = c.reason}));
}

INSTANTIATE_TEST_SUITE_P(
    Xml, BrokenDocument,
    ::testing::Values(
        BrokenCase{"MismatchedTags", "<SERVICIO>\n<SALIDAS>\n  <a></b>\n</SALIDAS></SERVICIO>",
                   ErrorReason::TagMismatch, 3, 10},
        BrokenCase{"Empty", "", ErrorReason::EmptyFile, 1, 1},
        BrokenCase{"OnlyBlanks", "  \n\n ", ErrorReason::EmptyFile, 3, 2},
        BrokenCase{"NoRootElement", "<?xml version=\"1.0\"?>\n<!-- nothing -->\n",
                   ErrorReason::NoRootElement, 3, 1},
        BrokenCase{"PlainText", "Horario del centro", ErrorReason::NotXml, 1, 1},
        BrokenCase{"TwoRoots", "<SERVICIO/>\n<SERVICIO/>", ErrorReason::ContentAfterRoot, 2, 1},
        BrokenCase{"Truncated", "<SERVICIO><SALIDAS>\n<listasal seq=\"MATERIAS\">",
                   ErrorReason::ElementNotClosed, 2, 26},
        BrokenCase{"BadUtf8",
                   std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\xE1</a>"),
                   ErrorReason::WrongEncoding, 2, 4},
        BrokenCase{"Latin1WithoutDeclaration", std::string("<a>\nEducaci\xF3n</a>"),
                   ErrorReason::WrongEncoding, 2, 8},
        BrokenCase{"StrayAmpersand", "<SERVICIO>\nLengua & Literatura</SERVICIO>",
                   ErrorReason::StrayAmpersand, 2, 9},
        BrokenCase{"UnquotedAttribute", "<SERVICIO>\n<listasal seq=MATERIAS/></SERVICIO>",
                   ErrorReason::BadAttribute, 2, 15},
        BrokenCase{"UnclosedComment", "<SERVICIO>\n<!-- sin cerrar </SERVICIO>",
                   ErrorReason::BadComment, 2, 28},
        BrokenCase{"ControlCharacter", std::string("<SERVICIO>\n\x01</SERVICIO>"),
                   ErrorReason::InvalidCharacter, 2, 1},
        BrokenCase{"UnknownEncodingName",
                   "<?xml version=\"1.0\" encoding=\"x-nada\"?>\n<SERVICIO/>",
                   ErrorReason::UnsupportedEncoding, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlDocumentLoad, aMissingFileIsFileNotFound) {
    TempDir dir;
    const auto file = dir / "no-such.xml";
    EXPECT_TRUE(
        failsWith([&] { XmlDocument::load(file); }, ErrorKind::FileNotFound, {.file = file}));
}

// Each of these would make a plain read fail or wait for ever (a pipe with no writer).
TEST(XmlDocumentLoad, onlyRegularFilesAreRead) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.xml");
    std::vector<std::filesystem::path> files{dir / "folder.xml"};
#ifndef _WIN32
    const auto pipe = dir / "pipe.xml";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_symlink(pipe, dir / "link-to-pipe.xml");
    files.insert(files.end(), {pipe, dir / "link-to-pipe.xml", "/dev/zero"});
#endif
    for (const std::filesystem::path& file : files) {
        EXPECT_TRUE(
            failsWith([&] { XmlDocument::load(file); }, ErrorKind::NotARegularFile, {.file = file}))
            << file;
    }
}

// Sends standard output and error to a file for as long as it lives.
class CapturedOutput {
public:
    explicit CapturedOutput(const std::filesystem::path& file) {
        std::fflush(nullptr);
        savedOut_ = ::dup(1);
        savedErr_ = ::dup(2);
        const int fd = ::open(file.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~CapturedOutput() {
        std::fflush(nullptr);
        ::dup2(savedOut_, 1);
        ::dup2(savedErr_, 2);
        ::close(savedOut_);
        ::close(savedErr_);
    }

private:
    int savedOut_;
    int savedErr_;
};

int foreignMessages = 0;
void foreignGenericHandler(void*, const char*, ...) {
    ++foreignMessages;
}
void foreignStructuredHandler(void*, xmlhook::ErrorPointer) {
    ++foreignMessages;
}

TEST(XmlDocumentLoad, theParserPrintsNothingAndLeavesTheGlobalHandlersAsTheyWere) {
    TempDir dir;
    int marker = 0;
    xmlSetGenericErrorFunc(&marker, foreignGenericHandler);
    xmlSetStructuredErrorFunc(&marker, foreignStructuredHandler);
    foreignMessages = 0;
    {
        const CapturedOutput captured(dir / "output.txt");
        // Problems of the parser, of decoding (bytes windows-1252 leaves undefined, a UTF-16
        // text cut in the middle of a character) and of the input.
        for (const std::string& xml : {
                 std::string("<a><b></a>"),
                 std::string("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x81\x8D</a>"),
                 std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>&#0;</a>"),
                 std::string("\xFF\xFE<\0a\0>\0\xD8", 8),
                 std::string("<a>\xE1\xE1\xE1</a>"),
                 std::string("<a xmlns:p=\"\" p:b=\"1\" q:c=\"2\"/>"),
             }) {
            try {
                XmlDocument::parse(xml, "t.xml");
            } catch (const Error&) {
                // What the errors say is checked elsewhere; here only where they go.
            }
        }
    }
    EXPECT_EQ(testing::readFile(dir / "output.txt"), "");
    EXPECT_EQ(foreignMessages, 0);
    EXPECT_EQ(xmlGenericErrorContext, &marker);
    EXPECT_EQ(xmlGenericError, &foreignGenericHandler);
    EXPECT_EQ(xmlStructuredErrorContext, &marker);
    EXPECT_EQ(xmlStructuredError, &foreignStructuredHandler);
    xmlSetGenericErrorFunc(nullptr, nullptr);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
}

TEST(XmlDocumentLoad, readsTheDeclaredEncodingAndGivesUtf8Text) {
    TempDir dir;
    const auto latin = dir / "latin.xml";
    writeFile(latin, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                     "<SERVICIO>Educaci\xF3n F\xEDsica, Espa\xF1ol</SERVICIO>\n");
    const auto plain = dir / "plain.xml";
    writeFile(plain, "<SERVICIO>Educación</SERVICIO>");

    const XmlDocument latinDocument = XmlDocument::load(latin);
    EXPECT_EQ(declaredEncoding(latinDocument), "ISO-8859-1");
    EXPECT_EQ(textOf(latinDocument.root()), "Educación Física, Español");
    EXPECT_EQ(declaredEncoding(XmlDocument::load(plain)), "");
    EXPECT_EQ(textOf(XmlDocument::load(plain).root()), "Educación");
}

TEST(XmlDocumentLoad, parseFromTextNamesTheGivenName) {
    EXPECT_TRUE(failsWith(
        [] { XmlDocument::parse("<a><b></a>", "plantilla.xml"); }, ErrorKind::DocumentNotWellFormed,
        {.file = "plantilla.xml", .line = 1, .reason = ErrorReason::TagMismatch}));
}

} // namespace
} // namespace velmora
