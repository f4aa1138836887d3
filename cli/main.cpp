#include "cli/Commands.h"
#include "cli/Console.h"
#include "services/Error.h"
#include "services/ExchangeFolder.h"
#include "services/FileSystem.h"

#include <iostream>

namespace velmora::cli {

std::filesystem::path exchangeFolderOrDefault(const std::string& option) {
    return option.empty() ? defaultExchangeFolder() : pathFromUtf8(option);
}

} // namespace velmora::cli

int main(int argc, char** argv) {
    using namespace velmora::cli;
    const ConsoleOutput console;
    CLI::App app{"Velmora: moves a school's timetable data between Sauce and Horadia.",
                 "velmora-cli"};
    // A path such as /HTEMP/escuela.xml is a path on Windows too, never an option.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    addDumpCommand(app);
    addConvertCommand(app);
    addResultsCommand(app);
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
    } catch (const UsageError& error) {
        std::cerr << "velmora-cli: " << error.what() << "\n";
        return 2;
    } catch (const velmora::Error& error) {
        std::cerr << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
