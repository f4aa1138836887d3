// Help comes from the compiled help file where it is there and its viewer starts, and from the
// guide built into the program otherwise.
#include "FakeView.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using app::HelpTopic;

namespace {

enum class Request { HelpButton, F1InTheWindow, F1InTheFrameDialog };

struct HelpCase {
    std::string name;
    std::string helpFile; // "present", "missing", "not given" or "a folder"
    bool viewerStarts;
    Request request;
    int context;       // -1: the compiled help is not tried
    std::string guide; // empty: the guide is not shown
};

void PrintTo(const HelpCase& c, std::ostream* os) {
    *os << c.name;
}

class Help : public ::testing::TestWithParam<HelpCase> {};

TEST_P(Help, OpensTheCompiledHelpOrTheGuideAtTheTopic) {
    const HelpCase& c = GetParam();
    Scene scene;
    const auto helpFile = scene.program / "SAUCE.chm";
    if (c.helpFile == "present") {
        writeFile(helpFile, "ITSF");
    } else if (c.helpFile == "a folder") {
        std::filesystem::create_directory(helpFile);
    }
    scene.view.compiledHelpStarts = c.viewerStarts;
    app::WindowSetup setup;
    if (c.helpFile != "not given") {
        setup.compiledHelpFile = helpFile;
    }
    app::MainPresenter presenter(scene.view, std::move(setup));

    switch (c.request) {
    case Request::HelpButton:
        presenter.helpContentsClicked();
        break;
    case Request::F1InTheWindow:
        presenter.helpKeyPressed(HelpTopic::MainWindow);
        break;
    case Request::F1InTheFrameDialog:
        presenter.helpKeyPressed(HelpTopic::FrameDialog);
        break;
    }

    std::vector<std::pair<std::filesystem::path, int>> compiled;
    if (c.context >= 0) {
        compiled.emplace_back(std::filesystem::absolute(helpFile), c.context);
    }
    EXPECT_EQ(scene.view.compiledHelpShown, compiled);
    EXPECT_EQ(scene.view.guidePages,
              c.guide.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.guide});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Help,
    ::testing::Values(
        HelpCase{"CompiledContents", "present", true, Request::HelpButton, 0, ""},
        HelpCase{"CompiledWindowTopic", "present", true, Request::F1InTheWindow, 3, ""},
        HelpCase{"CompiledFrameDialogTopic", "present", true, Request::F1InTheFrameDialog, 3, ""},
        HelpCase{"ViewerDoesNotStart", "present", false, Request::F1InTheWindow, 3, "ventana.html"},
        HelpCase{"ViewerDoesNotStartForContents", "present", false, Request::HelpButton, 0,
                 "index.html"},
        HelpCase{"GuideContents", "missing", true, Request::HelpButton, -1, "index.html"},
        HelpCase{"GuideWindowPage", "missing", true, Request::F1InTheWindow, -1, "ventana.html"},
        HelpCase{"GuideFrameDialogPage", "not given", true, Request::F1InTheFrameDialog, -1,
                 "marcos.html"},
        HelpCase{"AFolderOfThatName", "a folder", true, Request::F1InTheWindow, -1,
                 "ventana.html"}),
    [](const auto& info) { return info.param.name; });

} // namespace
