#include "cli/SpanishCommandLine.h"

#include "messages/CommandLineTexts.h"

#include <vector>

namespace velmora::cli {

namespace {

namespace words = velmora::messages::commandLine;

constexpr const char* programName = "velmora-cli";

bool looksLikeOption(const std::string& argument) {
    return argument.size() > 1 && argument.front() == '-';
}

// The command the user gave, if any.
const CLI::App* chosenCommand(const CLI::App& app) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    return chosen.empty() ? nullptr : chosen.front();
}

std::string commandList(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands({})) {
        names.push_back(command->get_name());
    }
    return words::listOfCommands(names);
}

std::string missingText(const CLI::App& app) {
    const CLI::App* command = chosenCommand(app);
    if (command == nullptr) {
        const std::vector<std::string> typed = app.remaining();
        if (!typed.empty() && looksLikeOption(typed.front())) {
            return words::unknownOption(typed.front());
        }
        if (!typed.empty()) {
            return words::notACommand(typed.front(), programName, commandList(app));
        }
        return words::missingCommand(commandList(app));
    }
    for (const CLI::Option* option : command->get_options()) {
        if (option->get_required() && option->count() == 0) {
            return words::missingRequired(option->get_name(), option->get_description());
        }
    }
    return words::commandLacksData(command->get_name());
}

std::string extrasText(const CLI::App& app) {
    const CLI::App* command = chosenCommand(app);
    std::string text;
    for (const std::string& extra : app.remaining(true)) {
        text += text.empty() ? "" : "\n";
        if (looksLikeOption(extra)) {
            text += words::unknownOption(extra);
        } else if (command != nullptr) {
            text += words::extraValue(extra, command->get_name());
        } else {
            text += words::extraValue(extra);
        }
    }
    return text.empty() ? words::kExtraValues : text;
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
                return words::missingValueOf(name);
            }
        }
    }
    return words::kOptionLacksValue;
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
    return words::kUnreadable;
}

} // namespace

void speakSpanish(CLI::App& app, const std::string& versionLine) {
    auto formatter = app.get_formatter(); // shared with every command
    for (const auto& [english, spanish] : words::helpLabels()) {
        formatter->label(english, spanish);
    }

    const auto helpFlag = [](CLI::App& scope) {
        scope.set_help_flag("-h,--help", words::kHelpOption);
    };
    helpFlag(app);
    app.set_version_flag("--version", versionLine, words::kVersionOption);
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        command->group(words::kCommandsGroup);
        helpFlag(*command);
    }
    for (CLI::App* scope : app.get_subcommands([](CLI::App*) { return true; })) {
        for (CLI::Option* option : scope->get_options()) {
            option->group(words::kOptionsGroup);
        }
    }
    for (CLI::Option* option : app.get_options()) {
        option->group(words::kOptionsGroup);
    }
    app.failure_message([](const CLI::App* parsed, const CLI::Error& error) {
        return parseErrorText(*parsed, error);
    });
}

std::string parseErrorText(const CLI::App& app, const CLI::Error& error) {
    const CLI::App* command = chosenCommand(app);
    return std::string(programName) + ": " + mistakeText(app, error) + "\n" +
           words::howToSeeHelp(programName, command != nullptr ? command->get_name() : "") + "\n";
}

} // namespace velmora::cli
