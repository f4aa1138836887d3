#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "formats/ServiceSections.h"
#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"
#include "support/XmlTree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class MorningFrame : public FrameChooser {
public:
    std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
        return "MANANA    ";
    }
};

// SOLUC as a timetable program that keeps codes of up to 10 characters writes it.
FixtureLayout solucWithWholeCodes() {
    FixtureLayout layout = tables::SOLUC::layout;
    for (FieldDef& field : layout.fields) {
        if (field.type == FieldType::Text && field.name != "MARCO" && field.width < 10) {
            field.width = 10;
        }
    }
    return layout;
}

Record placed(const std::string& prof, const std::string& asig, const std::string& grupo,
              const std::string& aula, const std::string& tarea, const std::string& dia,
              const std::string& hora, const std::string& marco) {
    return {{"PROF", prof},   {"ASIG", asig}, {"CODGRUPO", grupo}, {"AULA", aula},
            {"TAREA", tarea}, {"DIA", dia},   {"HORA", hora},      {"MARCO", marco}};
}

// The example school converted with its morning frame, then a timetable for a few of its
// teachers, written with the codes the conversion gave them, comes back in Sauce's codes.
TEST(RoundTrip, ExampleSchoolComesBackInSaucesCodes) {
    RunFolders folders;
    std::filesystem::copy_file(exampleDocument(), folders.document,
                               std::filesystem::copy_options::overwrite_existing);
    MorningFrame morning;
    ConversionRun(folders.document, folders.exchange, morning).run();
    writeTable(folders.exchange, solucWithWholeCodes(),
               {placed("MARTÍNEZ", "MAT", "1 ESO A", "A101", "LECTIVA", "1", "2", "0"),
                placed("GIL", "LAT1", "1 BACH B", "A202", "LECTIVA", "5", "7", "0"),
                placed("MARTÍNEZ", "MAT", "1 ESO B", "A101", "LECTIVA", "0", "3", "0"),
                placed("NADIE", "MAT", "1 ESO A", "A101", "LECTIVA", "2", "2", "0"),
                placed("MARTÍNEZ", "REUN", "", "", "REUNDEP", "3", "5", "0"),
                placed("GARCÍA1", "LCL", "2 ESO A", "LAB FQ", "GUARDIA", "4", "1", "1")});

    const auto result = ResultsRun(folders.document, folders.exchange).run();

    std::vector<std::string> expected{"SALIDAS: <ERROR>",
                                      "ERROR: CN_ERROR=0, TE_ERROR=Servicio finalizado "
                                      "Correctamente, REGISTROS RECUPERADOS=20"};
    const ServiceSections input = ServiceSections::load(exampleDocument());
    int number = 0;
    for (const SauceRecord& teacher : input.records("PROFESORES")) {
        const std::string seq = "EMP_" + std::to_string(++number);
        expected.front() += ", [" + seq + "]";
        std::string line = seq + ": X_EMPLEADO=" + std::string(teacher.value(0)) +
                           ", F_TOMAPOS=" + std::string(teacher.value(1));
        if (teacher.value(0) == "100232") { // GARCÍA1: a slot of the frame not converted
            expected.push_back(line + ", [TRAMO_1]");
            expected.push_back(
                lessonLine(seq + "/TRAMO_1", {"281", "", "", "8005", "300201", "7003"}));
        } else if (teacher.value(0) == "100245") { // MARTÍNEZ: a class, and a task without group
            expected.push_back(line + ", [TRAMO_1], [TRAMO_2]");
            expected.push_back(
                lessonLine(seq + "/TRAMO_1", {"156", "1", "102", "8001", "300102", "7001"}));
            expected.push_back(lessonLine(seq + "/TRAMO_2", {"5", "3", "105", "", "5", ""}));
        } else if (teacher.value(0) == "100364") { // GIL
            expected.push_back(line + ", [TRAMO_1]");
            expected.push_back(
                lessonLine(seq + "/TRAMO_1", {"156", "5", "107", "8004", "300701", "7010"}));
        } else {
            expected.push_back(line);
        }
    }
    ASSERT_EQ(number, 20);
    EXPECT_EQ(salidasOutline(result), expected);

    const XmlDocument output = XmlDocument::load(result);
    EXPECT_EQ(declaredEncoding(output), "ISO-8859-1");
    EXPECT_EQ(selectNodes(output.root().firstChildElement("PARAMETROS"), "parametro").size(), 4u);
    EXPECT_TRUE(selectNodes(output, "/SERVICIO/SALIDAS/listasal[@seq=\"CURSOS\"]").empty());
    EXPECT_THAT(readFile(result),
                HasSubstr("<parametro dato=\"D_CENTRO\">I.E.S. Montes de Velmora"));
}

} // namespace
} // namespace velmora::testing
