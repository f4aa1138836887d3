#pragma once

#include "formats/TableLayout.h"
#include "services/dbf/DbfReader.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace velmora {

// The layouts of the exchange tables: the eight the conversion writes, and SOLUC as the
// timetable program declares it.
namespace tables {

namespace layouts {
using enum FieldType;
inline constexpr std::array<FieldDef, 6> ASIGNOMT{{{"COD", Text, 10},
                                                   {"CODLARGO", Text, 10},
                                                   {"NOMBRE", Text, 80},
                                                   {"MATERIA", Text, 8},
                                                   {"CODTAREA", Text, 10},
                                                   {"ESTAREA", Boolean, 0}}};
inline constexpr std::array<FieldDef, 6> ASIGNOMT2{{{"COD", Text, 10},
                                                    {"CODLARGO", Text, 10},
                                                    {"NOMBRE", Text, 40},
                                                    {"MATERIA", Text, 8},
                                                    {"CLAVECURSO", Text, 12},
                                                    {"ALECTIVA", Text, 1}}};
inline constexpr std::array<FieldDef, 7> PROFT{{{"ABREV", Text, 10},
                                                {"NOMBRE", Text, 80},
                                                {"DEPART", Text, 40},
                                                {"DNI", Integer, 0},
                                                {"X_EMPLEADO", Text, 10},
                                                {"F_TOMAPOS", Text, 10},
                                                {"EMAIL", Text, 100}}};
inline constexpr std::array<FieldDef, 5> AULAT{{{"ABREV", Text, 10},
                                                {"NOMBRE", Text, 80},
                                                {"EDIFICIO", Text, 1},
                                                {"MAXALUM", Integer, 0},
                                                {"DEPCENTRO", Text, 10}}};
inline constexpr std::array<FieldDef, 6> CURSOST{{{"ABREV", Text, 3},
                                                  {"TURNO", Text, 1},
                                                  {"NIVEL", Text, 5},
                                                  {"CURSO", Text, 3},
                                                  {"CLAVE", Text, 12},
                                                  {"DESCRICUR", Text, 80}}};
inline constexpr std::array<FieldDef, 9> GRUPOST{{{"ABREV", Text, 10},
                                                  {"TURNO", Text, 1},
                                                  {"NIVEL", Text, 5},
                                                  {"CURSO", Text, 3},
                                                  {"GRUPO", Text, 2},
                                                  {"DESCRIP", Text, 80},
                                                  {"MARCO", Text, 1},
                                                  {"CLAVE", Text, 10},
                                                  {"CLAVECURSO", Text, 12}}};
inline constexpr std::array<FieldDef, 14> ASIGT{{{"CASIG", Text, 10},
                                                 {"CPROF", Text, 10},
                                                 {"CGRUP", Text, 10},
                                                 {"CAULA", Text, 10},
                                                 {"TURNO", Text, 1},
                                                 {"NIVEL", Text, 5},
                                                 {"CURSO", Text, 3},
                                                 {"GRUPO", Text, 2},
                                                 {"HORAS", Float, 0},
                                                 {"SESIONES", Text, 20},
                                                 {"NCONEX", Text, 4},
                                                 {"CLAVE", Text, 10},
                                                 {"CLAVECURSO", Text, 12},
                                                 {"CTAREA", Text, 10}}};
inline constexpr std::array<FieldDef, 11> DIASHORAST{{{"DIHO", Text, 10},
                                                      {"CODDIHO", Text, 10},
                                                      {"DIA", Text, 20},
                                                      {"TEXTODIA", Text, 20},
                                                      {"HORA", Text, 8},
                                                      {"TEXTOHOR", Text, 15},
                                                      {"HORADESDE", Text, 8},
                                                      {"HORAHASTA", Text, 8},
                                                      {"MINUTOS", Text, 8},
                                                      {"MARCO", Text, 1},
                                                      {"MARCOXML", Text, 10}}};
// As the timetable program declares it, with the frame field MARCO that the results run also
// reads.
inline constexpr std::array<FieldDef, 13> SOLUC{{{"ASIG", Text, 4},
                                                 {"PROF", Text, 4},
                                                 {"CODGRUPO", Text, 4},
                                                 {"TURNO", Text, 1},
                                                 {"NIVEL", Text, 5},
                                                 {"CURSO", Text, 3},
                                                 {"GRUPO", Text, 1},
                                                 {"AULA", Text, 4},
                                                 {"TAREA", Text, 4},
                                                 {"DIA", Float, 0},
                                                 {"HORA", Float, 0},
                                                 {"SESIONES", Float, 0},
                                                 {"MARCO", Text, 1}}};
} // namespace layouts

#define VELMORA_FIELD(TABLE, NAME)                                                                 \
    static constexpr Field<TABLE> NAME = fieldNamed<TABLE>(layouts::TABLE, #NAME)

struct ASIGNOMT {
    static constexpr TableLayout layout{"ASIGNOMT", layouts::ASIGNOMT};
    VELMORA_FIELD(ASIGNOMT, COD);
    VELMORA_FIELD(ASIGNOMT, CODLARGO);
    VELMORA_FIELD(ASIGNOMT, NOMBRE);
    VELMORA_FIELD(ASIGNOMT, CODTAREA);
    VELMORA_FIELD(ASIGNOMT, ESTAREA);
};

struct ASIGNOMT2 {
    static constexpr TableLayout layout{"ASIGNOMT2", layouts::ASIGNOMT2};
    VELMORA_FIELD(ASIGNOMT2, COD);
    VELMORA_FIELD(ASIGNOMT2, CODLARGO);
    VELMORA_FIELD(ASIGNOMT2, NOMBRE);
    VELMORA_FIELD(ASIGNOMT2, MATERIA);
    VELMORA_FIELD(ASIGNOMT2, CLAVECURSO);
    VELMORA_FIELD(ASIGNOMT2, ALECTIVA);
};

struct PROFT {
    static constexpr TableLayout layout{"PROFT", layouts::PROFT};
    VELMORA_FIELD(PROFT, ABREV);
    VELMORA_FIELD(PROFT, NOMBRE);
    VELMORA_FIELD(PROFT, X_EMPLEADO);
    VELMORA_FIELD(PROFT, F_TOMAPOS);
};

struct AULAT {
    static constexpr TableLayout layout{"AULAT", layouts::AULAT};
    VELMORA_FIELD(AULAT, ABREV);
    VELMORA_FIELD(AULAT, NOMBRE);
    VELMORA_FIELD(AULAT, DEPCENTRO);
};

struct CURSOST {
    static constexpr TableLayout layout{"CURSOST", layouts::CURSOST};
    VELMORA_FIELD(CURSOST, NIVEL);
    VELMORA_FIELD(CURSOST, CURSO);
    VELMORA_FIELD(CURSOST, CLAVE);
    VELMORA_FIELD(CURSOST, DESCRICUR);
};

struct GRUPOST {
    static constexpr TableLayout layout{"GRUPOST", layouts::GRUPOST};
    VELMORA_FIELD(GRUPOST, ABREV);
    VELMORA_FIELD(GRUPOST, TURNO);
    VELMORA_FIELD(GRUPOST, NIVEL);
    VELMORA_FIELD(GRUPOST, CURSO);
    VELMORA_FIELD(GRUPOST, GRUPO);
    VELMORA_FIELD(GRUPOST, DESCRIP);
    VELMORA_FIELD(GRUPOST, MARCO);
    VELMORA_FIELD(GRUPOST, CLAVE);
    VELMORA_FIELD(GRUPOST, CLAVECURSO);
};

struct ASIGT {
    static constexpr TableLayout layout{"ASIGT", layouts::ASIGT};
    VELMORA_FIELD(ASIGT, CASIG);
    VELMORA_FIELD(ASIGT, CGRUP);
    VELMORA_FIELD(ASIGT, CAULA);
    VELMORA_FIELD(ASIGT, TURNO);
    VELMORA_FIELD(ASIGT, NIVEL);
    VELMORA_FIELD(ASIGT, CURSO);
    VELMORA_FIELD(ASIGT, GRUPO);
    VELMORA_FIELD(ASIGT, HORAS);
    VELMORA_FIELD(ASIGT, SESIONES);
    VELMORA_FIELD(ASIGT, CLAVE);
    VELMORA_FIELD(ASIGT, CLAVECURSO);
    VELMORA_FIELD(ASIGT, CTAREA);
};

struct DIASHORAST {
    static constexpr TableLayout layout{"DIASHORAST", layouts::DIASHORAST};
    VELMORA_FIELD(DIASHORAST, DIHO);
    VELMORA_FIELD(DIASHORAST, CODDIHO);
    VELMORA_FIELD(DIASHORAST, DIA);
    VELMORA_FIELD(DIASHORAST, HORA);
    VELMORA_FIELD(DIASHORAST, TEXTOHOR);
    VELMORA_FIELD(DIASHORAST, HORADESDE);
    VELMORA_FIELD(DIASHORAST, HORAHASTA);
    VELMORA_FIELD(DIASHORAST, MINUTOS);
    VELMORA_FIELD(DIASHORAST, MARCO);
    VELMORA_FIELD(DIASHORAST, MARCOXML);
};

struct SOLUC {
    static constexpr TableLayout layout{"SOLUC", layouts::SOLUC};
    VELMORA_FIELD(SOLUC, ASIG);
    VELMORA_FIELD(SOLUC, PROF);
    VELMORA_FIELD(SOLUC, CODGRUPO);
    VELMORA_FIELD(SOLUC, AULA);
    VELMORA_FIELD(SOLUC, TAREA);
    VELMORA_FIELD(SOLUC, DIA);
    VELMORA_FIELD(SOLUC, HORA);
    VELMORA_FIELD(SOLUC, MARCO);
};

#undef VELMORA_FIELD

} // namespace tables

// The eight tables of a conversion, in the order the builders create them.
const std::vector<TableLayout>& convertedTables();

// The fields of SOLUC that together name a lesson's slot, as one name: "DIA+HORA+MARCO".
const std::string& solucSlotFields();

// The tables that know the codes a field of SOLUC holds (or the slot's fields together), in the
// order the results run looks in them; none for a field that holds no code.
std::vector<std::string_view> tablesKnowingSolucCodes(std::string_view field);

// Opens a table of the exchange folder for reading, whatever the letter case of its file name.
// A missing folder or table is an Error that says what to do first.
DbfReader openTable(const std::filesystem::path& folder, std::string_view table,
                    LockedFile::Lock lock);

// The column of a layout's field in a table as it lies on disk.
template <typename Table> std::size_t columnOf(const DbfReader& reader, Field<Table> field) {
    return reader.column(nameOf(field));
}

} // namespace velmora
