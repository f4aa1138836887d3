#include "formats/ExchangeTables.h"
#include "formats/TableRows.h"
#include "services/Error.h"
#include "services/dbf/DbfHeader.h"
#include "support/ErrorChecks.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

// A table's columns as they lie in its file: "NAME:TypeWidth[,decimals]" in file order.
std::string columnsOnDisk(const std::filesystem::path& file) {
    const std::string bytes = readFile(file);
    const DbfHeader header = checkDbfHeader(bytes, bytes.size(), file, "T");
    std::string out;
    for (const DbfColumn& column : header.columns) {
        out += (out.empty() ? "" : " ") + column.name + ":" + column.type +
               std::to_string(column.width) +
               (column.decimals != 0 ? "," + std::to_string(column.decimals) : "");
    }
    return out;
}

struct ExpectedLayout {
    TableLayout layout;
    const char* columns;
};

const std::vector<ExpectedLayout> expectedLayouts{
    {tables::ASIGNOMT::layout,
     "COD:C10 CODLARGO:C10 NOMBRE:C80 MATERIA:C8 CODTAREA:C10 ESTAREA:L1"},
    {tables::ASIGNOMT2::layout,
     "COD:C10 CODLARGO:C10 NOMBRE:C40 MATERIA:C8 CLAVECURSO:C12 ALECTIVA:C1"},
    {tables::PROFT::layout,
     "ABREV:C10 NOMBRE:C80 DEPART:C40 DNI:N11 X_EMPLEADO:C10 F_TOMAPOS:C10 EMAIL:C100"},
    {tables::AULAT::layout, "ABREV:C10 NOMBRE:C80 EDIFICIO:C1 MAXALUM:N11 DEPCENTRO:C10"},
    {tables::CURSOST::layout, "ABREV:C3 TURNO:C1 NIVEL:C5 CURSO:C3 CLAVE:C12 DESCRICUR:C80"},
    {tables::GRUPOST::layout, "ABREV:C10 TURNO:C1 NIVEL:C5 CURSO:C3 GRUPO:C2 DESCRIP:C80 MARCO:C1 "
                              "CLAVE:C10 CLAVECURSO:C12"},
    {tables::ASIGT::layout, "CASIG:C10 CPROF:C10 CGRUP:C10 CAULA:C10 TURNO:C1 NIVEL:C5 CURSO:C3 "
                            "GRUPO:C2 HORAS:N20,4 SESIONES:C20 NCONEX:C4 CLAVE:C10 CLAVECURSO:C12 "
                            "CTAREA:C10"},
    {tables::DIASHORAST::layout, "DIHO:C10 CODDIHO:C10 DIA:C20 TEXTODIA:C20 HORA:C8 TEXTOHOR:C15 "
                                 "HORADESDE:C8 HORAHASTA:C8 MINUTOS:C8 MARCO:C1 MARCOXML:C10"},
    {tables::SOLUC::layout,
     "ASIG:C4 PROF:C4 CODGRUPO:C4 TURNO:C1 NIVEL:C5 CURSO:C3 GRUPO:C1 AULA:C4 "
     "TAREA:C4 DIA:N20,4 HORA:N20,4 SESIONES:N20,4 MARCO:C1"},
};

class ExchangeTableLayout : public ::testing::TestWithParam<ExpectedLayout> {};

TEST_P(ExchangeTableLayout, IsWrittenAsAnUpperCaseFileWithItsFieldsInOrder) {
    TempDir dir;
    const TableLayout& layout = GetParam().layout;
    TableRows(layout).writeTo(dir.path());
    const auto file = dir / (std::string(layout.name) + ".DBF");
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(columnsOnDisk(file), GetParam().columns);
    EXPECT_EQ(openTable(dir.path(), layout.name, LockedFile::Lock::Shared).header().recordCount,
              0u);
}

INSTANTIATE_TEST_SUITE_P(Tables, ExchangeTableLayout, ::testing::ValuesIn(expectedLayouts),
                         [](const auto& info) { return std::string(info.param.layout.name); });

} // namespace

TEST(ExchangeTables, TheConversionCreatesEightTablesInBuilderOrder) {
    std::vector<std::string> names;
    for (const TableLayout& layout : convertedTables()) {
        names.emplace_back(layout.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ASIGNOMT", "ASIGNOMT2", "PROFT", "AULAT", "CURSOST",
                                               "GRUPOST", "ASIGT", "DIASHORAST"}));
}

