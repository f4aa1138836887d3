#include "cli/Commands.h"
#include "cli/NoteLines.h"
#include "cli/RunReport.h"
#include "results/ResultsRun.h"
#include "services/Error.h"
#include "services/files/FileSystem.h"
#include "services/files/WholeFile.h"

#include <iostream>
#include <memory>
#include <string>

namespace velmora::cli {

namespace {

struct ResultsOptions {
    std::string document;
    std::string exchange;
    std::string report;
};

void runResults(const ResultsOptions& options) {
    const std::filesystem::path document = pathFromUtf8(options.document);
    if (!documentExists(document)) {
        throw NoSuchDocument();
    }
    ResultsRun run(document, exchangeFolderOrDefault(options.exchange));
    // One kind of separator, the platform's, even where the user typed the other.
    const std::filesystem::path result = run.run().make_preferred();
    std::cout << pathToUtf8(result) << "\n";
    printNoteCounts(std::cout, run.notes(), !options.report.empty());
    if (!options.report.empty()) {
        writeWholeFile(pathFromUtf8(options.report),
                       resultsReport(document, result, run.lessonCount(), run.notes()));
    }
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
    command
        ->add_option("--report", options->report,
                     "Escribe en este archivo, en JSON, cada aviso: las clases que no se han "
                     "pasado y los códigos de SOLUC que las tablas no conocen.")
        ->option_text("ARCHIVO");
    command->callback([options] { runResults(*options); });
}

} // namespace velmora::cli
