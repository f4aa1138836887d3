#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>

namespace velmora::app::win32 {

// Windows' own file dialogs, in the words of Velmora.

// The Sauce document: opens in startFolder (none when empty), offering lastChosen (when not
// empty). The confirmed path, which need not exist, or nothing when cancelled.
std::optional<std::filesystem::path> askForDocument(HWND owner,
                                                    const std::filesystem::path& startFolder,
                                                    const std::filesystem::path& lastChosen);

// Where to save the notes of a run, offering suggested (a whole path); nothing when cancelled.
std::optional<std::filesystem::path> askWhereToSaveNotes(HWND owner,
                                                         const std::filesystem::path& suggested);

} // namespace velmora::app::win32
