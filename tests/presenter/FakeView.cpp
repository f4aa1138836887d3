#include "FakeView.h"

#include "app/presenter/FrameDialogModel.h"
#include "conversion/FrameSelection.h"

#include <stdexcept>

namespace velmora::testing {

namespace {

template <typename T> T takeFirst(std::deque<T>& answers, T whenNone) {
    if (answers.empty()) {
        return whenNone;
    }
    T first = std::move(answers.front());
    answers.pop_front();
    return first;
}

} // namespace

std::vector<std::string> FakeView::kinds() const {
    std::vector<std::string> out;
    for (const Shown& box : shown) {
        out.push_back(box.kind);
    }
    return out;
}

std::vector<std::string> FakeView::texts(const std::string& kind) const {
    std::vector<std::string> out;
    for (const Shown& box : shown) {
        if (box.kind == kind) {
            out.push_back(box.text);
        }
    }
    return out;
}

std::optional<std::filesystem::path>
FakeView::chooseDocument(const std::filesystem::path& startFolder,
                         const std::filesystem::path& lastChosen) {
    startFolders.push_back(startFolder);
    offeredDocuments.push_back(lastChosen);
    return takeFirst(documentAnswers, std::optional<std::filesystem::path>());
}

// The dialog as a face draws it: its model reads the document, the user selects rows, and the
// closing check's message shows before the dialog goes.
app::FrameDialogOutcome FakeView::chooseFrames(const std::filesystem::path& document) {
    shown.push_back({"frames", pathToUtf8(document), busy});
    if (frameAnswers.empty()) {
        // The presenter would ask for ever; a test that gets here has expected fewer dialogs.
        throw std::logic_error("the frame dialog was shown once more than the test answers");
    }
    if (beforeFrameDialog) {
        beforeFrameDialog();
    }
    app::FrameDialogModel model(document);
    model.load();
    const app::FrameDialogOutcome outcome =
        model.outcome(model.close(takeFirst(frameAnswers, std::vector<std::size_t>())));
    if (!outcome.verdict.message.empty()) {
        shown.push_back({"frame-message", outcome.verdict.message, busy});
    }
    return outcome;
}

void FakeView::showNotes(const app::NotesMessage& message, const std::function<void()>& saveNotes) {
    shown.push_back({"notes", message.text, busy});
    notesMessages.push_back(message);
    for (int press = 0; press < savePressesPerNotesMessage; ++press) {
        saveNotes();
    }
}

std::optional<std::filesystem::path>
FakeView::chooseNotesFile(const std::filesystem::path& suggested) {
    suggestedNotesFiles.push_back(suggested);
    return takeFirst(notesFileAnswers, std::optional<std::filesystem::path>());
}

bool FakeView::showCompiledHelp(const std::filesystem::path& helpFile, int context) {
    compiledHelpShown.emplace_back(helpFile, context);
    return compiledHelpStarts;
}

void FakeView::close() {
    ++closes;
    if (presenter != nullptr) {
        presenter->windowClosing();
    }
}

app::WindowRuns FakeRuns::runs() {
    return {
        .convert =
            [this](const std::filesystem::path& document, FrameChooser& frames) {
                started.push_back("convert " + pathToUtf8(document));
                busyAtStart.push_back(view->busy);
                if (beforeFrames) {
                    beforeFrames();
                }
                if (askFrames) {
                    answered.push_back(frames.chooseFrames(document, FrameListing()));
                }
                if (fail) {
                    fail();
                }
                return notes;
            },
        .results =
            [this](const std::filesystem::path& document) {
                started.push_back("results " + pathToUtf8(document));
                busyAtStart.push_back(view->busy);
                if (fail) {
                    fail();
                }
                return notes;
            },
    };
}

Scene::Scene() {
    std::filesystem::create_directories(exchange / "Sauce");
    std::filesystem::create_directories(program);
    writeFile(document, sauceXml({}));
    runs.view = &view;
}

std::unique_ptr<app::MainPresenter> Scene::created(std::vector<std::string> arguments) {
    app::WindowSetup setup;
    setup.arguments = std::move(arguments);
    setup.iniFile = ini;
    setup.exchangeFolder = exchange;
    setup.compiledHelpFile = program / "SAUCE.chm";
    setup.runs = runs.runs();
    auto presenter = std::make_unique<app::MainPresenter>(view, std::move(setup));
    view.presenter = presenter.get();
    return presenter;
}

std::unique_ptr<app::MainPresenter> Scene::started(std::vector<std::string> arguments) {
    auto presenter = created(std::move(arguments));
    presenter->windowShown();
    return presenter;
}

std::string withPlatformLineEnds(std::string text) {
#ifdef _WIN32
    std::string crlf;
    for (const char c : text) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    return crlf;
#else
    return text;
#endif
}

std::string completionFile(const std::string& code) {
    return withPlatformLineEnds("[Transformadores]\nTransformado=" + code + "\n");
}

} // namespace velmora::testing