TEST(ExchangeTables, FieldsNeverWrittenReadBackEmptyOrZero) {
    TempDir dir;
    writeTable(dir.path(), tables::PROFT::layout, {{{"ABREV", "JGP"}}});
    DbfReader table = openTable(dir.path(), "PROFT", LockedFile::Lock::Exclusive);
    const auto record = table.next();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text(table.column("ABREV")), "JGP");
    EXPECT_EQ(record->text(table.column("DEPART")), "");
    EXPECT_EQ(record->text(table.column("DNI")), "");
    EXPECT_EQ(record->integer(table.column("DNI")), 0);
    EXPECT_EQ(record->text(table.column("EMAIL")), "");
}

TEST(ExchangeTables, KeysAreCutToTheirFieldWidth) {
    TempDir dir;
    writeTable(dir.path(), tables::GRUPOST::layout,
               {{{"CLAVE", "123456789012"}, {"CLAVECURSO", "ABCDEFGHIJKL"}}});
    const auto rows = readRows(dir / "GRUPOST.DBF");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("CLAVE"), "1234567890");
    EXPECT_EQ(rows[0].at("CLAVECURSO"), "ABCDEFGHIJKL");
}

TEST(ExchangeTables, OpensATableWhateverTheLetterCaseOfItsFile) {
    TempDir dir;
    // Written anew rather than renamed: Wine keeps a file's name when only its case changes.
    const TempDir made;
    writeTable(made.path(), tables::SOLUC::layout,
               {{{"PROF", "P1"}, {"DIA", "2"}, {"HORA", "3"}, {"MARCO", "0"}}});
    writeFile(dir / "soluc.dbf", readFile(made / "SOLUC.DBF"));
    DbfReader table = openTable(dir.path(), "Soluc", LockedFile::Lock::Exclusive);
    const auto record = table.next();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text(table.column("DIA")), "2");
    EXPECT_EQ(record->integer(table.column("HORA")), 3);
    EXPECT_EQ(record->text(table.column("marco")), "0");
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
    ErrorKind kind;
    ErrorReason comesFrom; // what makes the table appear
};

class MissingTable : public ::testing::TestWithParam<MissingTableCase> {};

TEST_P(MissingTable, SaysWhatToDoFirst) {
    const MissingTableCase& c = GetParam();
    TempDir dir;
    writeFile(dir / "PLAIN", "not a folder");
    const std::filesystem::path folder =
        std::string(c.folder).empty() ? dir.path() : dir / c.folder;
    EXPECT_TRUE(failsWith([&] { openTable(folder, c.table, LockedFile::Lock::Exclusive); }, c.kind,
                          {.file = folder, .reason = c.comesFrom}));
}

INSTANTIATE_TEST_SUITE_P(
    ExchangeTables, MissingTable,
    ::testing::Values(MissingTableCase{"Solution", "", "SOLUC", ErrorKind::TableNotFound,
                                       ErrorReason::MadeByHoradia},
                      MissingTableCase{"ConvertedTable", "", "proft", ErrorKind::TableNotFound,
                                       ErrorReason::MadeByConversion},
                      MissingTableCase{"OtherTable", "", "NOTAS", ErrorKind::TableNotFound,
                                       ErrorReason::None},
                      MissingTableCase{"MissingFolder", "HTEMP", "SOLUC",
                                       ErrorKind::ExchangeFolderMissing, ErrorReason::None},
                      MissingTableCase{"FolderIsAFile", "PLAIN", "SOLUC",
                                       ErrorKind::ExchangeFolderIsFile, ErrorReason::None}),
    [](const ::testing::TestParamInfo<MissingTableCase>& info) { return info.param.name; });

TEST(ExchangeTables, ATableHeldByAnotherProgramIsNotOpened) {
    TempDir dir;
    writeTable(dir.path(), tables::PROFT::layout, {});
    ForeignLock horadia(dir / "PROFT.DBF");
    EXPECT_THROW(openTable(dir.path(), "PROFT", LockedFile::Lock::Shared), Error);
}

// A code of SOLUC that no table knows is said to be missing from these tables: each one a
// table of the exchange folder that has the field the lookup reads.
TEST(ExchangeTables, EachCodeFieldOfSolucNamesTheTablesThatKnowItsCodes) {
    using Tables = std::vector<std::string_view>;
    const std::pair<std::string, Tables> cases[] = {
        {"PROF", {"PROFT"}},     {"ASIG", {"ASIGT", "ASIGNOMT2"}},
        {"TAREA", {"ASIGNOMT"}}, {"CODGRUPO", {"GRUPOST"}},
        {"AULA", {"AULAT"}},     {"DIA+HORA+MARCO", {"DIASHORAST"}},
        {"SESIONES", {}},
    };
    for (const auto& [field, tables] : cases) {
        EXPECT_EQ(tablesKnowingSolucCodes(field), tables) << field;
    }
    EXPECT_EQ(solucSlotFields(), "DIA+HORA+MARCO");
}
