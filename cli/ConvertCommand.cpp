#include "cli/Commands.h"

namespace velmora::cli {

void addConvertCommand(CLI::App& app) { app.add_subcommand("convert", "(being built)"); }

} // namespace velmora::cli
