#include "cli/Commands.h"
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
            throw UsageError("The document has several time frames; choose one or two with "
                             "--frames KEY[,KEY]. Available: " +
                             listOfKeys(listing.listedKeys()));
        }
        try {
            return chooseFramesByKeys(document, keys_);
        } catch (const FrameChoiceError& error) {
            throw UsageError(error.what());
        }
    }

private:
    std::vector<std::string> keys_;
};

void runConversion(const ConvertOptions& options) {
    const std::filesystem::path document = pathFromUtf8(options.document);
    if (!documentExists(document)) {
        throw Error("No existe archivo");
    }
    CommandLineFrameChooser frames(options.frames);
    const std::filesystem::path folder = exchangeFolderOrDefault(options.exchange);
    const ConversionSummary summary = ConversionRun(document, folder, frames).run();

    std::cout << "Tables written in " << pathToUtf8(folder) << ":\n";
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
