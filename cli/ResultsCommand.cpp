#include "cli/Commands.h"
#include "results/ResultsRun.h"
#include "services/Error.h"
#include "services/FileSystem.h"

#include <iostream>
#include <memory>
#include <string>

namespace velmora::cli {

namespace {

struct ResultsOptions {
    std::string document;
    std::string exchange;
};

void runResults(const ResultsOptions& options) {
    const std::filesystem::path document = pathFromUtf8(options.document);
    if (!documentExists(document)) {
        throw Error("No existe archivo");
    }
    ResultsRun run(document, exchangeFolderOrDefault(options.exchange));
    std::cout << pathToUtf8(run.run()) << "\n";
}

} // namespace

void addResultsCommand(CLI::App& app) {
    auto options = std::make_shared<ResultsOptions>();
    CLI::App* command = app.add_subcommand(
        "results", "Writes the timetable in SOLUC back into a Sauce service document, saved as "
                   "ResultadoHoradia followed by the document's name, beside it.");
    command->add_option("DOCUMENT", options->document, "The Sauce service document")->required();
    command->add_option("--exchange", options->exchange,
                        "The exchange folder holding SOLUC and the exchange tables");
    command->callback([options] { runResults(*options); });
}

} // namespace velmora::cli
