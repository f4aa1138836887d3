#include "messages/WindowTexts.h"

#include "messages/Messages.h"
#include "messages/Wording.h"
#include "services/files/FileSystem.h"

namespace velmora::messages {

std::string notesSummary(const RunNotes& notes) {
    std::string summary = "Hay avisos de cosas que se han cambiado o que no se han podido usar:";
    for (const std::string& line : noteCounts(notes)) {
        summary += "\n- " + line;
    }
    summary += "\n\nEn los detalles están los primeros avisos de cada tabla y campo, y cuántos más "
               "hay; con «Guardar avisos...» puede guardarlos todos, uno por uno, en un archivo "
               "de texto. La guía de Velmora (botón F1 Ayuda) explica qué hacer con cada clase "
               "de aviso.";
    return summary;
}

std::string staleNotesFileKept(const std::filesystem::path& file, const std::error_code& why) {
    return "No se puede borrar el archivo " + wording::quoted(wording::fileText(file)) +
           wording::because(why) +
           ". Tiene los avisos de un proceso anterior: bórrelo usted para que nadie los tome por "
           "los de este.";
}

} // namespace velmora::messages
