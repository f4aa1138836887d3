#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"
#include "services/xml/XmlDocument.h"
#include "support/XmlTree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

ExchangeRecords oneTeacherOneLesson(const std::string& empleado = "E1") {
    return {{"PROFT", {{{"ABREV", "T1"}, {"X_EMPLEADO", empleado}, {"F_TOMAPOS", "F1"}}}},
            {"SOLUC", {{{"PROF", "T1"}, {"TAREA", "T5"}, {"DIA", "1"}, {"MARCO", "1"}}}}};
}

const std::vector<std::string> oneTeacherOneLessonOutline{
    "SALIDAS: <ERROR>, [EMP_1]",
    "ERROR: CN_ERROR=0, TE_ERROR=Servicio finalizado Correctamente, REGISTROS RECUPERADOS=1",
    "EMP_1: X_EMPLEADO=E1, F_TOMAPOS=F1, [TRAMO_1]",
    lessonLine("EMP_1/TRAMO_1", {"T5", "", "", "", "", ""})};

std::vector<std::string> childNames(const XmlNode& node) {
    std::vector<std::string> names;
    for (const XmlNode& child : selectNodes(node, "*")) {
        names.push_back(child.name());
    }
    return names;
}

TEST(ResultPath, IsTheDocumentNamePrefixedInItsFolder) {
    EXPECT_EQ(resultPathFor("/x/sauce/export.xml"), "/x/sauce/ResultadoHoradiaexport.xml");
    EXPECT_EQ(resultPathFor("export.xml"), "ResultadoHoradiaexport.xml");
    EXPECT_EQ(resultPathFor("sauce/datos.2024.XML"), "sauce/ResultadoHoradiadatos.2024.XML");
    EXPECT_EQ(resultPathFor("/x/ResultadoHoradiaexport.xml"),
              "/x/ResultadoHoradiaResultadoHoradiaexport.xml");
}

TEST(ResultDocument, SalidasGoesLastOtherChildrenKeptInTheirOrder) {
    RunFolders folders;
    writeExchange(folders.exchange, oneTeacherOneLesson());
    writeFile(folders.document,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<OTRO version=\"3\"><!-- antes --><CABECERA>cab</CABECERA>"
              "<SALIDAS><listasal seq=\"MATERIAS\"><listasal><salida>M1</salida></listasal>"
              "</listasal></SALIDAS><PIE n=\"2\">pie</PIE></OTRO>\n");

    ResultsRun(folders.document, folders.exchange).run();

    const XmlDocument result = XmlDocument::load(folders.result);
    EXPECT_EQ(result.root().name(), "OTRO");
    EXPECT_EQ(attributeOf(result.root(), "version"), "3");
    EXPECT_THAT(childNames(result.root()), ElementsAre("CABECERA", "PIE", "SALIDAS"));
    EXPECT_EQ(textOf(result.root().firstChildElement("CABECERA")), "cab");
    EXPECT_EQ(attributeOf(result.root().firstChildElement("PIE"), "n"), "2");
    EXPECT_THAT(readFile(folders.result), HasSubstr("<OTRO version=\"3\"><!-- antes -->"));
    EXPECT_EQ(salidasOutline(folders.result), oneTeacherOneLessonOutline);
}

// The new SALIDAS of oneTeacherOneLesson as saved: each element on a line of its own, `indent`
// before SALIDAS and `step` more for each level below it; all on one line when indent is empty.
std::string savedSalidas(const std::string& indent, const std::string& step) {
    const std::vector<std::pair<int, std::string>> elements{
        {0, "<SALIDAS>"},
        {1, "<ERROR>"},
        {2, "<salida dato=\"CN_ERROR\">0</salida>"},
        {2, "<salida dato=\"TE_ERROR\">Servicio finalizado Correctamente</salida>"},
        {2, "<salida dato=\"REGISTROS RECUPERADOS\">1</salida>"},
        {1, "</ERROR>"},
        {1, "<listasal seq=\"EMP_1\">"},
        {2, "<salida dato=\"X_EMPLEADO\">E1</salida>"},
        {2, "<salida dato=\"F_TOMAPOS\">F1</salida>"},
        {2, "<listasal seq=\"TRAMO_1\">"},
        {3, "<salida dato=\"X_ACTIVIDAD\">T5</salida>"},
        {3, "<salida dato=\"N_DIASEMANA\"/>"},
        {3, "<salida dato=\"X_TRAMO\"/>"},
        {3, "<salida dato=\"X_DEPCENTRO\"/>"},
        {3, "<salida dato=\"X_MATERIAOMC\"/>"},
        {3, "<salida dato=\"X_UNIDAD\"/>"},
        {2, "</listasal>"},
        {1, "</listasal>"},
        {0, "</SALIDAS>"}};
    std::string text;
    for (const auto& [depth, element] : elements) {
        if (!indent.empty() && !text.empty()) {
            text += "\n" + indent;
            for (int level = 0; level < depth; ++level) {
                text += step;
            }
        }
        text += element;
    }
    return text;
}

