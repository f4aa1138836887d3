#include "formats/ServiceSections.h"
#include "services/Error.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"
#include "support/XmlTree.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// The streamed sections must be exactly the records the loaded document gives through its
// tree, whatever the document does around them.
namespace velmora {
namespace {

const char* const kSections[] = {"MATERIAS", "TAREAS", "PROFESORES", "AULAS",
                                 "CURSOS",   "GRUPOS", "JORNADAS",   "INTERVALOS"};

// A record as text: its position, then each raw value with its dato, if any.
std::string described(const SauceRecord& record) {
    std::string out = std::to_string(record.position()) + ":";
    for (std::size_t p = 0; p < record.valueCount(); ++p) {
        out += " [" + record.rawValue(p) + "]";
        if (record.hasDato(p)) {
            out += "{" + record.dato(p) + "}";
        }
    }
    return out;
}

std::vector<std::string> described(const std::vector<SauceRecord>& records) {
    std::vector<std::string> out;
    for (const SauceRecord& record : records) {
        out.push_back(described(record));
    }
    return out;
}

struct StreamCase {
    const char* name;
    std::string xml;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

class StreamedSections : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamedSections, areTheRecordsTheTreeGives) {
    const std::string& xml = GetParam().xml;
    const XmlDocument tree = XmlDocument::parse(xml, "servicio.xml");
    const ServiceSections streamed = ServiceSections::parse(xml, "servicio.xml");
    bool anyRecord = false;
    for (const char* section : kSections) {
        const auto expected = described(testing::treeSectionRecords(tree, section));
        anyRecord = anyRecord || !expected.empty();
        EXPECT_EQ(described(streamed.records(section)), expected) << section;
    }
    EXPECT_TRUE(anyRecord || std::string(GetParam().name).starts_with("No"))
        << "a case meant to give records gives none";
}

INSTANTIATE_TEST_SUITE_P(
    Documents, StreamedSections,
    ::testing::Values(
        StreamCase{"Plain", testing::sauceXml({{"MATERIAS", {{"M1", "Matemáticas", "MAT"}}},
                                               {"AULAS", {{"A1", "Aula"}}},
                                               {"MATERIAS", {{"M2", "Lengua", "LEN"}}}})},
        StreamCase{"DatosAndReferences",
                   "<SERVICIO><SALIDAS><listasal seq=\"INTERVALOS\"><listasal>"
                   "<salida dato=\"A&amp;B\">x &amp; y &#233; &lt;z&gt;</salida>"
                   "<salida dato='&#38;#38;'>&#38;amp;</salida>"
                   "<salida dato=\"\">vacío</salida><salida>sin dato</salida>"
                   "<salida dato=\"a&#x9;b&#10;c\"> </salida>"
                   "<salida dato=\"tab\there\nline\">t</salida>"
                   "</listasal></listasal></SALIDAS></SERVICIO>"},
        StreamCase{"MixedContentCdataCommentsAndInstructions",
                   "<SERVICIO><SALIDAS><listasal seq=\"MATERIAS\"><listasal>"
                   "<salida>a<b>b<i>c</i></b><!-- no -->d<?pi no?><![CDATA[<e>&]]></salida>"
                   "<salida><![CDATA[]]></salida><salida/>"
                   "text between values<otro>not a value</otro>"
                   "</listasal></listasal></SALIDAS></SERVICIO>"},
        StreamCase{"PathsThatAreNotSections",
                   "<SERVICIO><OTRO><listasal seq=\"AULAS\"><listasal><salida>x</salida>"
                   "</listasal></listasal></OTRO><SALIDAS>"
                   "<listasal seq=\"AULAS\"><listasal><salida>A1</salida>"
                   "<listasal><salida>nested</salida></listasal></listasal>"
                   "<registro><salida>other element</salida></registro></listasal>"
                   "<listasal><listasal><salida>no seq</salida></listasal></listasal>"
                   "<listasal seq=\"aulas\"><listasal><salida>other case</salida></listasal>"
                   "</listasal><listasal seq=\" AULAS\"><listasal><salida>blank</salida>"
                   "</listasal></listasal><grupo><listasal seq=\"AULAS\"><listasal>"
                   "<salida>deep</salida></listasal></listasal></grupo>"
                   "</SALIDAS><SALIDAS><listasal seq=\"AULAS\"><listasal><salida>second</salida>"
                   "</listasal></listasal></SALIDAS></SERVICIO>"},
        StreamCase{"Namespaces",
                   "<SERVICIO xmlns:x=\"urn:x\"><SALIDAS><listasal seq=\"AULAS\">"
                   "<listasal><salida x:dato=\"ns\" dato=\"own\">A1</salida>"
                   "<x:salida>ns value</x:salida><salida x:dato=\"only ns\">A2</salida>"
                   "</listasal><x:listasal><salida>ns record</salida></x:listasal></listasal>"
                   "<listasal x:seq=\"AULAS\"><listasal><salida>ns seq</salida></listasal>"
                   "</listasal><x:listasal seq=\"AULAS\"><listasal><salida>ns section</salida>"
                   "</listasal></x:listasal></SALIDAS><x:SALIDAS><listasal seq=\"AULAS\">"
                   "<listasal><salida>ns salidas</salida></listasal></listasal></x:SALIDAS>"
                   "</SERVICIO>"},
        StreamCase{"NoRecordsUnderANamespacedRoot",
                   "<SERVICIO xmlns=\"urn:sauce\"><SALIDAS><listasal seq=\"AULAS\"><listasal>"
                   "<salida>A1</salida></listasal></listasal></SALIDAS></SERVICIO>"},
        StreamCase{"DefaultsDeclaredInTheDoctype",
                   "<!DOCTYPE SERVICIO [<!ATTLIST listasal seq CDATA \"AULAS\">"
                   "<!ATTLIST salida dato CDATA \"por defecto\">]>"
                   "<SERVICIO><SALIDAS><listasal><listasal><salida>default seq</salida>"
                   "</listasal></listasal><listasal seq=\"AULAS\"><listasal>"
                   "<salida>A1</salida><salida dato=\"propio\">A2</salida></listasal>"
                   "</listasal></SALIDAS></SERVICIO>"},
        StreamCase{"LineEndsAndBlanks", "<SERVICIO>\r\n<SALIDAS>\r\n<listasal seq=\"AULAS\">\r\n"
                                        "<listasal>\r\n  <salida>\r\n A1 \r</salida>\r\n"
                                        "  <salida>\t</salida>\n</listasal>\r\n"
                                        "</listasal></SALIDAS></SERVICIO>"}),
    [](const auto& info) { return std::string(info.param.name); });

struct NotServiceCase {
    const char* name;
    std::string xml;
    ErrorReason reason;
    std::string root;
};

void PrintTo(const NotServiceCase& c, std::ostream* os) {
    *os << c.name;
}

class NotAServiceDocument : public ::testing::TestWithParam<NotServiceCase> {};

TEST_P(NotAServiceDocument, isRefusedNamingTheRoot) {
    const NotServiceCase& c = GetParam();
    EXPECT_TRUE(testing::failsWith([&] { ServiceSections::parse(c.xml, "otro.xml"); },
                                   ErrorKind::NotAServiceDocument,
                                   {.file = "otro.xml", .value = c.root, .reason = c.reason}));
}

INSTANTIATE_TEST_SUITE_P(
    Xml, NotAServiceDocument,
    ::testing::Values(NotServiceCase{"OtherRoot", "<html><SALIDAS/></html>", ErrorReason::WrongRoot,
                                     "html"},
                      NotServiceCase{"RootInOtherCase", "<servicio><SALIDAS/></servicio>",
                                     ErrorReason::WrongRoot, "servicio"},
                      NotServiceCase{"NoSalidas", "<SERVICIO><PARAMETROS/></SERVICIO>",
                                     ErrorReason::NoSalidas, "SERVICIO"},
                      NotServiceCase{"SalidasNotDirectlyUnderTheRoot",
                                     "<SERVICIO><OTRO><SALIDAS/></OTRO></SERVICIO>",
                                     ErrorReason::NoSalidas, "SERVICIO"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ServiceSections, aServiceDocumentWithoutSectionsHasNoRecords) {
    const ServiceSections sections =
        ServiceSections::parse("<SERVICIO><PARAMETROS/><SALIDAS/></SERVICIO>", "servicio.xml");
    EXPECT_TRUE(sections.records("MATERIAS").empty());
}

TEST(ServiceSections, aBrokenDocumentIsTheParsersErrorNotASectionsOne) {
    EXPECT_TRUE(testing::failsWith(
        [] { ServiceSections::parse("<SERVICIO><SALIDAS></SERVICIO>", "roto.xml"); },
        ErrorKind::DocumentNotWellFormed, {.reason = ErrorReason::TagMismatch}));
}

} // namespace
} // namespace velmora
