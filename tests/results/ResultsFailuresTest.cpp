#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"
#include "services/Error.h"
#include "support/ErrorChecks.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmora::testing {
namespace {

ExchangeRecords oneLesson() {
    return {{"PROFT", {{{"ABREV", "T1"}, {"X_EMPLEADO", "E1"}, {"F_TOMAPOS", "F1"}}}},
            {"SOLUC",
             {{{"PROF", "T1"}, {"ASIG", "MAT"}, {"TAREA", "T5"}, {"DIA", "1"}, {"MARCO", "1"}}}}};
}

// Every failing run must leave the earlier result as it was, write no file beside it and
// release every table it opened.
class ResultsFailures : public ::testing::Test {
protected:
    void SetUp() override {
        writeExchange(folders.exchange, oneLesson());
        writeFile(folders.result, "earlier result");
        filesBefore = fileNames(folders.sauce);
    }

    // Whether the run fails with an error of this kind that names what is given.
    ::testing::AssertionResult runFails(ErrorKind kind, const ErrorNames& names = {}) {
        return failsWith([&] { ResultsRun(folders.document, folders.exchange).run(); }, kind,
                         names);
    }

    void expectNothingWritten() {
        EXPECT_EQ(fileNames(folders.sauce), filesBefore);
        EXPECT_EQ(readFile(folders.result), "earlier result");
    }

    void expectTablesReleased() {
        for (const std::string& table : resultTableNames()) {
            const auto file = folders.exchange / (table + ".DBF");
            if (std::filesystem::exists(file)) {
                EXPECT_NO_THROW(ForeignLock{file}) << table << " is still held";
            }
        }
    }

    RunFolders folders;
    std::vector<std::string> filesBefore;
};

class LockedTables : public ResultsFailures, public ::testing::WithParamInterface<std::size_t> {};

// Holding a table and every table after it shows both that the table is opened for exclusive
// use and that the tables are opened in their order.
TEST_P(LockedTables, RunStopsAtTheFirstHeldTable) {
    const auto& names = resultTableNames();
    const std::string held = names[GetParam()];
    {
        std::vector<std::unique_ptr<ForeignLock>> locks;
        for (auto i = GetParam(); i < names.size(); ++i) {
            locks.push_back(std::make_unique<ForeignLock>(folders.exchange / (names[i] + ".DBF")));
        }
        EXPECT_TRUE(runFails(ErrorKind::TableInUse, {.table = held}));
    }
    expectNothingWritten();
    expectTablesReleased();
}

INSTANTIATE_TEST_SUITE_P(EachTable, LockedTables, ::testing::Range<std::size_t>(0, 9),
                         [](const auto& info) { return resultTableNames()[info.param]; });

TEST_F(ResultsFailures, MissingTableIsNamed) {
    std::filesystem::remove(folders.exchange / "CURSOST.DBF");
    EXPECT_TRUE(runFails(ErrorKind::TableNotFound, {.table = "CURSOST"}));
    expectNothingWritten();
    expectTablesReleased();
}

struct MissingField {
    std::string table;
    std::string field;
};

void PrintTo(const MissingField& c, std::ostream* out) {
    *out << c.table << "." << c.field;
}

class MissingFields : public ResultsFailures, public ::testing::WithParamInterface<MissingField> {};

FixtureLayout layoutNamed(const std::string& name) {
    for (const TableLayout& layout : convertedTables()) {
        if (layout.name == name) {
            return layout;
        }
    }
    return tables::SOLUC::layout;
}

TEST_P(MissingFields, RunStopsBeforeWritingAnything) {
    const auto& [table, field] = GetParam();
    std::vector<Record> records = oneLesson()[table];
    for (Record& record : records) {
        record.erase(field);
    }
    writeTable(folders.exchange, withoutField(layoutNamed(table), field), records);

    EXPECT_TRUE(runFails(ErrorKind::TableFieldMissing, {.table = table, .field = field}));
    expectNothingWritten();
    expectTablesReleased();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingFields,
    ::testing::Values(MissingField{"SOLUC", "MARCO"}, MissingField{"SOLUC", "DIA"},
                      MissingField{"SOLUC", "PROF"}, MissingField{"SOLUC", "AULA"},
                      MissingField{"PROFT", "F_TOMAPOS"}, MissingField{"PROFT", "ABREV"},
                      MissingField{"ASIGT", "CLAVE"}, MissingField{"ASIGNOMT", "CODTAREA"},
                      MissingField{"GRUPOST", "CLAVECURSO"}, MissingField{"ASIGNOMT2", "ALECTIVA"},
                      MissingField{"DIASHORAST", "CODDIHO"}, MissingField{"AULAT", "DEPCENTRO"}),
    [](const auto& info) { return info.param.table + "_" + info.param.field; });

TEST_F(ResultsFailures, DocumentNotWellFormed) {
    writeFile(folders.document, "<SERVICIO><SALIDAS></SERVICIO>");
    EXPECT_TRUE(runFails(ErrorKind::DocumentNotWellFormed, {.file = folders.document}));
    expectNothingWritten();
    expectTablesReleased();
}

TEST_F(ResultsFailures, DocumentWithoutSalidas) {
    writeFile(folders.document, "<SERVICIO><ENTRADAS/><salidas/></SERVICIO>");
    EXPECT_TRUE(
        runFails(ErrorKind::NotAServiceDocument, {.file = folders.document, .value = "SERVICIO"}));
    expectNothingWritten();
    expectTablesReleased();
}

TEST_F(ResultsFailures, DocumentWhoseSalidasIsNotUnderTheRoot) {
    writeFile(folders.document, "<OTRO><SERVICIO><SALIDAS/></SERVICIO></OTRO>");
    EXPECT_TRUE(runFails(ErrorKind::NotAServiceDocument, {.value = "OTRO"}));
    expectNothingWritten();
}

TEST_F(ResultsFailures, FailedSaveLeavesWhatWasThere) {
    std::filesystem::remove(folders.result);
    std::filesystem::create_directory(folders.result);
    writeFile(folders.result / "kept.txt", "kept");
    filesBefore = fileNames(folders.sauce);

    EXPECT_TRUE(runFails(ErrorKind::OutputNotAFile, {.file = folders.result}));

    EXPECT_EQ(fileNames(folders.sauce), filesBefore);
    EXPECT_EQ(fileNames(folders.result), std::vector<std::string>{"kept.txt"});
    EXPECT_EQ(readFile(folders.result / "kept.txt"), "kept");
    expectTablesReleased();
}

} // namespace
} // namespace velmora::testing
