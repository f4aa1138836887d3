#include "cli/SpanishCommandLine.h"

#include <cctype>
#include <vector>

namespace velmora::cli {

namespace {

constexpr const char* programName = "velmora-cli";

bool looksLikeOption(const std::string& argument) {
    return argument.size() > 1 && argument.front() == '-';
}

// The command the user gave, if any.
const CLI::App* chosenCommand(const CLI::App& app) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    return chosen.empty() ? nullptr : chosen.front();
}

// "convert, results y dump"
std::string commandList(const CLI::App& app) {
    const std::vector<const CLI::App*> commands = app.get_subcommands({});
    std::string list;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == commands.size() ? " y " : ", ") + commands[i]->get_name();
    }
    return list;
}

std::string unknownOptionText(const std::string& option) {
    return "La opción «" + option + "» no existe.";
}

// A description such as "El documento de servicio de Sauce." as it reads after a colon.
std::string asContinuation(std::string description) {
    if (!description.empty()) {
        description.front() = static_cast<char>(std::tolower(description.front()));
    }
    return description;
}

std::string missingText(const CLI::App& app) {
    const CLI::App* command = chosenCommand(app);
    if (command == nullptr) {
        const std::vector<std::string> typed = app.remaining();
        if (!typed.empty() && looksLikeOption(typed.front())) {
            return unknownOptionText(typed.front());
        }
        if (!typed.empty()) {
            return "«" + typed.front() + "» no es una orden de " + programName +
                   ". Las órdenes son " + commandList(app) + ".";
        }
        return "Falta la orden. Las órdenes son " + commandList(app) + ".";
    }
    for (const CLI::Option* option : command->get_options()) {
        if (option->get_required() && option->count() == 0) {
            return "Falta " + option->get_name() + ": " + asContinuation(option->get_description());
        }
    }
    return "A la orden " + command->get_name() + " le falta algún dato.";
}

std::string extrasText(const CLI::App& app) {
    const CLI::App* command = chosenCommand(app);
    std::string text;
    for (const std::string& extra : app.remaining(true)) {
        text += text.empty() ? "" : "\n";
        if (looksLikeOption(extra)) {
            text += unknownOptionText(extra);
        } else if (command != nullptr) {
            text +=
                "Sobra «" + extra + "»: la orden " + command->get_name() + " no lleva más datos.";
        } else {
            text += "Sobra «" + extra + "».";
        }
    }
    return text.empty() ? "Sobran datos en la línea de órdenes." : text;
}

// CLI11 names the option first in its message: "--exchange: 1 required TEXT missing".
std::string missingValueText(const CLI::App& app, const CLI::Error& error) {
    const std::string message = error.what();
    for (const CLI::App* scope : {chosenCommand(app), &app}) {
        if (scope == nullptr) {
            continue;
        }
        for (const CLI::Option* option : scope->get_options()) {
            const std::string name = option->get_name();
            if (message.rfind(name + ":", 0) == 0) {
                return "Falta el valor de la opción " + name + ".";
            }
        }
    }
    return "Una opción no lleva el valor que necesita.";
}

std::string mistakeText(const CLI::App& app, const CLI::Error& error) {
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        return missingText(app);
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        return extrasText(app);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        return missingValueText(app, error);
    }
    return "La línea de órdenes no se puede leer.";
}

} // namespace

void speakSpanish(CLI::App& app, const std::string& versionLine) {
    auto formatter = app.get_formatter(); // shared with every command
    formatter->label("Usage", "Uso");
    formatter->label("OPTIONS", "OPCIONES");
    formatter->label("SUBCOMMAND", "ORDEN");
    formatter->label("SUBCOMMANDS", "ÓRDENES");
    formatter->label("Positionals", "Datos");
    formatter->label("REQUIRED", "(obligatorio)");
    formatter->label("TEXT", "TEXTO");
    formatter->label("Env", "Variable");
    formatter->label("Needs", "Necesita");
    formatter->label("Excludes", "Excluye");

    const auto helpFlag = [](CLI::App& scope) {
        scope.set_help_flag("-h,--help", "Muestra esta ayuda y termina.");
    };
    helpFlag(app);
    app.set_version_flag("--version", versionLine,
                         "Muestra el nombre y la versión del programa y termina.");
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        command->group("Órdenes");
        helpFlag(*command);
    }
    for (CLI::App* scope : app.get_subcommands([](CLI::App*) { return true; })) {
        for (CLI::Option* option : scope->get_options()) {
            option->group("Opciones");
        }
    }
    for (CLI::Option* option : app.get_options()) {
        option->group("Opciones");
    }
    app.failure_message([](const CLI::App* parsed, const CLI::Error& error) {
        return parseErrorText(*parsed, error);
    });
}

std::string parseErrorText(const CLI::App& app, const CLI::Error& error) {
    const CLI::App* command = chosenCommand(app);
    return std::string(programName) + ": " + mistakeText(app, error) +
           "\nPara ver cómo se usa, escriba: " + programName + " " +
           (command != nullptr ? command->get_name() + " " : "") + "--help\n";
}

} // namespace velmora::cli
