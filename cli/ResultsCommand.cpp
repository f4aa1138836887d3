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
        throw NoSuchDocument();
    }
    ResultsRun run(document, exchangeFolderOrDefault(options.exchange));
    // One kind of separator, the platform's, even where the user typed the other.
    std::cout << pathToUtf8(run.run().make_preferred()) << "\n";
}

} // namespace

void addResultsCommand(CLI::App& app) {
    auto options = std::make_shared<ResultsOptions>();
    CLI::App* command = app.add_subcommand(
        "results", "Escribe el horario de SOLUC en un documento de servicio de Sauce, que se "
                   "guarda al lado del documento con el nombre ResultadoHoradia delante del "
                   "suyo, y muestra su ruta.");
    command->add_option("DOCUMENTO", options->document, "El documento de servicio de Sauce (XML).")
        ->required()
        ->option_text("(obligatorio)");
    command
        ->add_option("--exchange", options->exchange,
                     "La carpeta de intercambio que tiene SOLUC y las demás tablas.")
        ->option_text("CARPETA");
    command->callback([options] { runResults(*options); });
}

} // namespace velmora::cli
