#include "cli/Commands.h"
#include "cli/CoreErrorText.h"
#include "cli/NoteLines.h"
#include "cli/RunReport.h"
#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "messages/CommandLineTexts.h"
#include "messages/CommandTexts.h"
#include "messages/Messages.h"
#include "services/Error.h"
#include "services/files/FileSystem.h"
#include "services/files/WholeFile.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

namespace {

struct ConvertOptions {
    std::string document;
    std::string exchange;
    std::vector<std::string> frames;
    std::string report;
};

// The report changes with the tables or not at all: its draft is made before anything else, so
// that a report that cannot be written stops the run before it changes anything; it is written
// once the run knows what it did, and put in place together with the new tables.
void writeReportAlong(ConversionRun& run, FileDraft& report,
                      const std::filesystem::path& document) {
    run.alongWithTables({
        .prepare =
            [&report, &document](const ConversionSummary& summary) {
                report.write(
                    [&](std::ostream& out) { writeConversionReport(out, document, summary); });
                report.finish();
            },
        .putInPlace = [&report] { report.putInPlace({.folderSyncRequired = false}); },
    });
}

void runConversion(const ConvertOptions& options, const CommandHooks& hooks) {
    const std::filesystem::path document = pathFromUtf8(options.document);
    if (!documentExists(document)) {
        throw NoSuchDocument();
    }
    std::optional<FileDraft> report;
    if (!options.report.empty()) {
        report.emplace(pathFromUtf8(options.report));
    }
    TypedFrameChooser frames(options.frames);
    const std::filesystem::path folder = exchangeFolderOrDefault(options.exchange);
    ConversionRun run(document, folder, frames);
    run.onReplacementStep(hooks.afterReplacementStep);
    if (report) {
        writeReportAlong(run, *report, document);
    }
    const ConversionSummary summary = run.run();

    std::cout << messages::tablesWrittenIn(pathToUtf8(folder)) << "\n";
    for (const auto& [table, rows] : summary.rowsPerTable) {
        std::cout << "  " << std::left << std::setw(12) << table
                  << messages::commandLine::recordCount(rows);
        const auto change =
            std::find_if(summary.changes.begin(), summary.changes.end(),
                         [&table](const TableChange& c) { return c.table == table; });
        if (change != summary.changes.end() && (change->added > 0 || change->removed > 0)) {
            std::cout << ": " << messages::rowChanges(change->added, change->removed);
        }
        std::cout << "\n";
    }
    printNoteCounts(std::cout, summary.notes, !options.report.empty());
}

} // namespace

void addConvertCommand(CLI::App& app, const CommandHooks& hooks) {
    namespace words = messages::commandLine;
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command = app.add_subcommand("convert", words::kConvertCommand);
    command->add_option("DOCUMENTO", options->document, words::kDocumentArgument)
        ->required()
        ->option_text(words::kRequiredDocument);
    command->add_option("--exchange", options->exchange, words::kConvertExchangeOption)
        ->option_text(words::kFolderValue);
    command->add_option("--frames", options->frames, words::kFramesOption)
        ->delimiter(',')
        ->option_text(words::kFramesValue);
    command->add_option("--report", options->report, words::kConvertReportOption)
        ->option_text(words::kFileValue);
    command->callback([options, hooks] { runConversion(*options, hooks); });
}

} // namespace velmora::cli
