#include "cli/Commands.h"
#include "cli/CoreErrorText.h"
#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "services/Error.h"
#include "services/FileSystem.h"
#include "services/Text.h"

#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace velmora::cli {

namespace {

struct ConvertOptions {
    std::string document;
    std::string exchange;
    std::vector<std::string> frames;
};

std::string listOfKeys(const std::vector<std::string>& keys) {
    std::string list;
    for (const auto& key : keys) {
        list += (list.empty() ? "" : ", ") + text::trim(key);
    }
    return list;
}

// The dialog's question answered from --frames; a missing or wrong answer is a usage error,
// reported with the frames the document offers.
class CommandLineFrameChooser : public FrameChooser {
public:
    explicit CommandLineFrameChooser(std::vector<std::string> keys) : keys_(std::move(keys)) {}

    std::string chooseFrames(const std::filesystem::path& document) override {
        if (keys_.empty()) {
            const auto listing = FrameListing::load(document);
            throw UsageError("El documento tiene varios marcos horarios: elija uno o dos con "
                             "--frames CLAVE[,CLAVE]. Marcos del documento: " +
                             listOfKeys(listing.listedKeys()) + ".");
        }
        try {
            return chooseFramesByKeys(document, keys_);
        } catch (const FrameChoiceError& error) {
            throw UsageError(coreErrorText(error));
        }
    }

private:
    std::vector<std::string> keys_;
};

void runConversion(const ConvertOptions& options) {
    if (!documentExists(options.document)) {
        throw Error("No existe archivo");
    }
    CommandLineFrameChooser frames(options.frames);
    const std::filesystem::path folder = exchangeFolderOrDefault(options.exchange);
    const ConversionSummary summary = ConversionRun(options.document, folder, frames).run();

    std::cout << "Tablas escritas en " << folder.string() << ":\n";
    for (const auto& [table, rows] : summary.rowsPerTable) {
        std::cout << "  " << std::left << std::setw(12) << table << rows
                  << (rows == 1 ? " registro\n" : " registros\n");
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
    command->callback([options] { runConversion(*options); });
}

} // namespace velmora::cli
