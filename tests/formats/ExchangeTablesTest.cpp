#include "formats/ExchangeTables.h"
#include "services/DbfHeaderCheck.h"
#include "services/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

// A table's columns as they lie in its file: "NAME:TypeWidth[,decimals]" in file order.
std::string columnsOnDisk(const std::filesystem::path& file) {
    const std::string bytes = readFile(file);
    const DbfHeader header = checkDbfHeader(bytes, file);
    std::string out;
    for (const DbfColumn& column : header.columns) {
        out += (out.empty() ? "" : " ") + column.name + ":" + column.type +
               std::to_string(column.width) +
               (column.decimals != 0 ? "," + std::to_string(column.decimals) : "");
    }
    return out;
}

struct ExpectedLayout {
    const TableLayout* layout;
    const char* columns;
};

const std::vector<ExpectedLayout> expectedLayouts{
    {&tables::ASIGNOMT, "COD:C10 CODLARGO:C10 NOMBRE:C80 MATERIA:C8 CODTAREA:C10 ESTAREA:L1"},
    {&tables::ASIGNOMT2, "COD:C10 CODLARGO:C10 NOMBRE:C40 MATERIA:C8 CLAVECURSO:C12 ALECTIVA:C1"},
    {&tables::PROFT,
     "ABREV:C10 NOMBRE:C80 DEPART:C40 DNI:N11 X_EMPLEADO:C10 F_TOMAPOS:C10 EMAIL:C100"},
    {&tables::AULAT, "ABREV:C10 NOMBRE:C80 EDIFICIO:C1 MAXALUM:N11 DEPCENTRO:C10"},
    {&tables::CURSOST, "ABREV:C3 TURNO:C1 NIVEL:C5 CURSO:C3 CLAVE:C12 DESCRICUR:C80"},
    {&tables::GRUPOST, "ABREV:C10 TURNO:C1 NIVEL:C5 CURSO:C3 GRUPO:C2 DESCRIP:C80 MARCO:C1 "
                       "CLAVE:C10 CLAVECURSO:C12"},
    {&tables::ASIGT, "CASIG:C10 CPROF:C10 CGRUP:C10 CAULA:C10 TURNO:C1 NIVEL:C5 CURSO:C3 "
                     "GRUPO:C2 HORAS:N20,4 SESIONES:C20 NCONEX:C4 CLAVE:C10 CLAVECURSO:C12 "
                     "CTAREA:C10"},
    {&tables::DIASHORAST, "DIHO:C10 CODDIHO:C10 DIA:C20 TEXTODIA:C20 HORA:C8 TEXTOHOR:C15 "
                          "HORADESDE:C8 HORAHASTA:C8 MINUTOS:C8 MARCO:C1 MARCOXML:C10"},
    {&tables::SOLUC, "ASIG:C4 PROF:C4 CODGRUPO:C4 TURNO:C1 NIVEL:C5 CURSO:C3 GRUPO:C1 AULA:C4 "
                     "TAREA:C4 DIA:N20,4 HORA:N20,4 SESIONES:N20,4 MARCO:C1"},
};

class ExchangeTableLayout : public ::testing::TestWithParam<ExpectedLayout> {};

TEST_P(ExchangeTableLayout, IsCreatedAsAnUpperCaseFileWithItsFieldsInOrder) {
    TempDir dir;
    const TableLayout& layout = *GetParam().layout;
    createTable(dir.path(), layout);
    const auto file = dir / (layout.name + ".DBF");
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(columnsOnDisk(file), GetParam().columns);
    EXPECT_EQ(openTable(dir.path(), layout.name, OpenMode::Shared).recordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Tables, ExchangeTableLayout, ::testing::ValuesIn(expectedLayouts),
                         [](const auto& info) { return info.param.layout->name; });

} // namespace

TEST(ExchangeTables, TheConversionCreatesEightTablesInBuilderOrder) {
    std::vector<std::string> names;
    for (const TableLayout* layout : convertedTables()) {
        names.push_back(layout->name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ASIGNOMT", "ASIGNOMT2", "PROFT", "AULAT", "CURSOST",
                                               "GRUPOST", "ASIGT", "DIASHORAST"}));
}

TEST(ExchangeTables, FieldsNeverWrittenReadBackEmptyOrZero) {
    TempDir dir;
    createTable(dir.path(), tables::PROFT);
    {
        Table table = openTable(dir.path(), "PROFT", OpenMode::Shared);
        table.append();
        table.writeText("ABREV", "JGP");
        table.post();
    }
    Table table = openTable(dir.path(), "PROFT", OpenMode::Exclusive);
    EXPECT_EQ(table.readText("ABREV"), "JGP");
    EXPECT_EQ(table.readText("DEPART"), "");
    EXPECT_EQ(table.readText("DNI"), "");
    EXPECT_EQ(table.readInteger("DNI"), 0);
    EXPECT_EQ(table.readText("EMAIL"), "");
}

