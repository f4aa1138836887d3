#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"
#include "services/xml/XmlDocument.h"

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
    for (const XmlNode& child : node.selectNodes("*")) {
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

TEST(ResultDocument, SalidasReplacedWhereItStoodOtherChildrenKept) {
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
    EXPECT_EQ(result.root().attribute("version"), "3");
    EXPECT_THAT(childNames(result.root()), ElementsAre("CABECERA", "SALIDAS", "PIE"));
    EXPECT_EQ(result.root().firstChildElement("CABECERA").text(), "cab");
    EXPECT_EQ(result.root().firstChildElement("PIE").attribute("n"), "2");
    EXPECT_THAT(readFile(folders.result), HasSubstr("<!-- antes -->"));
    EXPECT_EQ(salidasOutline(folders.result), oneTeacherOneLessonOutline);
}

// The new SALIDAS reads like the rest of the document: one element per line, indented one
// step deeper per level, the step being the document's own.
TEST(ResultDocument, SalidasIsIndentedLikeItsSiblings) {
    RunFolders folders;
    writeExchange(folders.exchange, oneTeacherOneLesson());
    writeFile(folders.document, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<SERVICIO>\n"
                                "\t<CABECERA>cab</CABECERA>\n"
                                "\t<SALIDAS>\n"
                                "\t\t<listasal seq=\"A\"/>\n"
                                "\t</SALIDAS>\n"
                                "\t<PIE/>\n"
                                "</SERVICIO>\n");

    ResultsRun(folders.document, folders.exchange).run();

    EXPECT_EQ(readFile(folders.result),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<SERVICIO>\n"
              "\t<CABECERA>cab</CABECERA>\n"
              "\t<SALIDAS>\n"
              "\t\t<ERROR>\n"
              "\t\t\t<salida dato=\"CN_ERROR\">0</salida>\n"
              "\t\t\t<salida dato=\"TE_ERROR\">Servicio finalizado Correctamente</salida>\n"
              "\t\t\t<salida dato=\"REGISTROS RECUPERADOS\">1</salida>\n"
              "\t\t</ERROR>\n"
              "\t\t<listasal seq=\"EMP_1\">\n"
              "\t\t\t<salida dato=\"X_EMPLEADO\">E1</salida>\n"
              "\t\t\t<salida dato=\"F_TOMAPOS\">F1</salida>\n"
              "\t\t\t<listasal seq=\"TRAMO_1\">\n"
              "\t\t\t\t<salida dato=\"X_ACTIVIDAD\">T5</salida>\n"
              "\t\t\t\t<salida dato=\"N_DIASEMANA\"/>\n"
              "\t\t\t\t<salida dato=\"X_TRAMO\"/>\n"
              "\t\t\t\t<salida dato=\"X_DEPCENTRO\"/>\n"
              "\t\t\t\t<salida dato=\"X_MATERIAOMC\"/>\n"
              "\t\t\t\t<salida dato=\"X_UNIDAD\"/>\n"
              "\t\t\t</listasal>\n"
              "\t\t</listasal>\n"
              "\t</SALIDAS>\n"
              "\t<PIE/>\n"
              "</SERVICIO>\n");
}

// A second SALIDAS would carry the input sections into the result, where Sauce looks for its
// output, so every one of them goes.
TEST(ResultDocument, EverySalidasOfTheRootReplaced) {
    RunFolders folders;
    writeExchange(folders.exchange, oneTeacherOneLesson());
    writeFile(folders.document, "<SERVICIO><SALIDAS><listasal seq=\"A\"/></SALIDAS><MEDIO/>"
                                "<SALIDAS><listasal seq=\"B\"/></SALIDAS></SERVICIO>");

    ResultsRun(folders.document, folders.exchange).run();

    const XmlDocument result = XmlDocument::load(folders.result);
    EXPECT_THAT(childNames(result.root()), ElementsAre("SALIDAS", "MEDIO"));
    EXPECT_EQ(salidasOutline(folders.result), oneTeacherOneLessonOutline);
}

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
        result.selectNodes("/SERVICIO/SALIDAS/listasal/salida[@dato=\"X_EMPLEADO\"]");
    ASSERT_EQ(empleado.size(), 1u);
    EXPECT_EQ(empleado.front().text(), "A&B<1>\"'");
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
