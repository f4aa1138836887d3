#include "cli/Commands.h"

namespace velmora::cli {

void addResultsCommand(CLI::App& app) { app.add_subcommand("results", "(being built)"); }

} // namespace velmora::cli
