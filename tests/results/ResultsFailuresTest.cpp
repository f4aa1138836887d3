#include "results/ResultsFixture.h"
#include "results/ResultsRun.h"
#include "services/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace velmora::testing {
namespace {

using ::testing::HasSubstr;

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

    // The error the run fails with, as its technical summary.
    std::string runError() {
        try {
            ResultsRun(folders.document, folders.exchange).run();
        } catch (const Error& error) {
            failure = error.details();
            return error.what();
        }
        ADD_FAILURE() << "the run succeeded";
        return "";
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
    ErrorDetails failure; // of the last runError()
};

class LockedTables : public ResultsFailures, public ::testing::WithParamInterface<std::size_t> {};

// Holding a table and every table after it shows both that the table is opened for exclusive
// use and that the tables are opened in their order.
TEST_P(LockedTables, RunStopsAtTheFirstHeldTable) {
    const auto& names = resultTableNames();
    const std::string held = names[GetParam()];
    std::string message;
    {
        std::vector<std::unique_ptr<ForeignLock>> locks;
        for (auto i = GetParam(); i < names.size(); ++i) {
            locks.push_back(std::make_unique<ForeignLock>(folders.exchange / (names[i] + ".DBF")));
        }
        message = runError();
    }
    EXPECT_THAT(message, HasSubstr("table-in-use"));
    EXPECT_EQ(failure.table, held);
    expectNothingWritten();
    expectTablesReleased();
}

INSTANTIATE_TEST_SUITE_P(EachTable, LockedTables, ::testing::Range<std::size_t>(0, 9),
                         [](const auto& info) { return resultTableNames()[info.param]; });

TEST_F(ResultsFailures, MissingTableIsNamed) {
    std::filesystem::remove(folders.exchange / "CURSOST.DBF");
    EXPECT_THAT(runError(), HasSubstr("table-not-found"));
    EXPECT_EQ(failure.table, "CURSOST");
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

    EXPECT_THAT(runError(), HasSubstr("table-field-missing"));
    EXPECT_EQ(failure.field, field);
    EXPECT_EQ(failure.table, table);
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
    EXPECT_THAT(runError(), HasSubstr(folders.document.string()));
    expectNothingWritten();
    expectTablesReleased();
}

TEST_F(ResultsFailures, DocumentWithoutSalidas) {
    writeFile(folders.document, "<SERVICIO><ENTRADAS/><salidas/></SERVICIO>");
    EXPECT_THAT(runError(), HasSubstr("not-a-service-document"));
    EXPECT_EQ(failure.file, folders.document);
    EXPECT_EQ(failure.value, "SERVICIO");
    expectNothingWritten();
    expectTablesReleased();
}

TEST_F(ResultsFailures, DocumentWhoseSalidasIsNotUnderTheRoot) {
    writeFile(folders.document, "<OTRO><SERVICIO><SALIDAS/></SERVICIO></OTRO>");
    EXPECT_THAT(runError(), HasSubstr("not-a-service-document"));
    EXPECT_EQ(failure.value, "OTRO");
    expectNothingWritten();
}

TEST_F(ResultsFailures, FailedSaveLeavesWhatWasThere) {
    std::filesystem::remove(folders.result);
    std::filesystem::create_directory(folders.result);
    writeFile(folders.result / "kept.txt", "kept");
    filesBefore = fileNames(folders.sauce);

    EXPECT_THAT(runError(), HasSubstr(folders.result.string()));

    EXPECT_EQ(fileNames(folders.sauce), filesBefore);
    EXPECT_EQ(fileNames(folders.result), std::vector<std::string>{"kept.txt"});
    EXPECT_EQ(readFile(folders.result / "kept.txt"), "kept");
    expectTablesReleased();
}

} // namespace
} // namespace velmora::testing
