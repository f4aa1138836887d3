// The main window around a run: the buttons that start the runs, what it says when a run
// ends, fails or finds no file, the buttons afterwards, and the pointer while a run works.
#include "WindowTesting.h"

#include "app/win32/Resources.h"
#include "messages/Messages.h"
#include "services/Error.h"

#include <gtest/gtest.h>

namespace velmora::testing::win32 {
namespace {

enum class Ending { Finished, Failed, NoSuchFile, CancelledFirstTime };

struct RunCase {
    const char* name;
    int button;
    Ending ending;
    UINT icon; // of the message that ends the run
    bool buttonsEnabledAfter;
};

std::string caseName(const ::testing::TestParamInfo<RunCase>& info) {
    return info.param.name;
}

class MainWindowRuns : public ::testing::TestWithParam<RunCase> {};

const Error kFailure(ErrorKind::TableInUse, {.file = "PROFT.DBF", .table = "PROFT"});

TEST_P(MainWindowRuns, saysHowTheRunEndedAndLeavesTheButtonsAsTheRunLeftThem) {
    const RunCase& run = GetParam();
    WindowUnderTest subject;
    std::vector<std::filesystem::path> documentsRun;
    const auto work = [&](const std::filesystem::path& document) {
        documentsRun.push_back(document);
        if (run.ending == Ending::Failed) {
            throw kFailure;
        }
        return RunNotes{};
    };
    subject.setup.runs.convert = [&](const std::filesystem::path& document, FrameChooser&) {
        return work(document);
    };
    subject.setup.runs.results = work;
    const std::filesystem::path document = subject.existingDocument();
    switch (run.ending) {
    case Ending::Finished:
    case Ending::Failed:
        subject.documentAnswer = document;
        break;
    case Ending::NoSuchFile:
        subject.documentAnswer = subject.folder / "no-existe.xml";
        break;
    case Ending::CancelledFirstTime:
        subject.documentAnswer = std::nullopt;
        break;
    }
    const std::string expected = run.ending == Ending::Finished ? "Proceso finalizado"
                                 : run.ending == Ending::Failed ? messages::describe(kFailure)
                                                                : "No existe archivo";

    ModalScript script;
    MessageBoxContent said;
    script.then("Velmora", readInto(said));
    const HWND main = subject.open().handle();
    script.ignore(main);
    pumpPending();
    SendMessageW(GetDlgItem(main, run.button), BM_CLICK, 0, 0);
    pumpPending();

    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
    EXPECT_EQ(said.caption, "Velmora");
    EXPECT_EQ(said.text, expected);
    EXPECT_EQ(said.icon, run.icon);
    ASSERT_EQ(subject.documentRequests.size(), 1u);
    const bool ran = run.ending == Ending::Finished || run.ending == Ending::Failed;
    EXPECT_EQ(documentsRun, ran ? std::vector{document} : std::vector<std::filesystem::path>{});
    for (int button : {IDC_CONVERT, IDC_RESULTS}) {
        EXPECT_EQ(bool(IsWindowEnabled(GetDlgItem(main, button))), run.buttonsEnabledAfter);
    }
    EXPECT_TRUE(subject.window->isOpen()) << "interactive use never closes the window by itself";
}

INSTANTIATE_TEST_SUITE_P(
    EachKindOfEnding, MainWindowRuns,
    ::testing::Values(RunCase{"conversionFinished", IDC_CONVERT, Ending::Finished, 0, false},
                      RunCase{"resultsFinished", IDC_RESULTS, Ending::Finished, 0, false},
                      RunCase{"conversionFailed", IDC_CONVERT, Ending::Failed, MB_ICONERROR, true},
                      RunCase{"resultsFailed", IDC_RESULTS, Ending::Failed, MB_ICONERROR, true},
                      RunCase{"conversionWithoutFile", IDC_CONVERT, Ending::NoSuchFile, 0, true},
                      RunCase{"resultsWithoutFile", IDC_RESULTS, Ending::NoSuchFile, 0, true},
                      RunCase{"conversionCancelled", IDC_CONVERT, Ending::CancelledFirstTime, 0,
                              true}),
    caseName);

TEST(MainWindowRun, showsTheHourGlassWhileTheRunWorksAndTheOrdinaryPointerAfter) {
    WindowUnderTest subject;
    subject.documentAnswer = subject.existingDocument();
    HCURSOR during = nullptr;
    subject.setup.runs.results = [&](const std::filesystem::path&) {
        during = GetCursor();
        return RunNotes{};
    };
    ModalScript script;
    script.then("Velmora", pressOk());
    const HWND main = subject.open().handle();
    script.ignore(main);
    pumpPending();
    SendMessageW(GetDlgItem(main, IDC_RESULTS), BM_CLICK, 0, 0);

    EXPECT_EQ(during, LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_TRUE(script.finished());
}

TEST(MainWindowRun, asksForTheDocumentInTheSauceFolderOfferingTheLastOneChosen) {
    WindowUnderTest subject;
    std::filesystem::create_directories(subject.exchange / "Sauce");
    const std::filesystem::path missing = subject.folder / "no-existe.xml";
    subject.documentAnswer = missing;
    ModalScript script;
    script.then("Velmora", pressOk()).then("Velmora", pressOk());
    const HWND main = subject.open().handle();
    script.ignore(main);
    pumpPending();
    SendMessageW(GetDlgItem(main, IDC_CONVERT), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(main, IDC_RESULTS), BM_CLICK, 0, 0);

    ASSERT_EQ(subject.documentRequests.size(), 2u);
    EXPECT_EQ(subject.documentRequests[0].first, subject.exchange / "Sauce");
    EXPECT_EQ(subject.documentRequests[0].second, std::filesystem::path());
    EXPECT_EQ(subject.documentRequests[1].second, missing);
    EXPECT_TRUE(script.finished());
}

TEST(MainWindowRun, warnsBeforeTheClosingMessageWhenCodesNowNameSomeoneElse) {
    WindowUnderTest subject;
    subject.documentAnswer = subject.existingDocument();
    RunNotes notes;
    notes.add({.kind = NoteKind::CodeMoved,
               .table = "PROFT",
               .code = "ANA",
               .before = "P1",
               .after = "P2"});
    subject.setup.runs.convert = [&](const std::filesystem::path&, FrameChooser&) { return notes; };
    ModalScript script;
    MessageBoxContent warning;
    script.then("Velmora", readInto(warning)).then("Velmora", pressOk());
    const HWND main = subject.open().handle();
    script.ignore(main);
    pumpPending();
    SendMessageW(GetDlgItem(main, IDC_CONVERT), BM_CLICK, 0, 0);

    EXPECT_EQ(warning.text, messages::movedCodesWarning(notes).value_or("none"));
    EXPECT_EQ(warning.icon, MB_ICONWARNING);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
}

} // namespace
} // namespace velmora::testing::win32
