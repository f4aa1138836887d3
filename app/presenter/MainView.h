#pragma once

#include "app/presenter/FrameDialogModel.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace velmora::app {

// The window whose topic F1 opens (the table of contents has a button of its own). Both windows
// carry the same help context of the compiled help file; in the built-in guide each has a page
// of its own.
enum class HelpTopic { MainWindow, FrameDialog };
inline constexpr int windowHelpContext = 3;

// The guide's page with its table of contents, where a face's own guide window goes back to.
inline constexpr const char* guideContentsPage = "index.html";

// The closing message of a run that left notes.
struct NotesMessage {
    std::string text;    // what the plain closing message says: "Proceso finalizado"
    std::string summary; // how many notes of each kind, and what to do with them
    std::string details; // the first notes of each place and how many more: the details
};

// What the main window's presenter asks of a face (the Qt window, the Win32 window, a test's
// fake). Every call is modal where it asks something: it returns once the user has answered.
// Texts arrive in UTF-8, worded already; a face shows them as they are.
class MainView {
public:
    virtual ~MainView() = default;

    // The file dialog for a Sauce document, opening in startFolder (none when empty) and
    // offering lastChosen (when not empty). The confirmed path, which need not exist, or
    // nothing when cancelled.
    virtual std::optional<std::filesystem::path>
    chooseDocument(const std::filesystem::path& startFolder,
                   const std::filesystem::path& lastChosen) = 0;

    // The time-frame dialog over document, shown modally; its content comes from a
    // FrameDialogModel of that document. The presenter has set the ordinary pointer before.
    virtual FrameDialogOutcome chooseFrames(const std::filesystem::path& document) = 0;

    // A plain message box that waits for OK.
    virtual void showMessage(const std::string& text) = 0;
    // Something to know before going on: the warning icon.
    virtual void showWarning(const std::string& text) = 0;
    // The application's error report: the error icon.
    virtual void showError(const std::string& text) = 0;
    // The closing message of a run that left notes, waiting for OK; its save button calls
    // saveNotes each time it is pressed, leaving the message open.
    virtual void showNotes(const NotesMessage& message, const std::function<void()>& saveNotes) = 0;
    // Where to save the notes, offering suggested (a whole path); nothing when cancelled.
    virtual std::optional<std::filesystem::path>
    chooseNotesFile(const std::filesystem::path& suggested) = 0;

    // Enables or disables both run buttons.
    virtual void enableRuns(bool enabled) = 0;
    // Opens the compiled help file at a context number (0 for its table of contents); false
    // when the platform's help viewer could not be started.
    virtual bool showCompiledHelp(const std::filesystem::path& helpFile, int context) = 0;
    // Opens the built-in guide at one of its pages ("index.html", "ventana.html"...).
    virtual void showGuide(const std::string& page) = 0;
    // The hour-glass over the whole application while busy, the ordinary pointer otherwise.
    virtual void setBusy(bool busy) = 0;
    // Closes the main window, which ends the program.
    virtual void close() = 0;
};

} // namespace velmora::app
