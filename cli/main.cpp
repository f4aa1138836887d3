#include "cli/Commands.h"
#include "messages/Messages.h"
#include "services/Error.h"
#include "services/ExchangeFolder.h"

#include <iostream>

namespace velmora::cli {

std::string exchangeFolderOrDefault(const std::string& option) {
    return option.empty() ? defaultExchangeFolder().string() : option;
}

namespace {

// The frames given with --frames are part of the command line.
bool isUsageProblem(velmora::ErrorKind kind) {
    using velmora::ErrorKind;
    return kind == ErrorKind::FramesNotChosen || kind == ErrorKind::UnknownFrame ||
           kind == ErrorKind::TooManyFrames;
}

} // namespace

} // namespace velmora::cli

int main(int argc, char** argv) {
    using namespace velmora::cli;
    CLI::App app{"Velmora: moves a school's timetable data between Sauce and Horadia.",
                 "velmora-cli"};
    app.require_subcommand(1);
    addDumpCommand(app);
    addConvertCommand(app);
    addResultsCommand(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    } catch (const NoSuchDocument& error) {
        std::cerr << error.what() << "\n";
        return 1;
    } catch (const velmora::Error& error) {
        std::cerr << velmora::messages::describe(error) << "\n";
        return isUsageProblem(error.kind()) ? 2 : 1;
    } catch (const std::exception& error) {
        std::cerr << velmora::messages::describe(error) << "\n";
        return 1;
    }
    return 0;
}
