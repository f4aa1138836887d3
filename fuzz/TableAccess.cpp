#include "TableAccess.h"

#include "formats/ExchangeTables.h"
#include "formats/TableRows.h"
#include "services/Error.h"
#include "services/dbf/DbfReader.h"

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
    using tables::SOLUC;
    NewTable<SOLUC> table;
    for (const PlacedLesson& lesson : lessons) {
        auto row = table.append();
        row.setText(SOLUC::ASIG, lesson.asig);
        row.setText(SOLUC::PROF, lesson.prof);
        row.setText(SOLUC::CODGRUPO, lesson.grupo);
        row.setText(SOLUC::AULA, lesson.aula);
        row.setText(SOLUC::TAREA, lesson.tarea);
        row.setFloat(SOLUC::DIA, lesson.dia);
        row.setFloat(SOLUC::HORA, lesson.hora);
        row.setText(SOLUC::MARCO, lesson.marco);
    }
    table.writeTo(folder);
}

void readEveryValue(const std::filesystem::path& tableFile) {
    DbfReader table = DbfReader::open(tableFile, LockedFile::Lock::Shared, "TABLA");
    const std::size_t columns = table.header().columns.size();
    while (const auto record = table.next()) {
        for (std::size_t column = 0; column < columns; ++column) {
            record->text(column);
            try {
                record->number(column);
            } catch (const Error&) {
                // A text that is not a number: the next field is read all the same.
            }
        }
    }
}

} // namespace velmora::fuzz
