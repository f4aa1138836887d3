#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>

namespace velmora::testing {
namespace {

using Json = nlohmann::json;

// The example is ISO-8859-1: what the tests add is ASCII, with character references for the
// rest, so that the copy keeps the example's encoding.
std::size_t lineHolding(const std::string& text, const std::string& part) {
    const std::size_t found = text.find(part);
    if (found == std::string::npos) {
        throw std::invalid_argument("the example has no line with " + part);
    }
    return text.rfind('\n', found) + 1;
}

void insertLineBefore(std::string& text, const std::string& part, const std::string& line) {
    text.insert(lineHolding(text, part), line + "\n");
}

void insertLineAfter(std::string& text, const std::string& part, const std::string& line) {
    text.insert(text.find('\n', lineHolding(text, part)) + 1, line + "\n");
}

void removeLine(std::string& text, const std::string& part) {
    const std::size_t start = lineHolding(text, part);
    text.erase(start, text.find('\n', start) + 1 - start);
}

std::string record(const std::vector<std::string>& values) {
    std::string line = "      <listasal>";
    for (const std::string& value : values) {
        line += "<salida>" + value + "</salida>";
    }
    return line + "</listasal>";
}

const std::string kLongName = "Proyecto interdisciplinar de investigaci&#243;n sobre el "
                              "patrimonio natural, hist&#243;rico y cultural de la comarca";

// The example school with what a real one brings sooner or later: a name the tables cannot
// hold, two teachers of one surname, a name too long for its field, a record with one value, a
// slot value without its name, wrong minutes in a course without groups, and a subject code
// that Sauce gives twice with two names.
std::string exampleWithSurprises() {
    std::string xml = readFile(exampleDocument());
    insertLineAfter(xml, "<listasal><salida>100411</salida>",
                    record({"100420", "01/09/2025", "&#321;ukasz Wr&#243;bel", "WR&#211;BEL"}));
    insertLineAfter(xml, "<listasal><salida>100420</salida>",
                    record({"100425", "01/09/2025", "Mar&#237;n Pozo, Clara", "MAR&#205;N"}));
    insertLineAfter(xml, "<listasal><salida>8010</salida>", record({"8011"}));
    insertLineAfter(xml, "<listasal><salida>6010</salida>",
                    record({"6011", "Curso de especializaci&#243;n", "FP", "CE", "1"}));
    insertLineAfter(xml, "<listasal><salida>300107</salida>",
                    record({"300112", "M&#250;sica y Movimiento", "MUS", "6001", "60"}));
    insertLineAfter(xml, "<listasal><salida>301001</salida>",
                    record({"300305", kLongName, "PIPN", "6003", "60"}));
    insertLineAfter(xml, "<listasal><salida>300305</salida>",
                    record({"301101", "Proyecto de empresa", "PEM", "6011", "dos horas"}));
    const std::string firstSlotEnd = "<salida dato=\"CLAVE_JORNADA\">MANANA</salida></listasal>";
    xml.replace(xml.find(firstSlotEnd), firstSlotEnd.size(),
                "<salida dato=\"CLAVE_JORNADA\">MANANA</salida><salida>sin nombre</salida>"
                "</listasal>");
    return xml;
}

// The same school a while later: a teacher of a surname it had comes first in the list, and
// the gym is no longer a room.
std::string exampleLater() {
    std::string xml = exampleWithSurprises();
    insertLineBefore(xml, "<listasal><salida>100231</salida>",
                     record({"100230", "01/09/2026", "Garc&#237;a Pozo, Laura", "GARC&#205;A"}));
    removeLine(xml, "<listasal><salida>8010</salida>");
    return xml;
}

std::set<std::string> kindsIn(const Json& notes) {
    std::set<std::string> kinds;
    for (const Json& note : notes) {
        kinds.insert(note.at("kind").get<std::string>());
    }
    return kinds;
}

::testing::AssertionResult holds(const Json& notes, const Json& note) {
    if (std::find(notes.begin(), notes.end(), note) != notes.end()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no note " << note.dump() << " among " << notes.dump(2);
}

class ExampleReport : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(exchange); }

    Json convert(const std::string& xml) {
        writeFile(document, xml);
        const CliOutcome outcome =
            runCli(home, {"convert", pathToUtf8(document), "--exchange", pathToUtf8(exchange),
                          "--frames", "MANANA,TARDE", "--report", pathToUtf8(report)});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        return Json::parse(readFile(report));
    }

