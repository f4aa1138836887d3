#include "cli/Commands.h"
#include "formats/ExchangeTables.h"
#include "messages/CommandLineTexts.h"
#include "services/files/FileReplacement.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace velmora::cli {

namespace {

struct DumpOptions {
    std::string table;
    std::string exchange;
};

// RFC 4180: a field holding a comma, a quote or a line break is quoted, its quotes doubled.
std::string csvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) {
        return value;
    }
    std::string quoted = "\"";
    for (char c : value) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

void printCsvLine(std::ostream& out, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i == 0 ? "" : ",") << csvField(values[i]);
    }
    out << "\n";
}

void dumpTable(const DumpOptions& options) {
    const std::filesystem::path folder = exchangeFolderOrDefault(options.exchange);
    tidyExchangeFolder(folder);
    DbfReader table = openTable(folder, options.table, LockedFile::Lock::Shared);
    std::vector<std::string> names;
    for (const DbfColumn& column : table.header().columns) {
        names.push_back(column.name);
    }
    printCsvLine(std::cout, names);
    while (const auto record = table.next()) {
        std::vector<std::string> values;
        for (std::size_t column = 0; column < names.size(); ++column) {
            values.push_back(record->text(column));
        }
        printCsvLine(std::cout, values);
    }
    std::cout.flush();
}

} // namespace

void addDumpCommand(CLI::App& app) {
    namespace words = messages::commandLine;
    auto options = std::make_shared<DumpOptions>();
    CLI::App* command = app.add_subcommand("dump", words::kDumpCommand);
    command->add_option("TABLA", options->table, words::kTableArgument)
        ->required()
        ->option_text(words::kRequiredTable);
    command->add_option("--exchange", options->exchange, words::kDumpExchangeOption)
        ->option_text(words::kFolderValue);
    command->callback([options] { dumpTable(*options); });
}

} // namespace velmora::cli
