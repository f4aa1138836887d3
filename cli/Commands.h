#pragma once

#include <CLI/CLI.hpp>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace velmora::cli {

// The chosen document does not exist: the run says so in the system's own words, as the
// window does.
class NoSuchDocument : public std::runtime_error {
public:
    NoSuchDocument() : std::runtime_error("No existe archivo") {}
};

// Each command registers itself as a subcommand; its callback does the work and throws
// velmora::Error (exit 1, or 2 when the command line's choice of frames does not do).
void addDumpCommand(CLI::App& app);
void addConvertCommand(CLI::App& app);
void addResultsCommand(CLI::App& app);

// The --exchange option shared by the commands (UTF-8, as every argument): the folder, or the
// default exchange folder.
std::filesystem::path exchangeFolderOrDefault(const std::string& option);

} // namespace velmora::cli
