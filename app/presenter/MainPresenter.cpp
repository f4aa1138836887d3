#include "app/presenter/MainPresenter.h"

#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "messages/Messages.h"
#include "messages/NotesFile.h"
#include "messages/WindowTexts.h"
#include "results/ResultsRun.h"
#include "services/Error.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/FileSystem.h"
#include "services/files/IniFile.h"
#include "services/text/Text.h"

#include <utility>

namespace velmora::app {

namespace {

// 0 asks the compiled help file for its table of contents.
constexpr int kHelpContents = 0;

// One pointer while something lasts, the other again after it, on every path out of it: the
// hour-glass while a run works, the ordinary pointer while a run waits for the user's answer.
class PointerWhile {
public:
    PointerWhile(MainView& view, bool busy) : view_(view), busy_(busy) { view_.setBusy(busy_); }
    ~PointerWhile() { view_.setBusy(!busy_); }
    PointerWhile(const PointerWhile&) = delete;
    PointerWhile& operator=(const PointerWhile&) = delete;

private:
    MainView& view_;
    bool busy_;
};

[[noreturn]] void throwNothingToChoose(const std::filesystem::path& document,
                                       const std::optional<Error>& problem) {
    if (problem) {
        throw Error(ErrorKind::FramesUnreadable, {.file = document, .cause = problem->kind()});
    }
    throw Error(ErrorKind::FramesNotOffered, {.file = document});
}

// Answers the conversion's frame question with the view's time-frame dialog: a fresh dialog
// each time, again and again, until the user has chosen one or two frames. The dialog reads
// the window's document itself.
class DialogFrameChooser : public FrameChooser {
public:
    DialogFrameChooser(MainView& view, std::filesystem::path document)
        : view_(view), document_(std::move(document)) {}

    // Throws instead of asking when the document offers no frames to choose from (changed,
    // removed or unreadable since the run read it): no choice could ever be made there.
    std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
        const PointerWhile ordinary(view_, false);
        for (;;) {
            const FrameListing listing = FrameListing::load(document_);
            if (listing.listedKeys().empty()) {
                throwNothingToChoose(document_, listing.problem());
            }
            const FrameDialogOutcome outcome = view_.chooseFrames(document_);
            // The dialog reads the file once more; it may have changed in between.
            if (!outcome.framesListed) {
                throwNothingToChoose(document_, outcome.readProblem);
            }
            if (outcome.verdict.valid) {
                return outcome.verdict.keys;
            }
        }
    }

private:
    MainView& view_;
    std::filesystem::path document_;
};

} // namespace

WindowRuns coreRuns(const std::filesystem::path& exchangeFolder) {
    return {
        .convert =
            [exchangeFolder](const std::filesystem::path& document, FrameChooser& frames) {
                return ConversionRun(document, exchangeFolder, frames).run().notes;
            },
        .results =
            [exchangeFolder](const std::filesystem::path& document) {
                ResultsRun run(document, exchangeFolder);
                run.run();
                return run.takeNotes();
            },
    };
}

WindowSetup programSetup(const std::filesystem::path& programFolder,
                         std::vector<std::string> arguments) {
    WindowSetup setup;
    setup.arguments = std::move(arguments);
    setup.iniFile = programFolder / "Horadia.ini";
    setup.exchangeFolder = defaultExchangeFolder();
    setup.compiledHelpFile = programFolder / "SAUCE.chm";
    setup.runs = coreRuns(setup.exchangeFolder);
    return setup;
}

MainPresenter::MainPresenter(MainView& view, WindowSetup setup)
    : view_(view), setup_(std::move(setup)), automaticMode_(setup_.arguments.size() == 2) {}

void MainPresenter::windowShown() {
    if (shownBefore_) {
        return;
    }
    shownBefore_ = true;
    if (!automaticMode_) {
        return;
    }
    const std::string named = text::asciiLower(setup_.arguments.front());
    if (named == "importar") {
        resultsClicked();
    } else if (named == "exportar") {
        convertClicked();
    }
}

void MainPresenter::convertClicked() {
    runOnChosenDocument([this] {
        DialogFrameChooser frames(view_, document_);
        return setup_.runs.convert(document_, frames);
    });
}

void MainPresenter::resultsClicked() {
    runOnChosenDocument([this] { return setup_.runs.results(document_); });
}

void MainPresenter::runOnChosenDocument(const std::function<RunNotes()>& run) {
    // A cancelled dialog leaves the document chosen before, if any: the run goes on with it.
    if (auto chosen = view_.chooseDocument(documentDialogFolder(), document_)) {
        document_ = std::move(*chosen);
    }
    if (!documentExists(document_)) {
        view_.showMessage(messages::kNoDocument);
        if (automaticMode_) {
            completionCode_ = -1;
            view_.close();
        }
        return;
    }
    if (auto notes = runReportingErrors(run)) {
        finishRun(std::move(*notes));
    }
}

