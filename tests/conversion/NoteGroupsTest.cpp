#include "conversion/ConversionRun.h"
#include "support/NoteLines.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

// A school whose Sauce numbers its subjects past ten digits leaves a note for nearly every
// code; a summary takes them by the table's field they were made at.
namespace velmora {
namespace {

using ::testing::ElementsAre;
using testing::noteLine;

class OneFrame : public FrameChooser {
public:
    std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
        throw std::logic_error("the document has one time frame");
    }
};

constexpr int kSubjects = 30;

std::string subjectCode(int i) {
    return std::to_string(10000000000LL + i);
}

std::string schoolOfLongCodes() {
    std::vector<testing::SauceRecordValues> subjects;
    for (int i = 0; i < kSubjects; ++i) {
        subjects.push_back(
            {"M" + std::to_string(i), "Materia " + std::to_string(i), subjectCode(i), "C1", "60"});
    }
    return testing::sauceXml({
        {"MATERIAS", subjects},
        {"CURSOS", {{"C1", "1º ESO", "", "ESO", "1"}}},
        {"GRUPOS", {{"G1", "1 ESO A", "C1"}, {"G2", "1 ESO B", "C1"}}},
        {"JORNADAS", {{"M1", "Mañana", "01/09/2026"}}},
        {"INTERVALOS",
         {{"dato=CODIGO_SAUCE|T1", "dato=NOMBRE|Primera", "dato=INICIO|08:30", "dato=FIN|09:25",
           "dato=ORDEN|1", "dato=CLAVE_JORNADA|M1"}}},
    });
}

struct Place {
    std::string kind, table, field;
    std::size_t count;
    std::vector<std::string> examples; // as note lines
};

std::vector<Place> placesOf(const RunNotes& notes, std::size_t examples) {
    std::vector<Place> places;
    for (const NotePlace& place : notes.places(examples)) {
        Place seen{noteKindName(place.kind),
                   std::string(place.table),
                   std::string(place.field),
                   place.count,
                   {}};
        for (const Note& example : place.examples) {
            seen.examples.push_back(noteLine(example));
        }
        places.push_back(seen);
    }
    return places;
}

bool operator==(const Place& a, const Place& b) {
    return a.kind == b.kind && a.table == b.table && a.field == b.field && a.count == b.count &&
           a.examples == b.examples;
}

void PrintTo(const Place& place, std::ostream* out) {
    *out << place.kind << " " << place.table << "." << place.field << " " << place.count;
    for (const std::string& example : place.examples) {
        *out << "\n    " << example;
    }
}

TEST(NoteGroups, manyCutCodesGiveOneGroupPerFieldWithItsCountAndFirstNotes) {
    testing::TempDir folder;
    const auto document = folder / "sauce.xml";
    testing::writeFile(document, schoolOfLongCodes());
    OneFrame frames;
    const ConversionSummary summary = ConversionRun(document, folder.path(), frames).run();

    // Each code is cut to its first ten digits, which the first ten subjects share: the first
    // keeps them, every other is numbered. The catalogue, the subjects by course and each
    // group's assignments store the cut code.
    const std::string first = subjectCode(0), second = subjectCode(1), third = subjectCode(2);
    EXPECT_THAT(
        placesOf(summary.notes, 2),
        ElementsAre(Place{"code-numbered",
                          "ASIGNOMT",
                          "COD",
                          kSubjects - 1,
                          {"code-numbered table=ASIGNOMT record=2 field=COD value=" + second +
                               " code=1000000001",
                           "code-numbered table=ASIGNOMT record=3 field=COD value=" + third +
                               " code=1000000002"}},
                    Place{"text-cut",
                          "ASIGNOMT",
                          "CODLARGO",
                          kSubjects,
                          {"text-cut table=ASIGNOMT record=1 field=CODLARGO value=" + first +
                               " stored=1000000000",
                           "text-cut table=ASIGNOMT record=2 field=CODLARGO value=" + second +
                               " stored=1000000000"}},
                    Place{"text-cut",
                          "ASIGNOMT2",
                          "CODLARGO",
                          kSubjects,
                          {"text-cut table=ASIGNOMT2 record=1 field=CODLARGO value=" + first +
                               " stored=1000000000",
                           "text-cut table=ASIGNOMT2 record=2 field=CODLARGO value=" + second +
                               " stored=1000000000"}},
                    Place{"text-cut",
                          "ASIGT",
                          "CASIG",
                          kSubjects,
                          {"text-cut table=ASIGT record=1 field=CASIG value=" + first +
                               " stored=1000000000",
                           "text-cut table=ASIGT record=3 field=CASIG value=" + second +
                               " stored=1000000000"}}));
}

} // namespace
} // namespace velmora
