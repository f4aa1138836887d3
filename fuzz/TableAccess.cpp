#include "TableAccess.h"

#include "formats/ExchangeTables.h"
#include "services/Error.h"
#include "services/Table.h"

#include <string>
#include <vector>

namespace velmora::fuzz {

namespace {

struct PlacedLesson {
    const char* asig;
    const char* prof;
    const char* grupo;
    const char* aula;
    const char* tarea;
    double dia;
    double hora;
    const char* marco;
};

} // namespace

void writeSmallSolution(const std::filesystem::path& folder) {
    static const std::vector<PlacedLesson> lessons = {
        {"MAT", "MART", "1ESA", "A101", "LECT", 1, 2, "0"},
        {"LAT1", "GIL", "1BAB", "A202", "LECT", 5, 7, "0"},
        {"REUN", "MART", "", "", "REUN", 3, 5, "0"},
        {"M1", "E1", "G1", "A1", "", 0, 0, "1"},
    };
    createTable(folder, tables::SOLUC);
    Table table = openTable(folder, tables::SOLUC.name, OpenMode::Shared);
    for (const PlacedLesson& lesson : lessons) {
        table.append();
        table.writeText("ASIG", lesson.asig);
        table.writeText("PROF", lesson.prof);
        table.writeText("CODGRUPO", lesson.grupo);
        table.writeText("AULA", lesson.aula);
        table.writeText("TAREA", lesson.tarea);
        table.writeFloat("DIA", lesson.dia);
        table.writeFloat("HORA", lesson.hora);
        table.writeFloat("SESIONES", 1);
        table.writeText("MARCO", lesson.marco);
        table.post();
    }
}

void readEveryValue(const std::filesystem::path& tableFile) {
    Table table = Table::open(tableFile, OpenMode::Shared);
    const std::vector<std::string> names = table.fieldNames();
    for (table.first(); !table.eof(); table.next()) {
        for (const std::string& name : names) {
            table.readText(name);
            try {
                table.readFloat(name);
            } catch (const Error&) {
                // A text that is not a number: the next field is read all the same.
            }
        }
    }
}

} // namespace velmora::fuzz
