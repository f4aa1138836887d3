#pragma once

#include "messages/WindowTexts.h"
#include "services/files/FileReplacement.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace velmora::cli {

// The chosen document does not exist: the run says so in the system's own words, as the
// window does.
class NoSuchDocument : public std::runtime_error {
public:
    NoSuchDocument() : std::runtime_error(messages::kNoDocument) {}
};

// What a build of the command line made for the tests adds to the conversion: told of each
// step of the replacement of the tables, a test ends the process there as a crash would. The
// shipped program passes none.
struct CommandHooks {
    ReplacementStep afterReplacementStep;
};

// The whole program: parses the arguments, runs the command, says what went wrong on stderr;
// the exit status (0 done, 1 failed, 2 usage error).
int runCommandLine(int argc, char** argv, const CommandHooks& hooks);

// Each command registers itself as a subcommand; its callback does the work and throws
// velmora::Error (exit 1, or 2 when the command line's choice of frames does not do).
void addDumpCommand(CLI::App& app);
void addConvertCommand(CLI::App& app, const CommandHooks& hooks);
void addResultsCommand(CLI::App& app);

// The --exchange option shared by the commands (UTF-8, as every argument): the folder, or the
// default exchange folder.
std::filesystem::path exchangeFolderOrDefault(const std::string& option);

} // namespace velmora::cli
