#include "formats/ExchangeTables.h"

#include "services/Error.h"
#include "services/ExchangeFolder.h"

#include <algorithm>

namespace velmora {

namespace {

FieldDef text(const char* name, int width) {
    return {name, FieldType::Text, width};
}
FieldDef boolean(const char* name) {
    return {name, FieldType::Boolean, 0};
}
FieldDef integer(const char* name) {
    return {name, FieldType::Integer, 0};
}
FieldDef floating(const char* name) {
    return {name, FieldType::Float, 0};
}

} // namespace

namespace tables {

const TableLayout ASIGNOMT{"ASIGNOMT",
                           {text("COD", 10), text("CODLARGO", 10), text("NOMBRE", 80),
                            text("MATERIA", 8), text("CODTAREA", 10), boolean("ESTAREA")}};

const TableLayout ASIGNOMT2{"ASIGNOMT2",
                            {text("COD", 10), text("CODLARGO", 10), text("NOMBRE", 40),
                             text("MATERIA", 8), text("CLAVECURSO", 12), text("ALECTIVA", 1)}};

const TableLayout PROFT{"PROFT",
                        {text("ABREV", 10), text("NOMBRE", 80), text("DEPART", 40), integer("DNI"),
                         text("X_EMPLEADO", 10), text("F_TOMAPOS", 10), text("EMAIL", 100)}};

const TableLayout AULAT{"AULAT",
                        {text("ABREV", 10), text("NOMBRE", 80), text("EDIFICIO", 1),
                         integer("MAXALUM"), text("DEPCENTRO", 10)}};

const TableLayout CURSOST{"CURSOST",
                          {text("ABREV", 3), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3),
                           text("CLAVE", 12), text("DESCRICUR", 80)}};

const TableLayout GRUPOST{"GRUPOST",
                          {text("ABREV", 10), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3),
                           text("GRUPO", 2), text("DESCRIP", 80), text("MARCO", 1),
                           text("CLAVE", 10), text("CLAVECURSO", 12)}};

const TableLayout ASIGT{"ASIGT",
                        {text("CASIG", 10), text("CPROF", 10), text("CGRUP", 10), text("CAULA", 10),
                         text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3), text("GRUPO", 2),
                         floating("HORAS"), text("SESIONES", 20), text("NCONEX", 4),
                         text("CLAVE", 10), text("CLAVECURSO", 12), text("CTAREA", 10)}};

const TableLayout DIASHORAST{"DIASHORAST",
                             {text("DIHO", 10), text("CODDIHO", 10), text("DIA", 20),
                              text("TEXTODIA", 20), text("HORA", 8), text("TEXTOHOR", 15),
                              text("HORADESDE", 8), text("HORAHASTA", 8), text("MINUTOS", 8),
                              text("MARCO", 1), text("MARCOXML", 10)}};

// As the timetable program declares it, with the frame field MARCO that the results run also
// reads.
const TableLayout SOLUC{"SOLUC",
                        {text("ASIG", 4), text("PROF", 4), text("CODGRUPO", 4), text("TURNO", 1),
                         text("NIVEL", 5), text("CURSO", 3), text("GRUPO", 1), text("AULA", 4),
                         text("TAREA", 4), floating("DIA"), floating("HORA"), floating("SESIONES"),
                         text("MARCO", 1)}};

} // namespace tables

namespace {

// What the user has to do first so that a missing table appears.
std::string whereTheTableComesFrom(const std::string& table) {
    std::string wanted = table;
    std::transform(wanted.begin(), wanted.end(), wanted.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (wanted == tables::SOLUC.name) {
        return ". Let Horadia work out the timetable first, then try again.";
    }
    for (const TableLayout* converted : convertedTables()) {
        if (wanted == converted->name) {
            return ". Convert the Sauce document into Horadia's tables first, then try again.";
        }
    }
    return ".";
}

} // namespace

const std::vector<const TableLayout*>& convertedTables() {
    static const std::vector<const TableLayout*> all{
        &tables::ASIGNOMT, &tables::ASIGNOMT2, &tables::PROFT, &tables::AULAT,
        &tables::CURSOST,  &tables::GRUPOST,   &tables::ASIGT, &tables::DIASHORAST};
    return all;
}

void createTable(const std::filesystem::path& folder, const TableLayout& layout) {
    Table::create(newTableFile(folder, layout.name), layout.fields);
}

Table openTable(const std::filesystem::path& folder, const std::string& table, OpenMode mode) {
    requireExchangeFolder(folder);
    const auto file = findTableFile(folder, table);
    if (!file) {
        throw Error("The table " + table + " was not found in the exchange folder " +
                    folder.string() + whereTheTableComesFrom(table));
    }
    return Table::open(*file, mode);
}

} // namespace velmora