std::filesystem::path MainPresenter::documentDialogFolder() const {
    // The documents from Sauce are kept in the exchange folder's "sauce" folder, whatever the
    // letter case its name was given.
    std::error_code error;
    for (const auto& candidate : findFilesIgnoringCase(setup_.exchangeFolder, "sauce")) {
        if (std::filesystem::is_directory(candidate, error)) {
            return candidate;
        }
    }
    if (std::filesystem::is_directory(setup_.exchangeFolder, error)) {
        return setup_.exchangeFolder;
    }
    return {};
}

std::optional<RunNotes> MainPresenter::runReportingErrors(const std::function<RunNotes()>& run) {
    // The pointer is the ordinary one again before any message is shown.
    try {
        const PointerWhile busy(view_, true);
        return run();
    } catch (const std::exception& error) {
        view_.showError(messages::describe(error));
    } catch (...) {
        view_.showError(messages::kUnknownError);
    }
    return std::nullopt;
}

void MainPresenter::finishRun(RunNotes notes) {
    completionCode_ = 1;
    finishedRunNotes_ = std::move(notes);
    showClosingMessage();
    view_.enableRuns(false);
    if (automaticMode_) {
        view_.close();
    }
}

void MainPresenter::showClosingMessage() {
    if (finishedRunNotes_.empty()) {
        view_.showMessage(messages::kRunFinished);
        return;
    }
    // A timetable already made in Horadia follows a moved code to someone else, which the user
    // has to hear of before anything else. A calling program's run does not stop for it: the
    // notes it gets say it all the same.
    if (const auto warning = messages::movedCodesWarning(finishedRunNotes_);
        warning && !automaticMode_) {
        view_.showWarning(*warning);
    }
    // A large school's run leaves a hundred thousand notes: a message that listed them all would
    // take long to open and longer to read. It shows a few of each place and how many more
    // there are; saving writes every one.
    view_.showNotes({.text = messages::kRunFinished,
                     .summary = messages::notesSummary(finishedRunNotes_),
                     .details = messages::noteExamples(finishedRunNotes_)},
                    [this] { saveNotesChosen(); });
}

void MainPresenter::saveNotesChosen() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(document_, error).parent_path();
    const auto chosen =
        view_.chooseNotesFile(folder / pathFromUtf8(messages::kSuggestedNotesFileName));
    if (!chosen) {
        return;
    }
    try {
        messages::writeNotesFile(*chosen, finishedRunNotes_);
    } catch (const std::exception& failure) {
        view_.showError(messages::describe(failure));
    }
}

void MainPresenter::helpContentsClicked() {
    showHelp(kHelpContents, guideContentsPage);
}

void MainPresenter::helpKeyPressed(HelpTopic topic) {
    switch (topic) {
    case HelpTopic::MainWindow:
        showHelp(windowHelpContext, "ventana.html");
        return;
    case HelpTopic::FrameDialog:
        showHelp(windowHelpContext, "marcos.html");
        return;
    }
}

void MainPresenter::showHelp(int context, const char* guidePage) {
    // The compiled help file where it is there and its viewer starts; the guide built into the
    // program otherwise.
    const std::filesystem::path& helpFile = setup_.compiledHelpFile;
    std::error_code error;
    if (!helpFile.empty() && std::filesystem::is_regular_file(helpFile, error)) {
        const std::filesystem::path absolute = std::filesystem::absolute(helpFile, error);
        if (view_.showCompiledHelp(error ? helpFile : absolute, context)) {
            return;
        }
    }
    view_.showGuide(guidePage);
}

void MainPresenter::windowClosing() {
    if (!automaticMode_) {
        return;
    }
    // The notes first: once the completion code says the run is done, they are there.
    leaveNotesForCaller();
    writeCompletionCode();
}

// The calling program finds the notes of this run beside the ini file, or no notes file at all:
// never one that an earlier run left.
void MainPresenter::leaveNotesForCaller() {
    const std::filesystem::path file = messages::automaticNotesFile(setup_.iniFile);
    if (!finishedRunNotes_.empty()) {
        try {
            messages::writeNotesFile(file, finishedRunNotes_);
        } catch (const std::exception& error) {
            view_.showError(messages::describe(error));
        }
        return;
    }
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
        view_.showError(messages::staleNotesFileKept(file, error));
    }
}

void MainPresenter::writeCompletionCode() {
    try {
        writeProfileString(setup_.iniFile, "Transformadores", "Transformado",
                           std::to_string(completionCode_));
    } catch (const std::exception& error) {
        // The program ends all the same: keeping the window open would only fail again at
        // every further attempt to close it.
        view_.showError(messages::describe(error));
    }
}

} // namespace velmora::app
