// What the time-frame dialog lists and shows, and its check when it closes, whichever face
// draws it.
#include "FrameFixtures.h"

#include "app/presenter/FrameDialogModel.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using app::FrameDialogModel;

namespace {

using Lines = std::vector<std::string>;

class FrameDialogModelTest : public ::testing::Test {
protected:
    TempDir folder;
    std::filesystem::path document = folder / "marcos.xml";

    FrameDialogModel loaded(const std::string& content) {
        writeFile(document, content);
        FrameDialogModel model(document);
        model.load();
        return model;
    }
};

TEST_F(FrameDialogModelTest, ListsTheFramesAndShowsTheFirstOneBeforeAnyIsChosen) {
    const FrameDialogModel model = loaded(threeFrames());

    EXPECT_EQ(model.frameKeys(), (Lines{"MANANA", "TARDE", "NOCHE"}));
    EXPECT_FALSE(model.readProblem());
    const FrameDetails first = model.detailsAt(0);
    EXPECT_EQ(first.name, "Mañana");
    EXPECT_EQ(first.dateLabel, "01/09/2026");
    EXPECT_EQ(first.secondLabel, "-");
    EXPECT_EQ(first.slotLines,
              (Lines{"1-Primera-08:00-08:5", "2-Segunda-08:55-09:5", "3-Tercera-09:50-10:4"}));
}

TEST_F(FrameDialogModelTest, ShowsTheDetailsOfTheFrameAtEachRow) {
    const FrameDialogModel model = loaded(threeFrames());

    EXPECT_EQ(model.detailsAt(1).name, "Tarde");
    EXPECT_EQ(model.detailsAt(1).dateLabel, "15/09/2026");
    EXPECT_EQ(model.detailsAt(1).slotLines, Lines{"1-Sexta-15:00-15:55"});
    // A frame no slot names: its list is empty.
    EXPECT_EQ(model.detailsAt(2).name, "Nocturno de adultos");
    EXPECT_EQ(model.detailsAt(2).slotLines, Lines{});
    // No current row: what a frame without a key shows.
    const FrameDetails none = model.detailsAt(3);
    EXPECT_EQ(none.name, "-");
    EXPECT_EQ(none.dateLabel, "-");
    EXPECT_EQ(none.slotLines, Lines{});
}

TEST_F(FrameDialogModelTest, ADocumentWithOneFrameOffersNothingAndShowsDashes) {
    const FrameDialogModel model =
        loaded(sauceXml({{"JORNADAS", {{"M1", "Mañana", "01/09/2026"}}},
                         {"INTERVALOS",
                          {frameSlot("1", "Primera", "08:00", "08:55", "M1"),
                           frameSlot("2", "Segunda", "08:55", "09:50", "M1")}}}));

    EXPECT_TRUE(model.frameKeys().empty());
    EXPECT_FALSE(model.readProblem());
    const FrameDetails shown = model.detailsAt(0);
    EXPECT_EQ(shown.name, "-");
    EXPECT_EQ(shown.dateLabel, "-");
    // Slots of no frame of an empty key: the slot list is emptied.
    EXPECT_EQ(shown.slotLines, Lines{});
}

TEST_F(FrameDialogModelTest, AFileThatCannotBeReadSaysWhy) {
    for (const char* content : {"", "<SERVICIO>"}) {
        const FrameDialogModel model = loaded(content);
        EXPECT_TRUE(model.frameKeys().empty()) << content;
        ASSERT_TRUE(model.readProblem()) << content;
        EXPECT_EQ(model.readProblem()->details().file, document);
    }
    std::filesystem::remove(document);
    FrameDialogModel missing(document);
    missing.load();
    EXPECT_TRUE(missing.frameKeys().empty());
    EXPECT_TRUE(missing.readProblem());
}

struct ClosingCase {
    std::string name;
    std::vector<std::size_t> selected; // rows, in the order they were clicked
    bool valid;
    std::string keys;
    std::string message;
};

void PrintTo(const ClosingCase& c, std::ostream* os) {
    *os << c.name;
}

class ClosingTheFrameDialog : public ::testing::TestWithParam<ClosingCase> {};

TEST_P(ClosingTheFrameDialog, ChecksTheSelection) {
    const ClosingCase& c = GetParam();
    TempDir folder;
    writeFile(folder / "marcos.xml", threeFrames());
    FrameDialogModel model(folder / "marcos.xml");
    model.load();

    const FrameDialogModel::Verdict verdict = model.close(c.selected);

    EXPECT_EQ(verdict.valid, c.valid);
    EXPECT_EQ(verdict.keys, c.keys);
    EXPECT_EQ(verdict.message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClosingTheFrameDialog,
    ::testing::Values(
        ClosingCase{"One", {1}, true, "TARDE     ", ""},
        ClosingCase{"TwoInListOrderWhateverTheClicks", {2, 0}, true, "MANANA    NOCHE     ", ""},
        ClosingCase{"None", {}, false, "", "Debe al menos seleccionar 1 Marco Horario."},
        ClosingCase{"Three",
                    {0, 1, 2},
                    false,
                    "MANANA    TARDE     NOCHE     ",
                    "Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 "
                    "Marcos Horarios"}),
    [](const auto& info) { return info.param.name; });

} // namespace