TEST(ExchangeTables, KeysAreCutToTheirFieldWidth) {
    TempDir dir;
    createTable(dir.path(), tables::GRUPOST);
    {
        Table table = openTable(dir.path(), "GRUPOST", OpenMode::Shared);
        table.append();
        table.writeText("CLAVE", "123456789012");
        table.writeText("CLAVECURSO", "ABCDEFGHIJKL");
        table.post();
    }
    const auto rows = readRows(dir / "GRUPOST.DBF");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("CLAVE"), "1234567890");
    EXPECT_EQ(rows[0].at("CLAVECURSO"), "ABCDEFGHIJKL");
}

TEST(ExchangeTables, CreatingATableAgainLeavesNoEarlierRecord) {
    TempDir dir;
    createTable(dir.path(), tables::AULAT);
    {
        Table table = openTable(dir.path(), "AULAT", OpenMode::Shared);
        table.append();
        table.writeText("ABREV", "OLD");
        table.post();
    }
    createTable(dir.path(), tables::AULAT);
    EXPECT_TRUE(readRows(dir / "AULAT.DBF").empty());
}

TEST(ExchangeTables, OpensATableWhateverTheLetterCaseOfItsFile) {
    TempDir dir;
    // Written anew rather than renamed: Wine keeps a file's name when only its case changes.
    const TempDir made;
    createTable(made.path(), tables::SOLUC);
    writeFile(dir / "soluc.dbf", readFile(made / "SOLUC.DBF"));
    {
        Table table = openTable(dir.path(), "SOLUC", OpenMode::Exclusive);
        table.append();
        table.writeText("PROF", "P1");
        table.writeFloat("DIA", 2);
        table.writeFloat("HORA", 3);
        table.writeText("MARCO", "0");
        table.post();
    }
    Table table = openTable(dir.path(), "Soluc", OpenMode::Exclusive);
    EXPECT_EQ(table.readText("DIA"), "2");
    EXPECT_EQ(table.readInteger("HORA"), 3);
    EXPECT_EQ(table.readText("marco"), "0");
    // No second file beside it. Windows' names ignore letter case, so exists() cannot tell.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(pathToUtf8(entry.path().filename()));
    }
    EXPECT_EQ(names, std::vector<std::string>{"soluc.dbf"});
}

// Which folder to look in, relative to a temporary folder ("" for the folder itself), and what
// the user is told when the table cannot be opened there.
struct MissingTableCase {
    const char* name;
    const char* folder;
    const char* table;
    const char* message; // {folder} stands for the folder's path
};

class MissingTable : public ::testing::TestWithParam<MissingTableCase> {};

TEST_P(MissingTable, TellsWhatToDoFirst) {
    const MissingTableCase& c = GetParam();
    TempDir dir;
    writeFile(dir / "PLAIN", "not a folder");
    const std::filesystem::path folder =
        std::string(c.folder).empty() ? dir.path() : dir / c.folder;
    std::string expected = c.message;
    expected.replace(expected.find("{folder}"), 8, folder.string());
    try {
        openTable(folder, c.table, OpenMode::Exclusive);
        FAIL() << "opened";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ExchangeTables, MissingTable,
    ::testing::Values(
        MissingTableCase{"Solution", "", "SOLUC",
                         "The table SOLUC was not found in the exchange folder {folder}. Let "
                         "Horadia work out the timetable first, then try again."},
        MissingTableCase{"ConvertedTable", "", "proft",
                         "The table proft was not found in the exchange folder {folder}. Convert "
                         "the Sauce document into Horadia's tables first, then try again."},
        MissingTableCase{"OtherTable", "", "NOTAS",
                         "The table NOTAS was not found in the exchange folder {folder}."},
        MissingTableCase{"MissingFolder", "HTEMP", "SOLUC",
                         "The exchange folder {folder} does not exist. Create it, or start "
                         "Horadia once so that it creates it, and try again."},
        MissingTableCase{"FolderIsAFile", "PLAIN", "SOLUC",
                         "The exchange folder {folder} is a file, not a folder. Move or rename "
                         "that file, and try again."}),
    [](const ::testing::TestParamInfo<MissingTableCase>& info) { return info.param.name; });

TEST(ExchangeTables, ATableHeldByAnotherProgramIsNotReplaced) {
    TempDir dir;
    createTable(dir.path(), tables::PROFT);
    ForeignLock horadia(dir / "PROFT.DBF");
    EXPECT_THROW(createTable(dir.path(), tables::PROFT), Error);
    EXPECT_THROW(openTable(dir.path(), "PROFT", OpenMode::Shared), Error);
}
