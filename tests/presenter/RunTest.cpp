// What the window does around a run: the document it asks for, what it says when there is
// none, when the run fails and when it ends, the buttons and the pointer.
#include "FakeView.h"

#include "messages/Messages.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace velmora;
using namespace velmora::testing;

namespace {

// What a user can answer in the file dialog that is no document.
enum class NoDocument { Cancelled, MissingFile, Folder };

std::optional<std::filesystem::path> answerFor(NoDocument answer, const Scene& scene) {
    switch (answer) {
    case NoDocument::MissingFile:
        return scene.exchange / "Sauce" / "no-existe.xml";
    case NoDocument::Folder:
        return scene.exchange / "Sauce";
    case NoDocument::Cancelled:
        break;
    }
    return std::nullopt;
}

struct NoDocumentCase {
    std::string name;
    NoDocument answer;
    bool automatic;
};

void PrintTo(const NoDocumentCase& c, std::ostream* os) {
    *os << c.name;
}

class WithoutADocument : public ::testing::TestWithParam<NoDocumentCase> {};

TEST_P(WithoutADocument, SaysSoAndLeavesTheRunsOpenOrEndsWithMinusOne) {
    const NoDocumentCase& c = GetParam();
    Scene scene;
    scene.view.documentAnswers = {answerFor(c.answer, scene)};

    auto presenter = scene.started(c.automatic ? std::vector<std::string>{"exportar", "x"}
                                               : std::vector<std::string>{});
    if (!c.automatic) {
        presenter->resultsClicked();
    }

    EXPECT_EQ(scene.view.kinds(), std::vector<std::string>{"message"});
    EXPECT_EQ(scene.view.texts("message"), std::vector<std::string>{"No existe archivo"});
    EXPECT_TRUE(scene.runs.started.empty());
    EXPECT_FALSE(scene.view.runsEnabled.has_value());
    if (c.automatic) {
        EXPECT_EQ(presenter->completionCode(), -1);
        EXPECT_EQ(scene.view.closes, 1);
        EXPECT_EQ(readFile(scene.ini), completionFile("-1"));
    } else {
        EXPECT_EQ(presenter->completionCode(), 0);
        EXPECT_EQ(scene.view.closes, 0);
        // The user can try again with a document.
        scene.view.documentAnswers = {scene.document};
        presenter->convertClicked();
        EXPECT_EQ(scene.view.texts("message"),
                  (std::vector<std::string>{"No existe archivo", "Proceso finalizado"}));
        EXPECT_EQ(scene.runs.started.size(), 1u);
        EXPECT_EQ(scene.view.runsEnabled, false);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WithoutADocument,
    ::testing::Values(NoDocumentCase{"CancelledAtTheWindow", NoDocument::Cancelled, false},
                      NoDocumentCase{"MissingFileAtTheWindow", NoDocument::MissingFile, false},
                      NoDocumentCase{"FolderAtTheWindow", NoDocument::Folder, false},
                      NoDocumentCase{"CancelledInAutomaticMode", NoDocument::Cancelled, true},
                      NoDocumentCase{"MissingFileInAutomaticMode", NoDocument::MissingFile, true},
                      NoDocumentCase{"FolderInAutomaticMode", NoDocument::Folder, true}),
    [](const auto& info) { return info.param.name; });

struct FailureCase {
    std::string name;
    std::function<void()> fail;
    std::string report; // empty: the words messages/ gives the error
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class AFailingRun : public ::testing::TestWithParam<FailureCase> {};

TEST_P(AFailingRun, IsReportedAndChangesNothing) {
    const FailureCase& c = GetParam();
    Scene scene;
    scene.runs.fail = c.fail;
    scene.view.documentAnswers = {scene.document};
    std::string expected = c.report;
    if (expected.empty()) {
        try {
            c.fail();
        } catch (const std::exception& error) {
            expected = messages::describe(error);
        }
    }

    auto presenter = scene.started({"exportar", "x"});

    EXPECT_EQ(scene.runs.busyAtStart, std::vector<bool>{true});
    EXPECT_EQ(scene.view.kinds(), std::vector<std::string>{"error"});
    EXPECT_EQ(scene.view.texts("error"), std::vector<std::string>{expected});
    EXPECT_FALSE(scene.view.shown.at(0).busy);
    EXPECT_FALSE(scene.view.busy);
    EXPECT_FALSE(scene.view.runsEnabled.has_value());
    EXPECT_EQ(presenter->completionCode(), 0);
    // The window stays open, in automatic mode too, until the user closes it.
    EXPECT_EQ(scene.view.closes, 0);
    presenter->windowClosing();
    EXPECT_EQ(readFile(scene.ini), completionFile("0"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AFailingRun,
    ::testing::Values(FailureCase{"AnErrorOfTheCore",
                                  [] {
                                      throw Error(ErrorKind::TableInUse,
                                                  {.file = "HTEMP/PROFT.DBF", .table = "PROFT"});
                                  },
                                  ""},
                      FailureCase{"OutOfMemory", [] { throw std::bad_alloc(); }, ""},
                      FailureCase{"AFaultOfTheProgram", [] { throw std::logic_error("index"); },
                                  ""},
                      FailureCase{"NoExceptionAtAll", [] { throw 42; },
                                  "El proceso se ha detenido por un error desconocido."}),
    [](const auto& info) { return info.param.name; });

TEST(AFinishedRun, SaysSoAndDisablesBothRunsForGood) {
    for (const bool conversion : {true, false}) {
        Scene scene;
        auto presenter = scene.started({});
        scene.view.documentAnswers = {scene.document};

        conversion ? presenter->convertClicked() : presenter->resultsClicked();

        EXPECT_EQ(scene.runs.busyAtStart, std::vector<bool>{true});
        // Without notes the run closes as it always has: the plain message and nothing more.
        EXPECT_EQ(scene.view.kinds(), std::vector<std::string>{"message"});
        EXPECT_EQ(scene.view.texts("message"), std::vector<std::string>{"Proceso finalizado"});
        EXPECT_FALSE(scene.view.shown.at(0).busy);
        EXPECT_EQ(scene.view.runsEnabled, false);
        EXPECT_EQ(presenter->completionCode(), 1);
        EXPECT_EQ(scene.view.closes, 0);
        presenter->windowClosing();
        EXPECT_FALSE(std::filesystem::exists(scene.ini));
    }
}

TEST(TheDocument, ACancelledDialogRunsOnTheLastOne) {
    Scene scene;
    auto presenter = scene.started({});
    scene.runs.fail = [] { throw Error(ErrorKind::NoTimeFrame, {}); };
    scene.view.documentAnswers = {scene.document};
    presenter->convertClicked();
    ASSERT_EQ(scene.view.texts("error").size(), 1u);

    scene.runs.fail = nullptr;
    presenter->convertClicked(); // cancelled

    EXPECT_EQ(scene.view.offeredDocuments,
              (std::vector<std::filesystem::path>{{}, scene.document}));
    EXPECT_EQ(presenter->document(), scene.document);
    EXPECT_EQ(scene.runs.started.size(), 2u);
    EXPECT_EQ(scene.runs.started.at(1), "convert " + pathToUtf8(scene.document));
    EXPECT_EQ(scene.view.texts("message"), std::vector<std::string>{"Proceso finalizado"});
}

struct StartFolderCase {
    std::string name;
    std::string sauce; // "folder NAME", "file NAME", or empty: nothing of that name
    bool exchangeExists;
    std::string expected; // "sauce", "exchange", or empty: none
};

void PrintTo(const StartFolderCase& c, std::ostream* os) {
    *os << c.name;
}

class TheFileDialog : public ::testing::TestWithParam<StartFolderCase> {};

TEST_P(TheFileDialog, OpensInTheExchangeFoldersSauceFolder) {
    const StartFolderCase& c = GetParam();
    Scene scene;
    std::filesystem::remove_all(scene.exchange);
    std::filesystem::path sauce;
    if (c.exchangeExists) {
        std::filesystem::create_directories(scene.exchange);
        if (!c.sauce.empty()) {
            const bool folder = c.sauce.starts_with("folder ");
            sauce = scene.exchange / c.sauce.substr(c.sauce.find(' ') + 1);
            folder ? (void)std::filesystem::create_directory(sauce) : writeFile(sauce, "x");
        }
    }
    auto presenter = scene.started({});

    presenter->resultsClicked();

    const std::filesystem::path expected = c.expected == "sauce"      ? sauce
                                           : c.expected == "exchange" ? scene.exchange
                                                                      : std::filesystem::path();
    EXPECT_EQ(scene.view.startFolders, std::vector<std::filesystem::path>{expected});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TheFileDialog,
    ::testing::Values(StartFolderCase{"Sauce", "folder Sauce", true, "sauce"},
                      StartFolderCase{"InCapitals", "folder SAUCE", true, "sauce"},
                      StartFolderCase{"InSmallLetters", "folder sauce", true, "sauce"},
                      StartFolderCase{"AFileOfThatName", "file sauce", true, "exchange"},
                      StartFolderCase{"NoSauceFolder", "", true, "exchange"},
                      StartFolderCase{"NoExchangeFolder", "", false, ""}),
    [](const auto& info) { return info.param.name; });

} // namespace
