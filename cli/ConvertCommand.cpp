#include "cli/Commands.h"
#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "services/Error.h"
#include "services/FileSystem.h"

#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace velmora::cli {

namespace {

constexpr int kStoppedByTheTests = 86;

struct ConvertOptions {
    std::string document;
    std::string exchange;
    std::vector<std::string> frames;
};

// The tests of crash safety kill a real conversion after a given step of its replacement of the
// tables; VELMORA_STOP_AFTER_STEP names the step. The process ends at once, as a crash or a
// power cut would end it: no destructor runs, nothing is cleaned up.
void stopAtTheStepTheTestsAskFor(ConversionRun& run) {
    const char* step = std::getenv("VELMORA_STOP_AFTER_STEP");
    if (step == nullptr || *step == '\0') {
        return;
    }
    run.onReplacementStep([stopAt = std::atoi(step)](int done) {
        if (done == stopAt) {
            std::_Exit(kStoppedByTheTests);
        }
    });
}

void runConversion(const ConvertOptions& options) {
    if (!documentExists(options.document)) {
        throw NoSuchDocument();
    }
    TypedFrameChooser frames(options.frames);
    const std::filesystem::path folder = exchangeFolderOrDefault(options.exchange);
    ConversionRun run(options.document, folder, frames);
    stopAtTheStepTheTestsAskFor(run);
    const ConversionSummary summary = run.run();

    std::cout << "Tables written in " << folder.string() << ":\n";
    for (const auto& [table, rows] : summary.rowsPerTable) {
        std::cout << "  " << std::left << std::setw(12) << table << rows << " rows\n";
    }
}

} // namespace

void addConvertCommand(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command = app.add_subcommand(
        "convert", "Turns a Sauce service document into the eight Horadia exchange tables.");
    command->add_option("DOCUMENT", options->document, "The Sauce service document")->required();
    command->add_option("--exchange", options->exchange,
                        "The exchange folder the tables are written to");
    command
        ->add_option("--frames", options->frames,
                     "The time frames to apply, one or two keys separated by a comma; needed "
                     "when the document has two or more")
        ->delimiter(',');
    command->callback([options] { runConversion(*options); });
}

} // namespace velmora::cli
