#pragma once

#include "app/presenter/MainView.h"

#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace velmora::app {

// The Qt dialogs and message boxes of the windows. Each is modal and returns once the user has
// answered it.

// The file dialog for a Sauce document, starting in startFolder and offering lastChosen (when
// not empty). The confirmed path, which need not exist, or nothing when cancelled.
std::optional<QString> askForDocument(QWidget* owner, const QString& startFolder,
                                      const QString& lastChosen);

// A message box captioned with the application's title, waiting for OK.
void showMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& text);

// The closing message of a run that left notes: the text and the summary, the notes as the
// box's details, and a button that calls saveNotes every time it is pressed, leaving the box
// open. Waits for OK.
void showNotesBox(QWidget* owner, const NotesMessage& message,
                  const std::function<void()>& saveNotes);

// Where to save the notes, offering suggested (a whole path). The confirmed path or nothing
// when cancelled.
std::optional<QString> askForNotesFile(QWidget* owner, const QString& suggested);

} // namespace velmora::app
