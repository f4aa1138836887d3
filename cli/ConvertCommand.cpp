#include "cli/Commands.h"
#include "cli/CoreErrorText.h"
#include "cli/NoteLines.h"
#include "cli/RunReport.h"
#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "messages/Messages.h"
#include "services/Error.h"
#include "services/files/FileSystem.h"
#include "services/files/WholeFile.h"

#include <algorithm>
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
    std::string report;
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
    const std::filesystem::path document = pathFromUtf8(options.document);
    if (!documentExists(document)) {
        throw NoSuchDocument();
    }
    TypedFrameChooser frames(options.frames);
    const std::filesystem::path folder = exchangeFolderOrDefault(options.exchange);
    ConversionRun run(document, folder, frames);
    stopAtTheStepTheTestsAskFor(run);
    const ConversionSummary summary = run.run();

    std::cout << "Tablas escritas en " << pathToUtf8(folder) << ":\n";
    for (const auto& [table, rows] : summary.rowsPerTable) {
        std::cout << "  " << std::left << std::setw(12) << table << rows
                  << (rows == 1 ? " registro" : " registros");
        const auto change =
            std::find_if(summary.changes.begin(), summary.changes.end(),
                         [&table](const TableChange& c) { return c.table == table; });
        if (change != summary.changes.end() && (change->added > 0 || change->removed > 0)) {
            std::cout << ": " << messages::rowChanges(change->added, change->removed);
        }
        std::cout << "\n";
    }
    printNoteCounts(std::cout, summary.notes, !options.report.empty());
    if (!options.report.empty()) {
        writeWholeFile(pathFromUtf8(options.report), conversionReport(document, summary));
    }
}

} // namespace

void addConvertCommand(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command = app.add_subcommand(
        "convert", "Transforma un documento de servicio de Sauce en las ocho tablas de "
                   "intercambio de Horadia.");
    command->add_option("DOCUMENTO", options->document, "El documento de servicio de Sauce (XML).")
        ->required()
        ->option_text("(obligatorio)");
    command
        ->add_option("--exchange", options->exchange,
                     "La carpeta de intercambio donde se escriben las tablas.")
        ->option_text("CARPETA");
    command
        ->add_option("--frames", options->frames,
                     "Los marcos horarios que se aplican, por su clave: uno o dos separados por "
                     "una coma. Hace falta cuando el documento tiene dos o más.")
        ->delimiter(',')
        ->option_text("CLAVE[,CLAVE]");
    command
        ->add_option("--report", options->report,
                     "Escribe en este archivo, en JSON, cada aviso de la transformación: qué se ha "
                     "cambiado o no se ha podido usar, y dónde.")
        ->option_text("ARCHIVO");
    command->callback([options] { runConversion(*options); });
}

} // namespace velmora::cli
