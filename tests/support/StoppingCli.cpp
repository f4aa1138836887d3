// velmora-cli as the crash-safety tests need it, never shipped: VELMORA_STOP_AFTER_STEP names a
// step of the replacement of the tables after which the process ends at once, as a crash or a
// power cut would end it: no destructor runs, nothing is cleaned up.
#include "cli/Commands.h"

#include <cstdlib>

namespace {

constexpr int kStopped = 86;

} // namespace

int main(int argc, char** argv) {
    velmora::cli::CommandHooks hooks;
    if (const char* step = std::getenv("VELMORA_STOP_AFTER_STEP"); step != nullptr && *step) {
        hooks.afterReplacementStep = [stopAt = std::atoi(step)](int done) {
            if (done == stopAt) {
                std::_Exit(kStopped);
            }
        };
    }
    return velmora::cli::runCommandLine(argc, argv, hooks);
}
