#pragma once

#include "app/presenter/MainView.h"
#include "conversion/FrameChooser.h"
#include "formats/RunNotes.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::app {

// The two runs of the core as the window starts them. The program uses the real ones; a test
// gives its own.
struct WindowRuns {
    std::function<RunNotes(const std::filesystem::path& document, FrameChooser& frames)> convert;
    std::function<RunNotes(const std::filesystem::path& document)> results;
};

// The runs of the core on an exchange folder.
WindowRuns coreRuns(const std::filesystem::path& exchangeFolder);

// Everything the window takes from its surroundings.
struct WindowSetup {
    std::vector<std::string> arguments; // the command line after the program's name, in UTF-8
    std::filesystem::path iniFile;      // "Horadia.ini" beside the program
    std::filesystem::path exchangeFolder;
    std::filesystem::path compiledHelpFile; // "SAUCE.chm" beside the program; none when empty
    WindowRuns runs;
};

// The running program's setup, for a program in programFolder started with these arguments
// (after its name, in UTF-8): "Horadia.ini" and "SAUCE.chm" beside it, the default exchange
// folder and the core's runs on it.
WindowSetup programSetup(const std::filesystem::path& programFolder,
                         std::vector<std::string> arguments);

// Everything the main window decides, for any face: automatic mode, the runs and what is said
// when they end or fail, the completion code, and what closing leaves for the program that
// started it. The face forwards its events here and draws what the view is told.
class MainPresenter {
public:
    MainPresenter(MainView& view, WindowSetup setup);

    bool automaticMode() const { return automaticMode_; }
    std::int32_t completionCode() const { return completionCode_; }
    const std::filesystem::path& document() const { return document_; }

    // The window is on screen for the first time: automatic mode starts the named run.
    void windowShown();
    void convertClicked();
    void resultsClicked();
    void helpContentsClicked();
    void helpKeyPressed(HelpTopic topic);
    // Every close, whichever way it comes: automatic mode leaves the notes and the completion
    // code. The close always goes on.
    void windowClosing();

private:
    void runOnChosenDocument(const std::function<RunNotes()>& run);
    std::filesystem::path documentDialogFolder() const;
    std::optional<RunNotes> runReportingErrors(const std::function<RunNotes()>& run);
    void finishRun(RunNotes notes);
    void showClosingMessage();
    void saveNotesChosen();
    void showHelp(int context, const char* guidePage);
    void leaveNotesForCaller();
    void writeCompletionCode();

    MainView& view_;
    WindowSetup setup_;
    bool automaticMode_ = false;
    std::int32_t completionCode_ = 0;
    std::filesystem::path document_;
    RunNotes finishedRunNotes_;
    bool shownBefore_ = false;
};

} // namespace velmora::app
