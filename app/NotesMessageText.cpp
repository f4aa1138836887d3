#include "app/NotesMessageText.h"

#include "messages/Messages.h"

#include <QCoreApplication>

namespace velmora::app {

NotesMessage notesMessageFor(const QString& closingText, const RunNotes& notes) {
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("velmora::app::NotesMessage", text);
    };
    QString summary = tr("Hay avisos de cosas que se han cambiado o que no se han podido usar:");
    for (const std::string& line : messages::noteCounts(notes)) {
        summary += QStringLiteral("\n- ") + QString::fromStdString(line);
    }
    summary += QStringLiteral("\n\n") +
               tr("En los detalles está cada aviso, uno por uno, y puede guardarlos en un archivo "
                  "de texto. La guía de Velmora (botón F1 Ayuda) explica qué hacer con cada clase "
                  "de aviso.");
    return {closingText, summary, QString::fromStdString(messages::noteDetails(notes))};
}

} // namespace velmora::app