struct PlacementCase {
    std::string name;
    std::string root;     // the document's root element, as written
    std::string expected; // the result's root element, as saved
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kTabbedResult = "<SERVICIO>\n"
                                  "\t<CABECERA>cab</CABECERA>\n"
                                  "\t<PIE/>\n"
                                  "\t" +
                                  savedSalidas("\t", "\t") + "\n</SERVICIO>";

const PlacementCase kPlacementCases[] = {
    {"First",
     "<SERVICIO>\n\t<SALIDAS>\n\t\t<listasal seq=\"A\"/>\n\t</SALIDAS>\n"
     "\t<CABECERA>cab</CABECERA>\n\t<PIE/>\n</SERVICIO>",
     kTabbedResult},
    {"InTheMiddle",
     "<SERVICIO>\n\t<CABECERA>cab</CABECERA>\n\t<SALIDAS>\n\t\t<listasal seq=\"A\"/>\n"
     "\t</SALIDAS>\n\t<PIE/>\n</SERVICIO>",
     kTabbedResult},
    {"Last",
     "<SERVICIO>\n\t<CABECERA>cab</CABECERA>\n\t<PIE/>\n\t<SALIDAS>\n"
     "\t\t<listasal seq=\"A\"/>\n\t</SALIDAS>\n</SERVICIO>",
     kTabbedResult},
    {"Repeated",
     "<SERVICIO>\n\t<SALIDAS>\n\t\t<listasal seq=\"A\"/>\n\t</SALIDAS>\n"
     "\t<CABECERA>cab</CABECERA>\n\t<SALIDAS>\n\t\t<listasal seq=\"B\"/>\n\t</SALIDAS>\n"
     "\t<SALIDAS/>\n\t<PIE/>\n</SERVICIO>",
     kTabbedResult},
    {"RepeatedOnOneLine",
     "<SERVICIO><SALIDAS><listasal seq=\"A\"/></SALIDAS><MEDIO/>"
     "<SALIDAS><listasal seq=\"B\"/></SALIDAS></SERVICIO>",
     "<SERVICIO><MEDIO/>" + savedSalidas("", "") + "</SERVICIO>"},
    {"AloneAndEmptyTwoSpacesAStep", "<SERVICIO>\n  <SALIDAS/>\n</SERVICIO>",
     "<SERVICIO>\n  " + savedSalidas("  ", "  ") + "\n</SERVICIO>"},
    {"BeforeACommentThatEndsTheRoot",
     "<SERVICIO>\n    <SALIDAS>\n        <listasal/>\n    </SALIDAS>\n    <!-- fin -->\n"
     "</SERVICIO>",
     "<SERVICIO>\n    <!-- fin -->\n    " + savedSalidas("    ", "    ") + "\n</SERVICIO>"},
};

class SalidasPlacement : public ::testing::TestWithParam<PlacementCase> {};

// Sauce and whoever compares result documents find the new SALIDAS as the root's last child,
// laid out like its siblings; every old one is gone, and the rest of the document keeps its
// order and its lines.
TEST_P(SalidasPlacement, TheNewSalidasIsTheRootsLastChildIndentedLikeItsSiblings) {
    const PlacementCase& c = GetParam();
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    RunFolders folders;
    writeExchange(folders.exchange, oneTeacherOneLesson());
    writeFile(folders.document, declaration + c.root + "\n");

    ResultsRun(folders.document, folders.exchange).run();

    EXPECT_EQ(readFile(folders.result), declaration + c.expected + "\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, SalidasPlacement, ::testing::ValuesIn(kPlacementCases),
                         [](const auto& info) { return info.param.name; });

TEST(ResultDocument, ElementsCarryExactlyTheirOneAttribute) {
    RunFolders folders;
    writeExchange(folders.exchange, oneTeacherOneLesson("A&B<1>\"'"));

    ResultsRun(folders.document, folders.exchange).run();

    const std::string xml = readFile(folders.result);
    // Every start tag of an element of this name, as written.
    const auto tags = [&xml](const std::string& name) {
        std::vector<std::string> found;
        const std::string open = "<" + name;
        for (auto at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
            const char next = xml[at + open.size()];
            if (next == ' ' || next == '>' || next == '/') {
                found.push_back(xml.substr(at, xml.find('>', at) - at + 1));
            }
        }
        return found;
    };
    EXPECT_THAT(tags("SALIDAS"), ElementsAre("<SALIDAS>"));
    EXPECT_THAT(tags("ERROR"), ElementsAre("<ERROR>"));
    EXPECT_THAT(tags("listasal"),
                ElementsAre("<listasal seq=\"EMP_1\">", "<listasal seq=\"TRAMO_1\">"));
    const auto salidas = tags("salida");
    ASSERT_EQ(salidas.size(), 11u);
    for (const std::string& salida : salidas) {
        const std::string prefix = "<salida dato=\"";
        ASSERT_EQ(salida.substr(0, prefix.size()), prefix);
        const std::string afterValue = salida.substr(salida.find('"', prefix.size()) + 1);
        EXPECT_TRUE(afterValue == ">" || afterValue == "/>") << salida;
    }
    // An empty value gives a salida without text.
    EXPECT_THAT(xml, HasSubstr("<salida dato=\"X_UNIDAD\"/>"));

    const XmlDocument result = XmlDocument::load(folders.result);
    const auto empleado =
        selectNodes(result, "/SERVICIO/SALIDAS/listasal/salida[@dato=\"X_EMPLEADO\"]");
    ASSERT_EQ(empleado.size(), 1u);
    EXPECT_EQ(textOf(empleado.front()), "A&B<1>\"'");
}

TEST(ResultDocument, KeepsTheDocumentsEncoding) {
    RunFolders folders;
    writeExchange(folders.exchange, oneTeacherOneLesson("Núñez"));
    writeFile(folders.document, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                "<SERVICIO><CENTRO>\xC1vila</CENTRO><SALIDAS/></SERVICIO>\n");

    ResultsRun(folders.document, folders.exchange).run();

    const std::string bytes = readFile(folders.result);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 0), 0u) << bytes;
    EXPECT_THAT(bytes, HasSubstr("<CENTRO>\xC1vila</CENTRO>"));
    EXPECT_THAT(bytes, HasSubstr(">N\xFA\xF1"
                                 "ez</salida>"));
    EXPECT_THAT(bytes, Not(HasSubstr("\xC3")));
}

