#pragma once

#include <string>
#include <utility>
#include <vector>

// Every word of velmora-cli's own usage: its help, and what it says of a command line it cannot
// read. The command line (cli/) asks for them by what they are for.
namespace velmora::messages::commandLine {

// The help of the program and of each command.
inline constexpr const char* kProgramDescription =
    "Velmora: lleva los datos del horario de un centro entre Sauce y Horadia.";
inline constexpr const char* kProgramFooter =
    "La carpeta de intercambio es /HTEMP (\\HTEMP en Windows), salvo que --exchange o la "
    "variable de entorno VELMORA_EXCHANGE_DIR digan otra.\n"
    "Resultado: 0 si todo ha ido bien, 1 si el trabajo ha fallado (el motivo sale en la salida "
    "de errores), 2 si la orden está mal escrita.";
inline constexpr const char* kHelpOption = "Muestra esta ayuda y termina.";
inline constexpr const char* kVersionOption =
    "Muestra el nombre y la versión del programa y termina.";
inline constexpr const char* kCommandsGroup = "Órdenes";
inline constexpr const char* kOptionsGroup = "Opciones";

inline constexpr const char* kConvertCommand =
    "Transforma un documento de servicio de Sauce en las ocho tablas de intercambio de Horadia.";
inline constexpr const char* kResultsCommand =
    "Escribe el horario de SOLUC en un documento de servicio de Sauce, que se guarda al lado del "
    "documento con el nombre ResultadoHoradia delante del suyo, y muestra su ruta.";
inline constexpr const char* kDumpCommand =
    "Muestra una tabla de intercambio en formato CSV: una línea con los nombres de los campos y "
    "después una línea por registro.";

// What each option or argument holds, and the word its help shows for its value.
inline constexpr const char* kDocumentArgument = "El documento de servicio de Sauce (XML).";
inline constexpr const char* kTableArgument = "El nombre de la tabla, por ejemplo SOLUC.";
inline constexpr const char* kConvertExchangeOption =
    "La carpeta de intercambio donde se escriben las tablas.";
inline constexpr const char* kResultsExchangeOption =
    "La carpeta de intercambio que tiene SOLUC y las demás tablas.";
inline constexpr const char* kDumpExchangeOption = "La carpeta de intercambio que tiene la tabla.";
inline constexpr const char* kFramesOption =
    "Los marcos horarios que se aplican, por su clave: uno o dos separados por una coma. Hace "
    "falta cuando el documento tiene dos o más.";
inline constexpr const char* kConvertReportOption =
    "Escribe en este archivo, en JSON, cada aviso de la transformación: qué se ha cambiado o no "
    "se ha podido usar, y dónde.";
inline constexpr const char* kResultsReportOption =
    "Escribe en este archivo, en JSON, cada aviso: las clases que no se han pasado y los códigos "
    "de SOLUC que las tablas no conocen.";
inline constexpr const char* kRequiredDocument = "(obligatorio)";
inline constexpr const char* kRequiredTable = "(obligatoria)";
inline constexpr const char* kFolderValue = "CARPETA";
inline constexpr const char* kFileValue = "ARCHIVO";
inline constexpr const char* kFramesValue = "CLAVE[,CLAVE]";

// The labels CLI11 writes in English in every help, with the Spanish that replaces each.
std::vector<std::pair<std::string, std::string>> helpLabels();

// "convert, results y dump"
std::string listOfCommands(const std::vector<std::string>& names);

// What is wrong with a command line.
std::string unknownOption(const std::string& option);
std::string notACommand(const std::string& typed, const std::string& program,
                        const std::string& commands);
std::string missingCommand(const std::string& commands);
// The option's own help, such as "El documento de servicio de Sauce (XML).", says what it holds.
std::string missingRequired(const std::string& option, const std::string& optionHelp);
std::string commandLacksData(const std::string& command);
std::string extraValue(const std::string& extra, const std::string& command);
std::string extraValue(const std::string& extra);
inline constexpr const char* kExtraValues = "Sobran datos en la línea de órdenes.";
std::string missingValueOf(const std::string& option);
inline constexpr const char* kOptionLacksValue = "Una opción no lleva el valor que necesita.";
inline constexpr const char* kUnreadable = "La línea de órdenes no se puede leer.";
// Where to read how the program, or one of its commands (empty for none), is used.
std::string howToSeeHelp(const std::string& program, const std::string& command);

// "1 registro", "21 registros"
std::string recordCount(std::size_t records);

} // namespace velmora::messages::commandLine
