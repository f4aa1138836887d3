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

// True when message names the table on its own, not as part of a longer name (ASIGNOMT is
// part of ASIGNOMT2).
bool namesTable(const std::string& message, const std::string& table) {
    for (auto at = message.find(table); at != std::string::npos; at = message.find(table, at + 1)) {
        const auto after = at + table.size();
        if (after == message.size() || !std::isalnum(static_cast<unsigned char>(message[after]))) {
            return true;
        }
    }
    return false;
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

    std::string runError() {
        try {
            ResultsRun(folders.document, folders.exchange).run();
        } catch (const Error& error) {
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
    EXPECT_TRUE(namesTable(message, held)) << message;
    expectNothingWritten();
    expectTablesReleased();
}

INSTANTIATE_TEST_SUITE_P(EachTable, LockedTables, ::testing::Range<std::size_t>(0, 9),
                         [](const auto& info) { return resultTableNames()[info.param]; });

TEST_F(ResultsFailures, MissingTableIsNamed) {
    std::filesystem::remove(folders.exchange / "CURSOST.DBF");
    const std::string message = runError();
    EXPECT_TRUE(namesTable(message, "CURSOST")) << message;
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

const TableLayout& layoutNamed(const std::string& name) {
    for (const TableLayout* layout : convertedTables()) {
        if (layout->name == name) {
            return *layout;
        }
    }
    return tables::SOLUC;
}

TEST_P(MissingFields, RunStopsBeforeWritingAnything) {
    const auto& [table, field] = GetParam();
    std::vector<Record> records = oneLesson()[table];
    for (Record& record : records) {
        record.erase(field);
    }
    writeTable(folders.exchange, withoutField(layoutNamed(table), field), records);

    const std::string message = runError();
    EXPECT_THAT(message, HasSubstr("Field '" + field + "' not found"));
    EXPECT_TRUE(namesTable(message, table)) << message;
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
    EXPECT_EQ(runError(), "The document " + folders.document.string() +
                              " has no SALIDAS element under its root SERVICIO; it is not a "
                              "Sauce service document.");
    expectNothingWritten();
    expectTablesReleased();
}

TEST_F(ResultsFailures, DocumentWhoseSalidasIsNotUnderTheRoot) {
    writeFile(folders.document, "<OTRO><SERVICIO><SALIDAS/></SERVICIO></OTRO>");
    EXPECT_THAT(runError(), HasSubstr("has no SALIDAS element under its root OTRO"));
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