TEST(ResultDocument, EarlierResultReplacedAndResultOfAResultPrefixedAgain) {
    RunFolders folders;
    writeExchange(folders.exchange, oneTeacherOneLesson());
    writeFile(folders.result, "earlier result");

    EXPECT_EQ(ResultsRun(folders.document, folders.exchange).run(), folders.result);
    EXPECT_EQ(salidasOutline(folders.result), oneTeacherOneLessonOutline);

    const auto second = ResultsRun(folders.result, folders.exchange).run();
    EXPECT_EQ(second, folders.sauce / "ResultadoHoradiaResultadoHoradiaexport.xml");
    EXPECT_EQ(salidasOutline(second), oneTeacherOneLessonOutline);
    EXPECT_THAT(fileNames(folders.sauce), ElementsAre("ResultadoHoradiaResultadoHoradiaexport.xml",
                                                      "ResultadoHoradiaexport.xml", "export.xml"));
}

TEST(ResultDocument, TablesReleasedAndUnchangedAfterTheRun) {
    RunFolders folders;
    writeExchange(folders.exchange, oneTeacherOneLesson());
    std::map<std::string, std::string> before;
    for (const std::string& table : resultTableNames()) {
        before[table] = readFile(folders.exchange / (table + ".DBF"));
    }

    ResultsRun(folders.document, folders.exchange).run();

    for (const std::string& table : resultTableNames()) {
        const auto file = folders.exchange / (table + ".DBF");
        EXPECT_NO_THROW(ForeignLock{file}) << table << " is still held";
        EXPECT_EQ(readFile(file), before[table]) << table << " was changed";
    }
}

} // namespace
} // namespace velmora::testing
