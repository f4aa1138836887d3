// What a person reads when a run fails, through velmora-cli: a Spanish sentence that names what
// went wrong and where, with nothing of the libraries' English.
#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>

namespace velmora::testing {
namespace {

using ::testing::HasSubstr;

// The first word of the libraries' English found in a message, or "" when there is none.
std::string englishWordIn(const std::string& message) {
    static const std::set<std::string> english{"the",    "file",    "cannot", "found",
                                               "unable", "invalid", "failed"};
    std::string word;
    for (const char c : message + " ") {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (!word.empty()) {
            if (english.contains(word)) {
                return word;
            }
            word.clear();
        }
    }
    return "";
}

// A school with one teacher and one time frame, and an exchange folder holding the tables a
// conversion and a timetable leave.
struct Scene {
    Scene() {
        std::filesystem::create_directory(exchange);
        writeFile(document, sauceXml({{"PROFESORES", {{"E1", "F1", "Ana", "ANA"}}},
                                      {"JORNADAS", {{"M1", "Mañana", "-"}}}}));
        for (const TableLayout& layout : convertedTables()) {
            writeTable(exchange, layout, {});
        }
        writeTable(exchange, tables::SOLUC::layout, {});
    }

    CliOutcome run(const std::string& command) const {
        return runCli(temp, {command, pathToUtf8(document), "--exchange", pathToUtf8(exchange)});
    }

    TempDir temp;
    std::filesystem::path document = temp / "escuela.xml";
    std::filesystem::path exchange = temp / "HTEMP";
    std::unique_ptr<ForeignLock> held; // another program's hold on a table, if any
};

struct FailureCase {
    const char* name;
    const char* command;
    std::function<void(Scene&)> arrange;
    std::string words;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class FailingRun : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailingRun, saysWhatWentWrongInSpanish) {
    const FailureCase& c = GetParam();
    Scene scene;
    c.arrange(scene);
    const CliOutcome outcome = scene.run(c.command);
    EXPECT_EQ(outcome.status, 1) << outcome.out;
    EXPECT_THAT(outcome.err, HasSubstr(c.words));
    EXPECT_EQ(englishWordIn(outcome.err), "") << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, FailingRun,
    ::testing::Values(
        FailureCase{"BrokenDocument", "convert",
                    [](Scene& s) { writeFile(s.document, "<SERVICIO><SALIDAS></SERVICIO>"); },
                    "no es un documento XML válido"},
        FailureCase{"EntityDeclarations", "convert",
                    [](Scene& s) {
                        writeFile(s.document, "<!DOCTYPE SERVICIO [<!ENTITY a \"x\">]>"
                                              "<SERVICIO><SALIDAS/></SERVICIO>");
                    },
                    "declara entidades XML propias"},
        FailureCase{"NoExchangeFolder", "convert",
                    [](Scene& s) { std::filesystem::remove_all(s.exchange); },
                    "No existe la carpeta de intercambio"},
        FailureCase{
            "TableInUse", "convert",
            [](Scene& s) { s.held = std::make_unique<ForeignLock>(s.exchange / "PROFT.DBF"); },
            "está abierta en otro programa"},
        FailureCase{"BadTime", "convert",
                    [](Scene& s) {
                        writeFile(s.document,
                                  sauceXml({{"JORNADAS", {{"M1", "Mañana", "-"}}},
                                            {"INTERVALOS",
                                             {{"dato=CODIGO_SAUCE|T1", "dato=INICIO|25:99",
                                               "dato=FIN|26:00", "dato=CLAVE_JORNADA|M1"}}}}));
                    },
                    "no es una hora válida"},
        FailureCase{"NoSolution", "results",
                    [](Scene& s) { std::filesystem::remove(s.exchange / "SOLUC.DBF"); },
                    "No se encuentra la tabla SOLUC"},
        FailureCase{"DamagedSolution", "results",
                    [](Scene& s) { writeFile(s.exchange / "SOLUC.DBF", "no es una tabla"); },
                    "está dañada"},
        FailureCase{"UnknownCodePage", "results",
                    [](Scene& s) { writeFile(s.exchange / "SOLUC.cpg", "KOI8-XYZ"); },
                    "codificación de texto desconocida"},
        FailureCase{"DocumentWithoutSalidas", "results",
                    [](Scene& s) { writeFile(s.document, "<SERVICIO><ENTRADAS/></SERVICIO>"); },
                    "no tiene el elemento SALIDAS"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora::testing
