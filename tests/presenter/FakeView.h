#pragma once

// A view that answers the presenter from a script and keeps what it was told, as the windows
// of either face would show it; and runs that do nothing but what a test asks of them.
#include "app/presenter/MainPresenter.h"
#include "services/Error.h"
#include "support/TestSupport.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::testing {

// One box or dialog the view was asked to show, with the pointer it was shown under.
struct Shown {
    std::string kind; // "message", "warning", "error", "notes", "frames" or "frame-message"
    std::string text; // the box's text; the notes' text; the document the frame dialog reads
    bool busy = false;
};

class FakeView : public app::MainView {
public:
    // Answers, taken in order.
    std::deque<std::optional<std::filesystem::path>> documentAnswers; // cancelled once used up
    std::deque<std::vector<std::size_t>> frameAnswers; // the rows selected in each frame dialog
    std::function<void()> beforeFrameDialog;           // between the question and the dialog
    int savePressesPerNotesMessage = 0;
    std::deque<std::optional<std::filesystem::path>> notesFileAnswers; // cancelled once used up
    bool compiledHelpStarts = true;

    // What the view was asked and told.
    std::vector<Shown> shown;
    std::vector<app::NotesMessage> notesMessages;
    std::vector<std::filesystem::path> startFolders;
    std::vector<std::filesystem::path> offeredDocuments;
    std::vector<std::filesystem::path> suggestedNotesFiles;
    std::vector<std::pair<std::filesystem::path, int>> compiledHelpShown;
    std::vector<std::string> guidePages;
    std::optional<bool> runsEnabled; // as last set; nothing while never set
    bool busy = false;
    int closes = 0;

    // A window whose close goes through the presenter, as the faces' windows do.
    app::MainPresenter* presenter = nullptr;

    std::vector<std::string> kinds() const;
    std::vector<std::string> texts(const std::string& kind) const;
    int documentQuestions() const { return static_cast<int>(startFolders.size()); }

    std::optional<std::filesystem::path>
    chooseDocument(const std::filesystem::path& startFolder,
                   const std::filesystem::path& lastChosen) override;
    app::FrameDialogOutcome chooseFrames(const std::filesystem::path& document) override;
    void showMessage(const std::string& text) override { shown.push_back({"message", text, busy}); }
    void showWarning(const std::string& text) override { shown.push_back({"warning", text, busy}); }
    void showError(const std::string& text) override { shown.push_back({"error", text, busy}); }
    void showNotes(const app::NotesMessage& message,
                   const std::function<void()>& saveNotes) override;
    std::optional<std::filesystem::path>
    chooseNotesFile(const std::filesystem::path& suggested) override;
    void enableRuns(bool enabled) override { runsEnabled = enabled; }
    bool showCompiledHelp(const std::filesystem::path& helpFile, int context) override;
    void showGuide(const std::string& page) override { guidePages.push_back(page); }
    void setBusy(bool isBusy) override { busy = isBusy; }
    void close() override;
};

// Runs that note how they were started and end as the test says.
struct FakeRuns {
    std::vector<std::string> started; // "convert" or "results", then the document
    std::vector<bool> busyAtStart;
    bool askFrames = false;             // the conversion asks for the time frames
    std::function<void()> beforeFrames; // between the start of the run and its question
    std::vector<std::string> answered;  // what the frame question answered
    RunNotes notes;                     // what a run that ends leaves
    std::function<void()> fail;         // throws, when a run is to fail
    FakeView* view = nullptr;

    app::WindowRuns runs();
};

// A home for one test: the exchange folder with its "Sauce" folder holding a document, the
// program's folder for the ini and help files, a fake view and fake runs.
struct Scene {
    TempDir home;
    std::filesystem::path exchange = home / "HTEMP";
    std::filesystem::path program = home / "bin";
    std::filesystem::path document = exchange / "Sauce" / "export.xml";
    std::filesystem::path ini = program / "Horadia.ini";
    std::filesystem::path notesFile = program / "Velmora-avisos.txt";
    FakeView view;
    FakeRuns runs;

    Scene();
    // A presenter of a program started with these arguments, its view already shown.
    std::unique_ptr<app::MainPresenter> started(std::vector<std::string> arguments);
    // The same before the window is shown.
    std::unique_ptr<app::MainPresenter> created(std::vector<std::string> arguments);
};

// The completion file as a fresh write leaves it.
std::string completionFile(const std::string& code);

// Text with the platform's line ends, as a file of notes holds it.
std::string withPlatformLineEnds(std::string text);

} // namespace velmora::testing
