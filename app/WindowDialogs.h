#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace velmora::app {

// The closing message of a run that left notes.
struct NotesMessage {
    QString text;    // what the plain closing message says
    QString summary; // how many notes of each kind, and what to do with them
    QString details; // every note, grouped by kind
};

// Saves the notes of a closing message; box owns the questions it asks.
using SaveNotes = std::function<void(QWidget* box)>;

// The modal questions and messages of the main window. The program uses QtWindowDialogs; the
// window tests answer them from a script, so no test ever waits on a real modal loop.
class WindowDialogs {
public:
    virtual ~WindowDialogs() = default;

    // Asks for a Sauce document, starting in startFolder and offering lastChosen (when not
    // empty). Returns the confirmed path, which need not exist, or nothing when cancelled.
    virtual std::optional<QString> chooseDocument(QWidget* owner, const QString& startFolder,
                                                  const QString& lastChosen) = 0;

    // A plain message that waits for OK.
    virtual void showMessage(QWidget* owner, const QString& text) = 0;

    // The closing message of a run that left notes: the text and the summary, the notes as the
    // box's details, and a button that calls saveNotes every time it is pressed, leaving the
    // box open. Waits for OK.
    virtual void showNotesMessage(QWidget* owner, const NotesMessage& message,
                                  const SaveNotes& saveNotes) = 0;

    // Asks where to save the notes, offering suggested (a whole path). Returns the confirmed
    // path or nothing when cancelled.
    virtual std::optional<QString> chooseNotesFile(QWidget* owner, const QString& suggested) = 0;

    // Something the user should know before going on, with the warning icon.
    virtual void showWarning(QWidget* owner, const QString& text) = 0;

    // The application's error report: the error's text with the error icon.
    virtual void showError(QWidget* owner, const QString& text) = 0;
};

class QtWindowDialogs : public WindowDialogs {
public:
    std::optional<QString> chooseDocument(QWidget* owner, const QString& startFolder,
                                          const QString& lastChosen) override;
    void showMessage(QWidget* owner, const QString& text) override;
    void showNotesMessage(QWidget* owner, const NotesMessage& message,
                          const SaveNotes& saveNotes) override;
    std::optional<QString> chooseNotesFile(QWidget* owner, const QString& suggested) override;
    void showWarning(QWidget* owner, const QString& text) override;
    void showError(QWidget* owner, const QString& text) override;
};

// The caption of every message box.
inline const QString applicationTitle = QStringLiteral("Velmora");

} // namespace velmora::app
