#include "formats/ServiceSections.h"
#include "support/TestSupport.h"
#include "support/XmlTree.h"

#include <gtest/gtest.h>
#include <set>

namespace velmora {
namespace {

using testing::declaredEncoding;
using testing::exampleDocument;
using testing::readFile;
using testing::TempDir;

std::set<std::string> valuesAt(const std::vector<SauceRecord>& records, std::size_t p) {
    std::set<std::string> values;
    for (const auto& record : records) {
        values.emplace(record.value(p));
    }
    return values;
}

TEST(ExampleDocument, isAnIso88591ServiceDocumentWithEverySection) {
    EXPECT_EQ(declaredEncoding(XmlDocument::load(exampleDocument())), "ISO-8859-1");
    const ServiceSections sections = ServiceSections::load(exampleDocument());
    const std::vector<std::pair<std::string, std::size_t>> counts = {
        {"CURSOS", 10},   {"GRUPOS", 14}, {"PROFESORES", 20}, {"AULAS", 10},
        {"MATERIAS", 42}, {"TAREAS", 5},  {"JORNADAS", 2},    {"INTERVALOS", 13}};
    for (const auto& [section, count] : counts) {
        EXPECT_EQ(sections.records(section).size(), count) << section;
    }
}

TEST(ExampleDocument, readsAccentedValuesAsUtf8) {
    const ServiceSections sections = ServiceSections::load(exampleDocument());
    const auto& subjects = sections.records("MATERIAS");
    ASSERT_GE(subjects.size(), 2u);
    EXPECT_EQ(subjects[1].value(1), "Matemáticas");
    const auto& courses = sections.records("CURSOS");
    ASSERT_FALSE(courses.empty());
    EXPECT_EQ(courses[0].value(1), "1º de Educación Secundaria Obligatoria");
    const auto& frames = sections.records("JORNADAS");
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].value(1), "Mañana");
}

TEST(ExampleDocument, isConsistent) {
    const ServiceSections sections = ServiceSections::load(exampleDocument());
    const auto courseKeys = valuesAt(sections.records("CURSOS"), 0);
    for (const auto& group : sections.records("GRUPOS")) {
        EXPECT_EQ(courseKeys.count(std::string(group.value(2))), 1u) << group.value(1);
    }
    for (const auto& subject : sections.records("MATERIAS")) {
        EXPECT_EQ(subject.valueCount(), 5u) << subject.value(0);
        EXPECT_EQ(courseKeys.count(std::string(subject.value(3))), 1u) << subject.value(1);
    }
    const auto taskKeys = valuesAt(sections.records("TAREAS"), 0);
    for (const std::string key : {"156", "281", "286"}) {
        EXPECT_EQ(taskKeys.count(key), 1u) << key;
    }
    const auto frameKeys = valuesAt(sections.records("JORNADAS"), 0);
    EXPECT_EQ(frameKeys, (std::set<std::string>{"MANANA", "TARDE"}));
    const std::vector<std::string> names = {"CODIGO_SAUCE", "NOMBRE", "INICIO",
                                            "FIN",          "ORDEN",  "CLAVE_JORNADA"};
    for (const auto& slot : sections.records("INTERVALOS")) {
        ASSERT_EQ(slot.valueCount(), names.size());
        for (std::size_t p = 0; p < names.size(); ++p) {
            EXPECT_EQ(slot.dato(p), names[p]) << slot.value(0);
        }
        EXPECT_EQ(frameKeys.count(std::string(slot.value(5))), 1u) << slot.value(0);
    }
}

TEST(ExampleDocument, savesBackInIso88591WithItsDeclaration) {
    TempDir dir;
    XmlDocument::load(exampleDocument()).save(dir / "copia.xml");

    const std::string saved = readFile(dir / "copia.xml");
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO>", 0), 0u);
    EXPECT_NE(saved.find("Matem\xE1ticas"), std::string::npos);
    EXPECT_NE(saved.find("Ma\xF1"
                         "ana"),
              std::string::npos);
    EXPECT_EQ(saved.find("\xC3\xA1"), std::string::npos); // no UTF-8 á
    const ServiceSections again = ServiceSections::load(dir / "copia.xml");
    EXPECT_EQ(again.records("MATERIAS").size(), 42u);
    EXPECT_EQ(again.records("JORNADAS").at(0).value(1), "Mañana");
}

} // namespace
} // namespace velmora
