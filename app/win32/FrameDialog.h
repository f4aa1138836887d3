#pragma once

#include "app/presenter/FrameDialogModel.h"
#include "app/presenter/MainView.h"
#include "app/win32/Dialog.h"
#include "app/win32/Gdi.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace velmora::app::win32 {

// The time-frame selection dialog: the frames of the Sauce document, the name and slots of the
// current one, and, on closing, the check that one or two frames are selected. What it shows
// and decides comes from FrameDialogModel; this only draws it.
class FrameDialog final : public Dialog {
public:
    // askHelp answers F1 in the dialog.
    FrameDialog(std::filesystem::path document, const Scale& scale, std::function<void()> askHelp);

    // Shows the dialog modally over owner until it closes, whichever way.
    FrameDialogOutcome run(HWND owner);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void listFrames();
    void showDetails(std::size_t row);
    void closeChecked();
    INT_PTR labelColours(HDC dc, HWND label) const;
    void paintBackground(HDC dc) const;

    FrameDialogModel model_;
    Scale scale_;
    std::function<void()> askHelp_;
    FrameDialogModel::Verdict verdict_;
    Font instructionFont_;
    Font hintFont_;
    Font headingFont_;
    Font nameFont_;
    Font boldFont_;
    Icon checkMark_;
};

} // namespace velmora::app::win32
