#pragma once

#include "app/presenter/MainView.h"
#include "app/win32/Dialog.h"
#include "app/win32/Gdi.h"

#include <functional>

namespace velmora::app::win32 {

// The closing message of a run that left notes: the message and the summary of the notes, the
// notes themselves behind "Mostrar los detalles...", and a button that saves them, leaving the
// message open.
class NotesDialog final : public Dialog {
public:
    NotesDialog(const NotesMessage& message, std::function<void()> saveNotes, const Scale& scale);

    // Waits until the user has read it.
    void run(HWND owner);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void layOut();
    int textHeight(int id, int width) const;

    const NotesMessage& message_;
    std::function<void()> saveNotes_;
    Scale scale_;
    bool detailsShown_ = false;
};

} // namespace velmora::app::win32
