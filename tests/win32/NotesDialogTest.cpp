// The closing message of a run that left notes: what it says, its details shown on demand,
// and its button that saves the notes and leaves the message open.
#include "WindowTesting.h"

#include "app/win32/Resources.h"
#include "messages/Messages.h"

#include <gtest/gtest.h>

namespace velmora::testing::win32 {
namespace {

RunNotes twoNotes() {
    RunNotes notes;
    notes.add({.kind = NoteKind::TextCut,
               .table = "PROFT",
               .record = 3,
               .field = "NOMBRE",
               .value = "Un nombre larguísimo",
               .stored = "Un nombre"});
    notes.add({.kind = NoteKind::CodeNumbered,
               .table = "AULAT",
               .record = 1,
               .value = "AULA MAGNA",
               .code = "AULA MAGN1"});
    return notes;
}

struct NotesSeen {
    std::string text, summary, details;
    bool detailsVisibleAtFirst = true;
    bool detailsVisibleAfterButton = false;
    std::string buttonAfter;
    bool openAfterSaving = false;
    UINT icon = 0;
};

TEST(NotesMessage, saysTheRunFinishedShowsTheNotesOnDemandAndSavesThem) {
    WindowUnderTest subject;
    subject.documentAnswer = subject.existingDocument();
    const RunNotes notes = twoNotes();
    subject.setup.runs.results = [&](const std::filesystem::path&) { return notes; };
    const std::filesystem::path saved = subject.folder / "mis avisos.txt";
    std::vector<std::filesystem::path> suggestions;
    subject.choosers.notesFile = [&](HWND, const std::filesystem::path& suggested) {
        suggestions.push_back(suggested);
        return std::optional(saved);
    };

    ModalScript script;
    NotesSeen seen;
    script.then("Velmora", [&](HWND dialog) {
        seen.text = itemText(dialog, IDC_NOTES_TEXT);
        seen.summary = itemText(dialog, IDC_NOTES_SUMMARY);
        seen.details = itemText(dialog, IDC_NOTES_DETAILS);
        seen.detailsVisibleAtFirst = IsWindowVisible(GetDlgItem(dialog, IDC_NOTES_DETAILS));
        SendDlgItemMessageW(dialog, IDC_NOTES_SHOW_DETAILS, BM_CLICK, 0, 0);
        seen.detailsVisibleAfterButton = IsWindowVisible(GetDlgItem(dialog, IDC_NOTES_DETAILS));
        seen.buttonAfter = itemText(dialog, IDC_NOTES_SHOW_DETAILS);
        SendDlgItemMessageW(dialog, IDC_NOTES_SAVE, BM_CLICK, 0, 0);
        seen.openAfterSaving = IsWindowVisible(dialog);
        SetForegroundWindow(dialog);
        pressKey(VK_RETURN);
    });
    const HWND main = subject.open().handle();
    script.ignore(main);
    pumpPending();
    SendMessageW(GetDlgItem(main, IDC_RESULTS), BM_CLICK, 0, 0);

    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
    EXPECT_EQ(seen.text, "Proceso finalizado");
    for (const std::string& line : messages::noteCounts(notes)) {
        EXPECT_NE(seen.summary.find(line), std::string::npos) << line;
    }
    std::string details = messages::noteExamples(notes);
    std::string windowsDetails;
    for (char c : details) {
        windowsDetails += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(seen.details, windowsDetails);
    EXPECT_FALSE(seen.detailsVisibleAtFirst);
    EXPECT_TRUE(seen.detailsVisibleAfterButton);
    EXPECT_EQ(seen.buttonAfter, "Ocultar los detalles...");
    EXPECT_TRUE(seen.openAfterSaving);
    ASSERT_EQ(suggestions.size(), 1u);
    EXPECT_EQ(suggestions[0].filename(), "Avisos de Velmora.txt");
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_NE(readFile(saved).find("AULA MAGNA"), std::string::npos);
    for (int button : {IDC_CONVERT, IDC_RESULTS}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, button)));
    }
}

TEST(NotesMessage, closesOnEscapeToo) {
    WindowUnderTest subject;
    subject.documentAnswer = subject.existingDocument();
    subject.setup.runs.results = [](const std::filesystem::path&) { return twoNotes(); };
    ModalScript script;
    bool closed = false;
    script.then("Velmora", [](HWND dialog) {
        SetForegroundWindow(dialog);
        pressKey(VK_ESCAPE);
    });
    const HWND main = subject.open().handle();
    script.ignore(main);
    pumpPending();
    SendMessageW(GetDlgItem(main, IDC_RESULTS), BM_CLICK, 0, 0);
    closed = script.finished();
    EXPECT_TRUE(closed);
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
}

} // namespace
} // namespace velmora::testing::win32
