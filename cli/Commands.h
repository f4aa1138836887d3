#pragma once

#include <CLI/CLI.hpp>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace velmora::cli {

// A command line that names something that does not exist (an unknown frame key, ...):
// reported like CLI11's own usage errors, with exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// Each command registers itself as a subcommand; its callback does the work and throws
// velmora::Error (exit 1) or UsageError (exit 2).
void addDumpCommand(CLI::App& app);
void addConvertCommand(CLI::App& app);
void addResultsCommand(CLI::App& app);

// The --exchange option shared by the commands (UTF-8, as every argument): the folder, or the
// default exchange folder.
std::filesystem::path exchangeFolderOrDefault(const std::string& option);

} // namespace velmora::cli
