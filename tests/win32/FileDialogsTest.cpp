// Windows' own file dialogs as Velmora opens them: their titles, filters and folders, the
// extension added to a name typed without one, and a dialog cancelled.
#include "WindowTesting.h"

#include "app/win32/FileDialogs.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

namespace velmora::testing::win32 {
namespace {

struct DialogSeen {
    std::string filter;
    std::filesystem::path folder;
    std::string fileName;
};

std::filesystem::path folderOf(HWND dialog) {
    wchar_t folder[MAX_PATH] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    return std::filesystem::path(folder);
}

// The dialog's file name box: an edit of its own, or the edit inside a combo box.
HWND fileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, cmb13);
    if (box != nullptr) {
        HWND inner = FindWindowExW(box, nullptr, L"Edit", nullptr);
        return inner != nullptr ? inner : box;
    }
    return GetDlgItem(dialog, edt1);
}

ModalScript::Act typeAndConfirm(DialogSeen& seen, std::string typed) {
    return [&seen, typed](HWND dialog) {
        seen.filter = itemText(dialog, cmb1);
        seen.folder = folderOf(dialog);
        seen.fileName = textOf(fileNameBox(dialog));
        app::win32::setText(fileNameBox(dialog), typed);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
}

struct Owner {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ~Owner() { DestroyWindow(window); }
};

TEST(DocumentDialog, opensInTheStartFolderWithTheXmlFilterAndAddsTheExtension) {
    TempDir folder;
    std::filesystem::create_directories(folder / "Sauce");
    writeFile(folder / "Sauce" / "centro 2026.xml", "<SERVICIO/>");
    Owner owner;
    ModalScript script;
    DialogSeen seen;
    script.then("Seleccionar Archivo XML obtenido de SAUCE", typeAndConfirm(seen, "centro 2026"));
    const auto chosen = app::win32::askForDocument(owner.window, folder / "Sauce", {});

    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
    EXPECT_EQ(seen.filter, "*.xml");
    EXPECT_TRUE(std::filesystem::equivalent(seen.folder, folder / "Sauce")) << seen.folder;
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(std::filesystem::equivalent(chosen->parent_path(), folder / "Sauce"));
    EXPECT_EQ(chosen->filename(), "centro 2026.xml");
}

TEST(DocumentDialog, givesBackTheNameOfAFileThatDoesNotExist) {
    TempDir folder;
    Owner owner;
    ModalScript script;
    DialogSeen seen;
    script.then("Seleccionar Archivo XML obtenido de SAUCE", typeAndConfirm(seen, "no-existe.xml"));
    const auto chosen = app::win32::askForDocument(owner.window, folder.path(), {});

    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
    ASSERT_TRUE(chosen) << "the run, not the dialog, says that the file does not exist";
    EXPECT_EQ(chosen->filename(), "no-existe.xml");
}

TEST(DocumentDialog, offersTheLastDocumentChosenAndGivesNothingWhenCancelled) {
    TempDir folder;
    const std::filesystem::path last = folder / "horario.xml";
    writeFile(last, "<SERVICIO/>");
    Owner owner;
    ModalScript script;
    DialogSeen seen;
    script.then("Seleccionar Archivo XML obtenido de SAUCE", [&](HWND dialog) {
        seen.folder = folderOf(dialog);
        seen.fileName = textOf(fileNameBox(dialog));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    const auto chosen = app::win32::askForDocument(owner.window, {}, last);

    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(std::filesystem::equivalent(seen.folder, folder.path())) << seen.folder;
    EXPECT_NE(seen.fileName.find("horario.xml"), std::string::npos) << seen.fileName;
}

TEST(NotesDialog, offersTheSuggestedNameAsATextFile) {
    TempDir folder;
    Owner owner;
    ModalScript script;
    DialogSeen seen;
    script.then("Guardar los avisos en un archivo de texto", typeAndConfirm(seen, "avisos"));
    const auto chosen =
        app::win32::askWhereToSaveNotes(owner.window, folder / "Avisos de Velmora.txt");

    EXPECT_TRUE(script.finished());
    EXPECT_EQ(seen.filter, "Archivos de texto");
    EXPECT_EQ(seen.fileName, "Avisos de Velmora.txt");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->filename(), "avisos.txt");
}

} // namespace
} // namespace velmora::testing::win32
