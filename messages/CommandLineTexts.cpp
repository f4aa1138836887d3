#include "messages/CommandLineTexts.h"

#include "messages/Wording.h"

#include <cctype>

namespace velmora::messages::commandLine {

std::vector<std::pair<std::string, std::string>> helpLabels() {
    return {{"Usage", "Uso"},           {"OPTIONS", "OPCIONES"},  {"SUBCOMMAND", "ORDEN"},
            {"SUBCOMMANDS", "ÓRDENES"}, {"Positionals", "Datos"}, {"REQUIRED", "(obligatorio)"},
            {"TEXT", "TEXTO"},          {"Env", "Variable"},      {"Needs", "Necesita"},
            {"Excludes", "Excluye"}};
}

std::string listOfCommands(const std::vector<std::string>& names) {
    return wording::joinedWithY(names);
}

std::string unknownOption(const std::string& option) {
    return "La opción «" + option + "» no existe.";
}

std::string notACommand(const std::string& typed, const std::string& program,
                        const std::string& commands) {
    return "«" + typed + "» no es una orden de " + program + ". Las órdenes son " + commands + ".";
}

std::string missingCommand(const std::string& commands) {
    return "Falta la orden. Las órdenes son " + commands + ".";
}

std::string missingRequired(const std::string& option, const std::string& optionHelp) {
    // The help begins a sentence; after the colon it goes on one.
    std::string continuation = optionHelp;
    if (!continuation.empty()) {
        continuation.front() = static_cast<char>(std::tolower(continuation.front()));
    }
    return "Falta " + option + ": " + continuation;
}

std::string commandLacksData(const std::string& command) {
    return "A la orden " + command + " le falta algún dato.";
}

std::string extraValue(const std::string& extra, const std::string& command) {
    return "Sobra «" + extra + "»: la orden " + command + " no lleva más datos.";
}

std::string extraValue(const std::string& extra) {
    return "Sobra «" + extra + "».";
}

std::string missingValueOf(const std::string& option) {
    return "Falta el valor de la opción " + option + ".";
}

std::string howToSeeHelp(const std::string& program, const std::string& command) {
    return "Para ver cómo se usa, escriba: " + program + " " +
           (command.empty() ? "" : command + " ") + "--help";
}

std::string recordCount(std::size_t records) {
    return std::to_string(records) + (records == 1 ? " registro" : " registros");
}

} // namespace velmora::messages::commandLine
