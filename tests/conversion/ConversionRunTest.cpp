#include "conversion/ConversionRun.h"
#include "services/Error.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace velmora {
namespace {

using testing::failsWith;
using testing::ForeignLock;
using testing::readRows;
using testing::sauceXml;
using testing::TempDir;
using testing::writeFile;

class NoDialog : public FrameChooser {
public:
    std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
        throw std::logic_error("the test's documents have one time frame");
    }
};

std::string schoolDocument(const std::string& teacherSource, const std::string& slotStart) {
    return sauceXml({
        {"MATERIAS", {{"M1", "Matemáticas", "MATES", "C1", "120"}}},
        {"TAREAS", {{"156", "Lectiva", "LECT", "S"}}},
        {"PROFESORES", {{"E1", "01/09/2015", "Ana Pérez", teacherSource}}},
        {"AULAS", {{"A1", "Aula 1", "AULA1"}}},
        {"CURSOS", {{"C1", "1º ESO", "", "ESO", "1"}}},
        {"GRUPOS", {{"G1", "1 ESO A", "C1"}}},
        {"JORNADAS", {{"M1", "Mañana", "01/09/2026"}}},
        {"INTERVALOS",
         {{"dato=CODIGO_SAUCE|T1", "dato=NOMBRE|Primera", "dato=INICIO|" + slotStart,
           "dato=FIN|09:25", "dato=ORDEN|1", "dato=CLAVE_JORNADA|M1"}}},
    });
}

// Every file of the folder (not its subfolders) with its bytes.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[entry.path().filename().string()] =
            entry.is_regular_file() ? testing::readFile(entry.path()) : "<folder>";
    }
    return files;
}

const char* const kTables[] = {"ASIGNOMT", "ASIGNOMT2", "PROFT",      "AULAT",
                               "CURSOST",  "GRUPOST",   "DIASHORAST", "ASIGT"};

class ConversionRunTest : public ::testing::Test {
protected:
    void convert(const std::string& xml) {
        writeFile(document, xml);
        ConversionRun(document, exchange.path(), chooser).run();
    }

    TempDir home;
    TempDir exchange;
    std::filesystem::path document = home / "sauce.xml";
    NoDialog chooser;
};

TEST_F(ConversionRunTest, WritesTheEightTablesAndReportsTheirRows) {
    writeFile(document, schoolDocument("PEREZ", "08:30"));
    const auto summary = ConversionRun(document, exchange.path(), chooser).run();

    std::map<std::string, int> rows(summary.rowsPerTable.begin(), summary.rowsPerTable.end());
    EXPECT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows["ASIGNOMT"], 2);
    EXPECT_EQ(rows["PROFT"], 1);
    EXPECT_EQ(rows["DIASHORAST"], 7);
    for (const char* table : kTables) {
        EXPECT_TRUE(std::filesystem::exists(exchange / (std::string(table) + ".DBF"))) << table;
    }
    EXPECT_EQ(readRows(exchange / "PROFT.DBF").at(0).at("ABREV"), "PEREZ");
    EXPECT_EQ(snapshot(exchange.path()).size(), 8u) << "no working folder may be left behind";
}

TEST_F(ConversionRunTest, ReplacesOldTablesWhateverTheirCaseAndRemovesStaleIndexes) {
    writeFile(exchange / "proft.dbf", "an old teacher table");
    writeFile(exchange / "PROFT.MDX", "its index");
    writeFile(exchange / "Asigt.Mdx", "another stale index");
    writeFile(exchange / "SOLUC.DBF", "the timetable program's solution");
    writeFile(exchange / "notas.txt", "somebody's notes");

    convert(schoolDocument("PEREZ", "08:30"));

    const auto files = snapshot(exchange.path());
    EXPECT_EQ(files.count("proft.dbf"), 0u);
    EXPECT_EQ(files.count("PROFT.MDX"), 0u);
    EXPECT_EQ(files.count("Asigt.Mdx"), 0u);
    EXPECT_EQ(files.at("SOLUC.DBF"), "the timetable program's solution");
    EXPECT_EQ(files.at("notas.txt"), "somebody's notes");
    EXPECT_EQ(readRows(exchange / "PROFT.DBF").size(), 1u);
}

TEST_F(ConversionRunTest, AFailureInTheLastBuilderLeavesEveryEarlierTableByteForByte) {
    convert(schoolDocument("PEREZ", "08:30"));
    writeFile(exchange / "ASIGNOMT.MDX", "an index of the earlier run");
    const auto before = snapshot(exchange.path());

    // Other teachers, and a start time the day builder cannot read: it fails after the
    // seven builders before it have written their tables.
    writeFile(document, schoolDocument("LOPEZ", "8h"));
    EXPECT_THROW(ConversionRun(document, exchange.path(), chooser).run(), Error);

    EXPECT_EQ(snapshot(exchange.path()), before);
}

TEST_F(ConversionRunTest, ATableHeldByAnotherProgramStopsTheRunBeforeAnythingChanges) {
    convert(schoolDocument("PEREZ", "08:30"));
    const auto before = snapshot(exchange.path());
    {
        ForeignLock horadia(exchange / "GRUPOST.DBF");
        writeFile(document, schoolDocument("LOPEZ", "08:30"));
        EXPECT_TRUE(failsWith([&] { ConversionRun(document, exchange.path(), chooser).run(); },
                              ErrorKind::TableInUse, {.table = "GRUPOST"}));
    }
    // Read once the table is free: on Windows nobody may read it while it is held.
    EXPECT_EQ(snapshot(exchange.path()), before);
}

TEST_F(ConversionRunTest, ATableHeldByAnotherProgramIsReportedBeforeTheFrameQuestion) {
    convert(schoolDocument("PEREZ", "08:30"));
    ForeignLock horadia(exchange / "DIASHORAST.DBF");

    class RecordingChooser : public FrameChooser {
    public:
        std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
            asked = true;
            return "M1        T1        ";
        }
        bool asked = false;
    } frames;
    writeFile(document, sauceXml({{"JORNADAS", {{"M1"}, {"T1"}}}}));
    EXPECT_THROW(ConversionRun(document, exchange.path(), frames).run(), Error);
    EXPECT_FALSE(frames.asked);
}

TEST_F(ConversionRunTest, ADocumentThatIsNotXmlChangesNothing) {
    convert(schoolDocument("PEREZ", "08:30"));
    const auto before = snapshot(exchange.path());

    writeFile(document, "<SERVICIO><SALIDAS></SERVICIO>");
    EXPECT_THROW(ConversionRun(document, exchange.path(), chooser).run(), Error);
    EXPECT_EQ(snapshot(exchange.path()), before);
}

TEST_F(ConversionRunTest, AMissingExchangeFolderIsNamedInTheError) {
    writeFile(document, schoolDocument("PEREZ", "08:30"));
    const auto missing = exchange / "HTEMP";
    EXPECT_TRUE(failsWith([&] { ConversionRun(document, missing, chooser).run(); },
                          ErrorKind::ExchangeFolderMissing, {.file = missing}));
}

TEST_F(ConversionRunTest, EachRunStartsWithEmptyCodeLists) {
    convert(schoolDocument("PEREZ", "08:30"));
    convert(schoolDocument("PEREZ", "08:30"));
    EXPECT_EQ(readRows(exchange / "ASIGNOMT.DBF").at(0).at("COD"), "MATES");
    EXPECT_EQ(readRows(exchange / "PROFT.DBF").at(0).at("ABREV"), "PEREZ");
}

} // namespace
} // namespace velmora
