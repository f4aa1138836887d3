#include "cli/Commands.h"

namespace velmora::cli {

void addDumpCommand(CLI::App& app) { app.add_subcommand("dump", "(being built)"); }

} // namespace velmora::cli
