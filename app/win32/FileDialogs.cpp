#include "app/win32/FileDialogs.h"

#include "app/win32/WideText.h"
#include "messages/WindowTexts.h"

#include <commdlg.h>

#include <string>

namespace velmora::app::win32 {

namespace {

// The longest path Windows takes, with room for its terminating zero.
constexpr std::size_t kPathCapacity = 32768;

// One filter entry as the dialog wants it: name, pattern, each ended by a zero, and a last zero.
std::wstring filter(const char* name, const char* pattern) {
    std::wstring entry = wide(name) + L'\0' + wide(pattern) + L'\0';
    entry += L'\0';
    return entry;
}

struct FileDialog {
    std::wstring title;
    std::wstring filter;
    std::wstring extension;
    std::wstring folder;
    std::wstring file;
    OPENFILENAMEW settings{};

    FileDialog(HWND owner, const char* titleText, std::wstring filterText,
               const char* extensionText, const std::filesystem::path& startFolder,
               const std::filesystem::path& offered)
        : title(wide(titleText)), filter(std::move(filterText)), extension(wide(extensionText)),
          folder(startFolder.wstring()), file(offered.wstring()) {
        file.resize(kPathCapacity, L'\0');
        settings.lStructSize = sizeof settings;
        settings.hwndOwner = owner;
        settings.lpstrFilter = filter.c_str();
        settings.nFilterIndex = 1;
        settings.lpstrFile = file.data();
        settings.nMaxFile = DWORD(file.size());
        settings.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        settings.lpstrTitle = title.c_str();
        settings.lpstrDefExt = extension.c_str();
        // The current folder stays where the program started: the exchange folder is found
        // from it.
        settings.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    }

    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    std::filesystem::path chosen() const { return std::filesystem::path(file.c_str()); }
};

} // namespace

std::optional<std::filesystem::path> askForDocument(HWND owner,
                                                    const std::filesystem::path& startFolder,
                                                    const std::filesystem::path& lastChosen) {
    // No check that the file exists: a typed name of a missing file comes back, and the run
    // says that it does not exist.
    FileDialog dialog(owner, messages::kDocumentDialogTitle,
                      filter(messages::kDocumentFilterName, messages::kDocumentFilterPattern),
                      messages::kDocumentExtension, startFolder, lastChosen);
    if (!GetOpenFileNameW(&dialog.settings)) {
        return std::nullopt;
    }
    return dialog.chosen();
}

std::optional<std::filesystem::path> askWhereToSaveNotes(HWND owner,
                                                         const std::filesystem::path& suggested) {
    FileDialog dialog(owner, messages::kNotesDialogTitle,
                      filter(messages::kNotesFilterName, messages::kNotesFilterPattern),
                      messages::kNotesExtension, suggested.parent_path(), suggested.filename());
    dialog.settings.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog.settings)) {
        return std::nullopt;
    }
    return dialog.chosen();
}

} // namespace velmora::app::win32
