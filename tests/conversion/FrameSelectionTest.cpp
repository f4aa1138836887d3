#include "conversion/FrameSelection.h"
#include "support/ErrorChecks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velmora {
namespace {

using testing::failsWith;
using testing::SauceRecordValues;
using testing::sauceXml;
using testing::TempDir;
using testing::writeFile;

SauceRecordValues slot(const std::string& order, const std::string& name, const std::string& start,
                       const std::string& end, const std::string& frame) {
    return {"dato=CODIGO_SAUCE|C" + order, "dato=NOMBRE|" + name,
            "dato=INICIO|" + start,        "dato=FIN|" + end,
            "dato=ORDEN|" + order,         "dato=CLAVE_JORNADA|" + frame};
}

FrameListing listingOf(const std::string& xml) {
    return FrameListing::fromSections(ServiceSections::parse(xml, "marcos.xml"));
}

struct SlotLineCase {
    std::vector<std::string> values; // order, name, start, end
    std::string line;
};

void PrintTo(const SlotLineCase& c, std::ostream* os) {
    *os << c.line;
}

class SlotLines : public ::testing::TestWithParam<SlotLineCase> {};

TEST_P(SlotLines, JoinedByDashesAndCutToTwentyCharacters) {
    const auto& v = GetParam().values;
    EXPECT_EQ(slotLine(v[0], v[1], v[2], v[3]), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlotLines,
    ::testing::Values(SlotLineCase{{"1", "Primera", "08:00", "08:55"}, "1-Primera-08:00-08:5"},
                      SlotLineCase{{"2", "Recreo", "11:00", "11:30"}, "2-Recreo-11:00-11:30"},
                      // Counted in characters: ñ and ó are two bytes each in UTF-8.
                      SlotLineCase{{"3", "Señalización", "9:00", "9:55"}, "3-Señalización-9:00-"},
                      SlotLineCase{{"", "", "", ""}, "---"},
                      SlotLineCase{{" 4", " Cuarta ", "", ""}, " 4- Cuarta --"}));

const std::string kThreeFrames = sauceXml({
    {"JORNADAS",
     {{" MANANA ", "Mañana", "01/09/2026"},
      {"TARDE", "Tarde", "15/09/2026"},
      {"NOCHE"},
      {"TARDE", "Tarde bis", "30/09/2026"}}},
    {"INTERVALOS",
     {slot("1", "Primera", "08:00", "08:55", " MANANA "),
      slot("1", "Sexta", "15:00", "15:55", "TARDE"),
      slot("2", "Segunda", "08:55", "09:50", " MANANA "),
      slot("9", "Suelta", "10:00", "10:30", "MANANA")}},
});

TEST(FrameListing, ListsTheKeysAsTheDocumentWritesThem) {
    const FrameListing listing = listingOf(kThreeFrames);
    EXPECT_EQ(listing.listedKeys(),
              (std::vector<std::string>{" MANANA ", "TARDE", "NOCHE", "TARDE"}));
    EXPECT_FALSE(listing.problem());
}

TEST(FrameListing, DetailsMatchTheKeyExactly) {
    const FrameListing listing = listingOf(kThreeFrames);

    const FrameDetails morning = listing.details(" MANANA ");
    EXPECT_EQ(morning.name, "Mañana");
    EXPECT_EQ(morning.dateLabel, "01/09/2026");
    EXPECT_EQ(morning.secondLabel, "-");
    ASSERT_TRUE(morning.slotLines);
    EXPECT_EQ(*morning.slotLines,
              (std::vector<std::string>{"1-Primera-08:00-08:5", "2-Segunda-08:55-09:5"}));

    // The last record of a key repeated shows.
    const FrameDetails afternoon = listing.details("TARDE");
    EXPECT_EQ(afternoon.name, "Tarde bis");
    EXPECT_EQ(afternoon.dateLabel, "30/09/2026");
    EXPECT_EQ(*afternoon.slotLines, (std::vector<std::string>{"1-Sexta-15:00-15:55"}));

    // A frame record without name or label, and no slots: dashes and an empty slot list.
    const FrameDetails night = listing.details("NOCHE");
    EXPECT_EQ(night.name, "-");
    EXPECT_EQ(night.dateLabel, "-");
    ASSERT_TRUE(night.slotLines);
    EXPECT_TRUE(night.slotLines->empty());

    const FrameDetails trimmed = listing.details("MANANA");
    EXPECT_EQ(trimmed.name, "-");
    EXPECT_EQ(*trimmed.slotLines, (std::vector<std::string>{"9-Suelta-10:00-10:30"}));
}

TEST(FrameListing, OneFrameOrOneSlotOffersNothing) {
    const FrameListing oneFrame =
        listingOf(sauceXml({{"JORNADAS", {{"M1", "Mañana", "01/09/2026"}}},
                            {"INTERVALOS", {slot("1", "Primera", "08:00", "08:55", "M1")}}}));
    EXPECT_TRUE(oneFrame.listedKeys().empty());
    const FrameDetails details = oneFrame.details("M1");
    EXPECT_EQ(details.name, "-");
    EXPECT_EQ(details.dateLabel, "-");
    // One slot only: the slot list is left as it was.
    EXPECT_FALSE(details.slotLines);
}

TEST(FrameListing, UnreadableFileGivesAnEmptyListingThatSaysWhy) {
    TempDir folder;
    writeFile(folder / "roto.xml", "<SERVICIO><SALIDAS>");
    for (const auto& file : {folder / "roto.xml", folder / "falta.xml"}) {
        const FrameListing listing = FrameListing::load(file);
        EXPECT_TRUE(listing.listedKeys().empty());
        ASSERT_TRUE(listing.problem());
        EXPECT_EQ(listing.problem()->details().file, file);
    }
}

struct CloseCase {
    std::string name;
    std::vector<std::string> selected;
    bool resultMH;
    std::string resultado;
    SelectionProblem problem;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class ClosingTheDialog : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ClosingTheDialog, ChecksTheSelectionAndBuildsResultado) {
    const CloseCase& c = GetParam();
    const FrameSelection selection = closeSelection(c.selected);
    EXPECT_EQ(selection.resultMH, c.resultMH);
    EXPECT_EQ(selection.resultado, c.resultado);
    EXPECT_EQ(selection.problem, c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClosingTheDialog,
    ::testing::Values(
        CloseCase{"None", {}, false, "", SelectionProblem::NoFrame},
        CloseCase{"One", {"M1"}, true, "M1        ", SelectionProblem::None},
        CloseCase{"Two", {"MANANA", "TARDE"}, true, "MANANA    TARDE     ", SelectionProblem::None},
        CloseCase{"KeyLongerThanTen",
                  {"NOCTURNO2026", "X"},
                  true,
                  "NOCTURNO20X         ",
                  SelectionProblem::None},
        CloseCase{"UntrimmedKey", {" M1 "}, true, " M1       ", SelectionProblem::None},
        CloseCase{"AccentedKey", {"MAÑANA"}, true, "MAÑANA    ", SelectionProblem::None},
        CloseCase{"Three",
                  {"A", "B", "C"},
                  false,
                  "A         B         C         ",
                  SelectionProblem::TooManyFrames}),
    [](const auto& info) { return info.param.name; });

struct TypedKeysCase {
    std::string name;
    std::vector<std::string> typed;
    std::string resultado;     // empty: rejected
    ErrorKind problem = {};    // the kind of the rejection, when rejected
    std::string typedKey = {}; // the key named in the rejection
};

void PrintTo(const TypedKeysCase& c, std::ostream* os) {
    *os << c.name;
}

class TypedKeys : public ::testing::TestWithParam<TypedKeysCase> {
protected:
    void SetUp() override {
        writeFile(document,
                  sauceXml({{"JORNADAS",
                             {{"MANANA", "Mañana"}, {" TARDE ", "Tarde"}, {"NOCHE", "Noche"}}}}));
    }
    TempDir folder;
    std::filesystem::path document = folder / "marcos.xml";
};

TEST_P(TypedKeys, SelectTheLinesOfTheDialogInListOrder) {
    const TypedKeysCase& c = GetParam();
    if (!c.resultado.empty()) {
        EXPECT_EQ(chooseFramesByKeys(document, FrameListing::load(document), c.typed), c.resultado);
        return;
    }
    EXPECT_TRUE(failsWith(
        [&] { chooseFramesByKeys(document, FrameListing::load(document), c.typed); }, c.problem,
        {.value = c.typedKey, .choices = std::vector<std::string>{"MANANA", "TARDE", "NOCHE"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedKeys,
    ::testing::Values(
        TypedKeysCase{"One", {"NOCHE"}, "NOCHE     "},
        TypedKeysCase{"TwoInListOrder", {"MANANA", "NOCHE"}, "MANANA    NOCHE     "},
        TypedKeysCase{"TwoInReverseOrder", {"NOCHE", "MANANA"}, "MANANA    NOCHE     "},
        // The listed key keeps its blanks, as the dialog would hand it back.
        TypedKeysCase{"TrimmedOnBothSides", {"  TARDE"}, " TARDE    "},
        TypedKeysCase{"SameKeyTwice", {"TARDE", "TARDE "}, " TARDE    "},
        TypedKeysCase{"None", {}, "", ErrorKind::FramesNotChosen},
        TypedKeysCase{"Unknown", {"MANANA", "manana"}, "", ErrorKind::UnknownFrame, "manana"},
        TypedKeysCase{"Three", {"NOCHE", "TARDE", "MANANA"}, "", ErrorKind::TooManyFrames}),
    [](const auto& info) { return info.param.name; });

TEST(TypedKeys, DocumentWithoutFramesToChooseIsAnError) {
    TempDir folder;
    writeFile(folder / "uno.xml", sauceXml({{"JORNADAS", {{"M1", "Mañana"}}}}));
    writeFile(folder / "roto.xml", "no es XML");
    const struct {
        std::filesystem::path file;
        ErrorKind kind;
        std::optional<ErrorKind> cause;
    } cases[] = {
        {folder / "uno.xml", ErrorKind::FramesNotOffered, std::nullopt},
        {folder / "roto.xml", ErrorKind::FramesUnreadable, ErrorKind::DocumentNotWellFormed},
        {folder / "falta.xml", ErrorKind::FramesUnreadable, ErrorKind::FileNotFound},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(
            failsWith([&] { chooseFramesByKeys(c.file, FrameListing::load(c.file), {"M1"}); },
                      c.kind, {.file = c.file, .cause = c.cause}))
            << c.file;
    }
}

} // namespace
} // namespace velmora
