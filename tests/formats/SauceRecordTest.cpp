#include "formats/ServiceSections.h"
#include "services/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::sauceXml;

std::vector<std::string> firstValues(const std::vector<SauceRecord>& records) {
    std::vector<std::string> out;
    for (const auto& record : records) {
        out.emplace_back(record.value(0));
    }
    return out;
}

ServiceSections parse(const std::string& xml) {
    return ServiceSections::parse(xml, "servicio.xml");
}

TEST(SectionRecords, sectionsOfOneNameGiveAllTheirRecordsInDocumentOrder) {
    const ServiceSections sections = parse(sauceXml({
        {"MATERIAS", {{"M1", "Matemáticas"}, {"M2", "Lengua"}}},
        {"AULAS", {{"A1", "Aula 1"}}},
        {"MATERIAS", {{"M3", "Inglés"}}},
    }));
    EXPECT_EQ(firstValues(sections.records("MATERIAS")),
              (std::vector<std::string>{"M1", "M2", "M3"}));
    EXPECT_EQ(firstValues(sections.records("AULAS")), (std::vector<std::string>{"A1"}));
}

TEST(SectionRecords, missingOrMisnamedSectionsGiveNoRecords) {
    const ServiceSections sections = parse(sauceXml({{"materias", {{"M1", "Matemáticas"}}},
                                                     {"MATERIA", {{"M2", "Lengua"}}},
                                                     {"", {{"M3", "Inglés"}}}}));
    EXPECT_TRUE(sections.records("TAREAS").empty());
    EXPECT_TRUE(sections.records("MATERIAS").empty()); // names are case-sensitive and whole
}

TEST(SectionRecords, onlyRecordsDirectlyInASectionUnderServicioSalidasCount) {
    const ServiceSections sections = parse(R"(<SERVICIO>
      <OTRO><listasal seq="MATERIAS"><listasal><salida>fuera</salida></listasal></listasal></OTRO>
      <SALIDAS>
        <listasal seq="MATERIAS">
          <listasal><salida>M1</salida><listasal><salida>anidado</salida></listasal></listasal>
          <registro><salida>otro elemento</salida></registro>
        </listasal>
        <grupo><listasal seq="MATERIAS"><listasal><salida>hondo</salida></listasal></listasal></grupo>
      </SALIDAS>
    </SERVICIO>)");
    const auto& records = sections.records("MATERIAS");
    EXPECT_EQ(firstValues(records), (std::vector<std::string>{"M1"}));
    EXPECT_EQ(records[0].valueCount(), 1u);
}

TEST(SauceRecordValues, areTheSalidaChildrenInOrderTrimmedOfCodesUpTo32) {
    const ServiceSections sections =
        parse("<SERVICIO><SALIDAS><listasal seq=\"MATERIAS\"><listasal>"
              "<salida>  M1\t</salida>"
              "<nota>no es un valor</nota>"
              "<salida>\n\r\t Educación  Física &#13;\t\n</salida>"
              "<salida></salida>"
              "<salida><b>Lat</b>ín</salida>"
              "<salida>\xC2\xA0"
              "120\xC2\xA0</salida>"
              "</listasal></listasal></SALIDAS></SERVICIO>");
    const auto& records = sections.records("MATERIAS");
    ASSERT_EQ(records.size(), 1u);
    const SauceRecord& record = records[0];

    EXPECT_EQ(record.valueCount(), 5u);
    EXPECT_EQ(record.value(0), "M1");
    EXPECT_EQ(record.rawValue(0), "  M1\t");
    EXPECT_EQ(record.value(1), "Educación  Física");                  // inner blanks stay
    EXPECT_EQ(record.rawValue(1), "\n\n\t Educación  Física \r\t\n"); // a bare \r reads as \n
    EXPECT_EQ(record.value(2), "");
    EXPECT_EQ(record.value(3), "Latín");
    // A no-break space is not among the codes 0 to 32 and stays.
    EXPECT_EQ(record.value(4), "\xC2\xA0"
                               "120\xC2\xA0");
}

TEST(SauceRecordValues, aMissingPositionReadsAsEmpty) {
    const ServiceSections sections = parse(sauceXml({{"MATERIAS", {{"M1", "Matemáticas"}, {}}}}));
    const auto& records = sections.records("MATERIAS");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].value(4), "");
    EXPECT_EQ(records[0].rawValue(2), "");
    EXPECT_FALSE(records[0].hasDato(7));
    EXPECT_EQ(records[0].dato(7), "");
    EXPECT_EQ(records[1].valueCount(), 0u);
    EXPECT_EQ(records[1].value(0), "");
}

TEST(SauceRecordValues, datoIsReadExactlyAsWritten) {
    const ServiceSections sections =
        parse(sauceXml({{"INTERVALOS",
                         {{"dato=CODIGO_SAUCE|1", "dato=nombre|Primera", "dato= INICIO |8:30",
                           "sin dato", "dato=|vacío"}}}}));
    const auto& records = sections.records("INTERVALOS");
    ASSERT_EQ(records.size(), 1u);
    const SauceRecord& record = records[0];
    EXPECT_TRUE(record.hasDato(0));
    EXPECT_EQ(record.dato(0), "CODIGO_SAUCE");
    EXPECT_EQ(record.dato(1), "nombre");
    EXPECT_EQ(record.dato(2), " INICIO ");
    EXPECT_EQ(record.value(2), "8:30");
    EXPECT_FALSE(record.hasDato(3));
    EXPECT_EQ(record.dato(3), "");
    EXPECT_TRUE(record.hasDato(4));
    EXPECT_EQ(record.dato(4), "");
}

} // namespace
} // namespace velmora
