#include "messages/Messages.h"

#include "formats/ExchangeTables.h"

#include <iterator>
#include <sstream>

namespace velmora::messages {

namespace {

std::string quoted(std::string_view value) {
    std::string text = "«";
    text += value;
    text += "»";
    return text;
}

std::string tableRecord(const Note& n) {
    return "Tabla " + std::string(n.table) + ", registro " + std::to_string(n.record);
}

std::string sectionRecord(const Note& n) {
    return "Sección " + std::string(n.section) + " del documento, registro " +
           std::to_string(n.record);
}

// The tables that should have known a code of SOLUC: "ASIGT ni en ASIGNOMT2".
std::string tablesOfSolucField(std::string_view field) {
    std::string names;
    for (const std::string_view table : tablesKnowingSolucCodes(field)) {
        names += (names.empty() ? "" : " ni en ") + std::string(table);
    }
    return names;
}

std::string plural(std::size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The same change made to more records of the table.
std::string alsoIn(const Note& n) {
    return n.repeats == 0 ? std::string()
                          : " Lo mismo en " + plural(n.repeats, "registro más", "registros más") +
                                " de la tabla.";
}

// Where the notes of a place were made, as the end of "y 12 más ...".
std::string placeName(const NotePlace& place) {
    if (!place.section.empty()) {
        return "la sección " + std::string(place.section) + " del documento";
    }
    std::string text = "la tabla " + std::string(place.table);
    if (!place.field.empty()) {
        text += ", campo " + std::string(place.field);
    }
    return text;
}

} // namespace

std::string describe(const Note& n) {
    switch (n.kind) {
    case NoteKind::CodeNumbered:
        return tableRecord(n) + ": el código de " + quoted(n.value) +
               " ya se había dado a otro registro; se ha escrito " + quoted(n.code) + ".";
    case NoteKind::TextCut:
        return tableRecord(n) + ", campo " + std::string(n.field) + ": " + quoted(n.value) +
               " no cabe en el campo y se ha guardado como " + quoted(n.stored) + "." + alsoIn(n);
    case NoteKind::CharactersReplaced:
        return tableRecord(n) + ", campo " + std::string(n.field) + ": " + quoted(n.value) +
               " se ha guardado como " + quoted(n.stored) +
               ", porque la tabla no admite algunos de sus caracteres." + alsoIn(n);
    case NoteKind::RecordSkipped:
        if (n.reason == "repeated-code" && n.value.empty()) {
            // Records with only a key and a name share the empty code: there is no code to
            // show, only the names.
            return sectionRecord(n) + ": " + quoted(n.after) + " no tiene código, como " +
                   quoted(n.before) +
                   ", que salió antes; el catálogo de materias y tareas (ASIGNOMT) se queda con "
                   "el primero.";
        }
        if (n.reason == "repeated-code") {
            return sectionRecord(n) + ": el código " + quoted(n.value) + " (" +
                   std::string(n.after) + ") ya había salido antes como " + quoted(n.code) + " (" +
                   std::string(n.before) +
                   "); el catálogo de materias y tareas (ASIGNOMT) se queda con el primero.";
        }
        return sectionRecord(n) + ": tiene menos de dos datos y no se ha usado.";
    case NoteKind::ValueIgnored:
        return sectionRecord(n) + ": el dato número " + std::string(n.field) + " (" +
               quoted(n.value) + ") no dice qué es (le falta el atributo dato) y no se ha usado.";
    case NoteKind::MinutesUnused:
        return sectionRecord(n) + ": los minutos " + quoted(n.value) +
               " no son un número entero. No se han usado porque el curso de la materia no "
               "tiene grupos; corríjalos en Sauce antes de que los tenga.";
    case NoteKind::RowAdded:
        return "Tabla " + std::string(n.table) + ": registro nuevo " + quoted(n.value) + ".";
    case NoteKind::RowRemoved:
        return "Tabla " + std::string(n.table) + ": ya no está el registro " + quoted(n.value) +
               ".";
    case NoteKind::CodeMoved:
        return "Tabla " + std::string(n.table) + ": el código " + quoted(n.code) + " era de " +
               quoted(n.before) + " y ahora es de " + quoted(n.after) +
               ". Lo que el horario de Horadia tenga con este código pasa al nuevo; revíselo "
               "antes de usarlo.";
    case NoteKind::LessonNotPlaced:
        return tableRecord(n) +
               ": la clase no está colocada en el horario (día 0) y no se ha pasado a Sauce.";
    case NoteKind::CodeNotFound:
        if (n.field == nameOf(tables::SOLUC::PROF)) {
            return tableRecord(n) + ": el profesor " + quoted(n.code) +
                   " no está en PROFT, y su clase no aparece en el resultado.";
        }
        return tableRecord(n) + ", campo " + std::string(n.field) + ": el código " +
               quoted(n.code) + " no está en " + tablesOfSolucField(n.field) +
               "; la clase se ha pasado sin lo que esa tabla diría.";
    }
    return "";
}

std::string countOf(NoteKind kind, std::size_t count) {
    switch (kind) {
    case NoteKind::CodeNumbered:
        return plural(count, "código numerado para que no se repita",
                      "códigos numerados para que no se repitan");
    case NoteKind::TextCut:
        return plural(count, "texto recortado para caber en su campo",
                      "textos recortados para caber en su campo");
    case NoteKind::CharactersReplaced:
        return plural(count, "texto con caracteres sustituidos",
                      "textos con caracteres sustituidos");
    case NoteKind::RecordSkipped:
        return plural(count, "registro del documento sin usar", "registros del documento sin usar");
    case NoteKind::ValueIgnored:
        return plural(count, "dato sin nombre sin usar", "datos sin nombre sin usar");
    case NoteKind::MinutesUnused:
        return plural(count, "materia con minutos no válidos sin usar",
                      "materias con minutos no válidos sin usar");
    case NoteKind::RowAdded:
        return plural(count, "registro nuevo desde la transformación anterior",
                      "registros nuevos desde la transformación anterior");
    case NoteKind::RowRemoved:
        return plural(count, "registro quitado desde la transformación anterior",
                      "registros quitados desde la transformación anterior");
    case NoteKind::CodeMoved:
        return plural(count, "código que ahora nombra a otro profesor, aula, grupo o materia",
                      "códigos que ahora nombran a otro profesor, aula, grupo o materia");
    case NoteKind::LessonNotPlaced:
        return plural(count, "clase sin colocar en el horario", "clases sin colocar en el horario");
    case NoteKind::CodeNotFound:
        return plural(count, "código de SOLUC que las tablas no conocen",
                      "códigos de SOLUC que las tablas no conocen");
    }
    return "";
}

std::vector<std::string> noteCounts(const RunNotes& notes) {
    std::vector<std::string> lines;
    for (const auto& [kind, count] : notes.countsByKind()) {
        lines.push_back(countOf(kind, count));
    }
    return lines;
}

void writeNoteDetails(std::ostream& out, const RunNotes& notes) {
    bool first = true;
    for (const auto& [kind, count] : notes.countsByKind()) {
        out << (first ? "" : "\n") << countOf(kind, count) << ":\n";
        first = false;
        for (const Note& note : notes) {
            if (note.kind == kind) {
                out << "  - " << describe(note) << "\n";
            }
        }
    }
}

std::string noteDetails(const RunNotes& notes) {
    std::ostringstream text;
    writeNoteDetails(text, notes);
    return std::move(text).str();
}

std::string noteExamples(const RunNotes& notes, std::size_t examplesPerPlace) {
    std::string text;
    const std::vector<NotePlace> places = notes.places(examplesPerPlace);
    for (auto place = places.begin(); place != places.end(); ++place) {
        if (place == places.begin() || place->kind != std::prev(place)->kind) {
            text += (place == places.begin() ? "" : "\n") +
                    countOf(place->kind, notes.countOf(place->kind)) + ":\n";
        }
        for (const Note& example : place->examples) {
            text += "  - " + describe(example) + "\n";
        }
        if (place->count > place->examples.size()) {
            text += "  - Y " + std::to_string(place->count - place->examples.size()) + " más en " +
                    placeName(*place) + ".\n";
        }
    }
    return text;
}

std::optional<std::string> movedCodesWarning(const RunNotes& notes) {
    const auto counts = notes.countsByKind();
    const auto moved = counts.find(NoteKind::CodeMoved);
    if (moved == counts.end()) {
        return std::nullopt;
    }
    std::string text =
        moved->second == 1
            ? "Atención: un código de Horadia nombra ahora a otro profesor, aula, grupo o materia "
              "que en la transformación anterior."
            : "Atención: " + std::to_string(moved->second) +
                  " códigos de Horadia nombran ahora a otro profesor, aula, grupo o materia que "
                  "en la transformación anterior.";
    text += " Si ya tiene un horario hecho en Horadia, lo que tenía con esos códigos pasa a lo "
            "que ahora nombran. Revise los avisos antes de usar ese horario:\n";
    // A box that grows past the screen helps nobody: the first few, and the rest in the notes.
    constexpr std::size_t kListed = 10;
    std::size_t listed = 0;
    for (const Note& note : notes) {
        if (listed == kListed) {
            break;
        }
        if (note.kind == NoteKind::CodeMoved) {
            text += "\n- Tabla " + std::string(note.table) + ", código " + quoted(note.code) +
                    ": antes " + quoted(note.before) + ", ahora " + quoted(note.after) + ".";
            ++listed;
        }
    }
    if (moved->second > kListed) {
        text +=
            "\n- " + plural(moved->second - kListed, "otro más", "otros más") + ", en los avisos.";
    }
    return text;
}

std::string rowChanges(std::size_t added, std::size_t removed) {
    return plural(added, "nuevo", "nuevos") + " y " + plural(removed, "quitado", "quitados");
}

} // namespace velmora::messages
