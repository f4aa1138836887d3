#include "cli/Commands.h"
#include "cli/NoteLines.h"
#include "cli/RunReport.h"
#include "messages/CommandLineTexts.h"
#include "results/ResultsRun.h"
#include "services/Error.h"
#include "services/files/FileSystem.h"
#include "services/files/WholeFile.h"

#include <iostream>
#include <memory>
#include <optional>
#include <string>

namespace velmora::cli {

namespace {

struct ResultsOptions {
    std::string document;
    std::string exchange;
    std::string report;
};

// One kind of separator, the platform's, even where the user typed the other.
std::filesystem::path shownResultPath(const std::filesystem::path& document) {
    return resultPathFor(document).make_preferred();
}

// The report's draft is made before anything else, so that a report that cannot be written
// stops the run before it changes anything; it is written once the result is, and put in place
// right after it. Should that last step fail, the result is saved already, and the error says so.
void writeReportAlong(ResultsRun& run, FileDraft& report, const std::filesystem::path& document) {
    run.alongWithResult({
        .prepare =
            [&report, &document](const ResultsRun& done) {
                report.write([&](std::ostream& out) {
                    writeResultsReport(out, document, shownResultPath(document), done.lessonCount(),
                                       done.notes());
                });
                report.finish();
            },
        .putInPlace =
            [&report, &document] {
                try {
                    report.putInPlace({.folderSyncRequired = false});
                } catch (const Error& error) {
                    throw Error(ErrorKind::ReportNotWritten,
                                {.file = report.target(),
                                 .value = pathToUtf8(shownResultPath(document)),
                                 .system = error.details().system});
                }
            },
    });
}

void runResults(const ResultsOptions& options) {
    const std::filesystem::path document = pathFromUtf8(options.document);
    if (!documentExists(document)) {
        throw NoSuchDocument();
    }
    std::optional<FileDraft> report;
    if (!options.report.empty()) {
        report.emplace(pathFromUtf8(options.report));
    }
    ResultsRun run(document, exchangeFolderOrDefault(options.exchange));
    if (report) {
        writeReportAlong(run, *report, document);
    }
    run.run();
    std::cout << pathToUtf8(shownResultPath(document)) << "\n";
    printNoteCounts(std::cout, run.notes(), !options.report.empty());
}

} // namespace

void addResultsCommand(CLI::App& app) {
    namespace words = messages::commandLine;
    auto options = std::make_shared<ResultsOptions>();
    CLI::App* command = app.add_subcommand("results", words::kResultsCommand);
    command->add_option("DOCUMENTO", options->document, words::kDocumentArgument)
        ->required()
        ->option_text(words::kRequiredDocument);
    command->add_option("--exchange", options->exchange, words::kResultsExchangeOption)
        ->option_text(words::kFolderValue);
    command->add_option("--report", options->report, words::kResultsReportOption)
        ->option_text(words::kFileValue);
    command->callback([options] { runResults(*options); });
}

} // namespace velmora::cli