    TempDir home;
    std::filesystem::path exchange = home / "HTEMP";
    std::filesystem::path document = home / "instituto.xml";
    std::filesystem::path report = home / "avisos.json";
};

TEST_F(ExampleReport, TwoConversionsShowEveryKindOfConversionNote) {
    const Json first = convert(exampleWithSurprises());
    EXPECT_EQ(kindsIn(first.at("notes")),
              (std::set<std::string>{"code-numbered", "text-cut", "characters-replaced",
                                     "record-skipped", "value-ignored", "minutes-unused"}));
    EXPECT_EQ(first.at("changes"), Json::object());

    const Json later = convert(exampleLater());
    const Json& notes = later.at("notes");
    EXPECT_EQ(kindsIn(notes),
              (std::set<std::string>{"code-numbered", "text-cut", "characters-replaced",
                                     "record-skipped", "value-ignored", "minutes-unused",
                                     "row-added", "row-removed", "code-moved"}));

    EXPECT_TRUE(holds(notes, {{"kind", "characters-replaced"},
                              {"table", "PROFT"},
                              {"record", 22},
                              {"field", "NOMBRE"},
                              {"value", "Łukasz Wróbel"},
                              {"stored", "Lukasz Wróbel"}}));
    EXPECT_TRUE(holds(notes, {{"kind", "code-numbered"},
                              {"table", "PROFT"},
                              {"record", 23},
                              {"field", "ABREV"},
                              {"value", "MARÍN"},
                              {"code", "MARÍN1"}}));
    EXPECT_TRUE(holds(notes, {{"kind", "text-cut"},
                              {"table", "ASIGNOMT"},
                              {"record", 33},
                              {"field", "NOMBRE"},
                              {"value", "Proyecto interdisciplinar de investigación sobre el "
                                        "patrimonio natural, histórico y cultural de la comarca"},
                              {"stored", "Proyecto interdisciplinar de investigación sobre el "
                                         "patrimonio natural, históric"}}));
    EXPECT_TRUE(holds(notes, {{"kind", "record-skipped"},
                              {"section", "AULAS"},
                              {"record", 10},
                              {"reason", "few-values"}}));
    EXPECT_TRUE(holds(notes, {{"kind", "record-skipped"},
                              {"section", "MATERIAS"},
                              {"record", 8},
                              {"value", "MUS"},
                              {"code", "MUS"},
                              {"before", "Música"},
                              {"after", "Música y Movimiento"},
                              {"reason", "repeated-code"}}));
    EXPECT_TRUE(holds(notes, {{"kind", "value-ignored"},
                              {"section", "INTERVALOS"},
                              {"record", 1},
                              {"field", "7"},
                              {"value", "sin nombre"},
                              {"reason", "no-dato"}}));
    EXPECT_TRUE(holds(notes, {{"kind", "minutes-unused"},
                              {"section", "MATERIAS"},
                              {"record", 45},
                              {"value", "dos horas"}}));
    EXPECT_TRUE(holds(
        notes,
        {{"kind", "row-added"}, {"table", "PROFT"}, {"value", "100230 (García Pozo, Laura)"}}));
    EXPECT_TRUE(
        holds(notes, {{"kind", "row-removed"}, {"table", "AULAT"}, {"value", "8010 (Gimnasio)"}}));
    EXPECT_TRUE(holds(notes, {{"kind", "code-moved"},
                              {"table", "PROFT"},
                              {"code", "GARCÍA"},
                              {"before", "100231 (García López, María del Carmen)"},
                              {"after", "100230 (García Pozo, Laura)"}}));
    EXPECT_TRUE(holds(notes, {{"kind", "code-moved"},
                              {"table", "PROFT"},
                              {"code", "GARCÍA1"},
                              {"before", "100232 (García Ruiz, José Antonio)"},
                              {"after", "100231 (García López, María del Carmen)"}}));
    EXPECT_EQ(later.at("changes").at("PROFT"), Json({{"added", 1}, {"removed", 0}}));
    EXPECT_EQ(later.at("changes").at("AULAT"), Json({{"added", 0}, {"removed", 1}}));
    EXPECT_EQ(later.at("tables").at("PROFT"), 23);
}

TEST_F(ExampleReport, AResultsRunShowsBothKindsOfResultsNote) {
    convert(exampleLater());
    // GIL's first hour on Monday morning, a lesson Horadia did not place, and one in a room the
    // school does not have.
    writeTable(exchange, tables::SOLUC::layout,
               {{{"PROF", "GIL"}, {"AULA", "A101"}, {"DIA", "1"}, {"HORA", "1"}, {"MARCO", "0"}},
                {{"PROF", "GIL"}, {"DIA", "0"}},
                {{"PROF", "GIL"}, {"AULA", "Z99"}, {"DIA", "2"}, {"HORA", "1"}, {"MARCO", "0"}}});

    const CliOutcome outcome = runCli(home, {"results", pathToUtf8(document), "--exchange",
                                             pathToUtf8(exchange), "--report", pathToUtf8(report)});
    ASSERT_EQ(outcome.status, 0) << outcome.err;

    const Json json = Json::parse(readFile(report));
    EXPECT_EQ(json.at("result"), pathToUtf8(home / "ResultadoHoradiainstituto.xml"));
    EXPECT_EQ(json.at("lessons"), 2);
    EXPECT_EQ(json.at("notes"), Json::parse(R"json([
        {"kind": "lesson-not-placed", "table": "SOLUC", "record": 2, "reason": "no-day"},
        {"kind": "code-not-found", "table": "SOLUC", "record": 3, "field": "AULA", "code": "Z99"}
    ])json"))
        << json.at("notes").dump(2);
}

} // namespace
} // namespace velmora::testing
