#include "conversion/Builders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A value changed on its way into a field is one note, however many rows store it: a slot's name
// goes into one row for every day of the week.
namespace velmora {
namespace {

using testing::sauceXml;

class OneFrame : public FrameChooser {
public:
    std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
        ADD_FAILURE() << "one frame needs no question";
        return {};
    }
};

// The notes are read while the run's notes last: a note's texts are theirs.
RunNotes slotNotes(const std::string& slotName) {
    const ServiceSections sections = ServiceSections::parse(
        sauceXml({{"JORNADAS", {{"M1", "Mañana", "01/09/2026"}}},
                  {"INTERVALOS",
                   {{"dato=CODIGO_SAUCE|T1", "dato=NOMBRE|" + slotName, "dato=INICIO|08:00",
                     "dato=FIN|08:55", "dato=ORDEN|1", "dato=CLAVE_JORNADA|M1"}}}}),
        "jornadas.xml");
    OneFrame frames;
    ConversionContext context(sections, "jornadas.xml", frames);
    context.noteWhatTheTablesChange();
    CargarJornadas(context);
    return std::move(context.notes);
}

TEST(FitNotes, aValueStoredInEveryDaysRowIsNotedOnceWithItsRepeats) {
    const RunNotes notes = slotNotes("Primera hora de la mañana");
    ASSERT_EQ(notes.size(), 1u);
    const Note note = notes.at(0);
    EXPECT_EQ(note.kind, NoteKind::TextCut);
    EXPECT_EQ(note.table, "DIASHORAST");
    EXPECT_EQ(note.field, "TEXTOHOR");
    EXPECT_EQ(note.record, 1u);
    EXPECT_EQ(note.stored, "Primera hora de");
    EXPECT_EQ(note.repeats, 6u);
}

TEST(FitNotes, eachKindOfChangeIsItsOwnNote) {
    const RunNotes notes = slotNotes("Łódź, primera hora");
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes.at(0).kind, NoteKind::CharactersReplaced);
    EXPECT_EQ(notes.at(1).kind, NoteKind::TextCut);
    for (const Note& note : notes) {
        EXPECT_EQ(note.stored, "Lódz, primera h");
        EXPECT_EQ(note.repeats, 6u);
    }
}

} // namespace
} // namespace velmora
