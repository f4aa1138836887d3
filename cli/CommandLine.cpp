#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/CoreErrorText.h"
#include "cli/SpanishCommandLine.h"
#include "messages/CommandLineTexts.h"
#include "services/Error.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/FileSystem.h"
#include "velmora/Version.h"

#include <iostream>

namespace velmora::cli {

std::filesystem::path exchangeFolderOrDefault(const std::string& option) {
    return option.empty() ? defaultExchangeFolder() : pathFromUtf8(option);
}

namespace {

// The frames given with --frames are part of the command line.
bool isUsageProblem(velmora::ErrorKind kind) {
    using velmora::ErrorKind;
    return kind == ErrorKind::FramesNotChosen || kind == ErrorKind::UnknownFrame ||
           kind == ErrorKind::TooManyFrames;
}

} // namespace

int runCommandLine(int argc, char** argv, const CommandHooks& hooks) {
    const ConsoleOutput console;
    CLI::App app{messages::commandLine::kProgramDescription, "velmora-cli"};
    // A path such as /HTEMP/escuela.xml is a path on Windows too, never an option.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    addConvertCommand(app, hooks);
    addResultsCommand(app);
    addDumpCommand(app);
    speakSpanish(app, std::string("velmora-cli (") + velmora::programName + ") " +
                          velmora::programVersion);
    app.footer(messages::commandLine::kProgramFooter);
    std::vector<std::string> arguments = argumentsAsUtf8(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    } catch (const NoSuchDocument& error) {
        std::cerr << error.what() << "\n";
        return 1;
    } catch (const velmora::Error& error) {
        std::cerr << coreErrorText(error) << "\n";
        return isUsageProblem(error.kind()) ? 2 : 1;
    } catch (const std::exception& error) {
        std::cerr << coreErrorText(error) << "\n";
        return 1;
    }
    return 0;
}

} // namespace velmora::cli
