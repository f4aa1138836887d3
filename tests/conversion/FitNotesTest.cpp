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

std::vector<Note> slotNotes(const std::string& slotName) {
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
    return context.notes.all();
}

TEST(FitNotes, aValueStoredInEveryDaysRowIsNotedOnceWithItsRepeats) {
    const std::vector<Note> notes = slotNotes("Primera hora de la mañana");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].kind, NoteKind::TextCut);
    EXPECT_EQ(notes[0].table, "DIASHORAST");
    EXPECT_EQ(notes[0].field, "TEXTOHOR");
    EXPECT_EQ(notes[0].record, 1u);
    EXPECT_EQ(notes[0].stored, "Primera hora de");
    EXPECT_EQ(notes[0].repeats, 6u);
}

TEST(FitNotes, eachKindOfChangeIsItsOwnNote) {
    const std::vector<Note> notes = slotNotes("Łódź, primera hora");
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].kind, NoteKind::CharactersReplaced);
    EXPECT_EQ(notes[1].kind, NoteKind::TextCut);
    for (const Note& note : notes) {
        EXPECT_EQ(note.stored, "Lódz, primera h");
        EXPECT_EQ(note.repeats, 6u);
    }
}

} // namespace
} // namespace velmora
