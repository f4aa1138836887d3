#pragma once

#include "formats/RunNotes.h"

#include <filesystem>
#include <string>
#include <system_error>

// Every word the windows show, for whichever face draws them: each text is written here once.
// An ampersand marks the letter that takes the keyboard shortcut.
namespace velmora::messages {

// The caption of every message box, and the name the taskbar shows.
inline constexpr const char* kApplicationTitle = "Velmora";

// The main window.
inline constexpr const char* kMainWindowCaption =
    "Exportar e importar datos entre Horadia y Sauce ";
inline constexpr const char* kConversionTitle = "Transformar datos desde Sauce hacia Horadia ";
inline constexpr const char* kResultsTitle = "Transformar datos desde Horadia hacia Sauce";
inline constexpr const char* kRunButton = "OK";
inline constexpr const char* kVersionLabel = "Velmora para HD24 V-1.0";
inline constexpr const char* kQuitButton = "&Salir";
inline constexpr const char* kHelpButton = "F1 Ayuda";

// What a run says when it ends.
inline constexpr const char* kNoDocument = "No existe archivo";
inline constexpr const char* kRunFinished = "Proceso finalizado";
// A failure that is no std::exception at all.
inline constexpr const char* kUnknownError = "El proceso se ha detenido por un error desconocido.";

// The file dialog for a Sauce document: a filter's name, then its pattern.
inline constexpr const char* kDocumentDialogTitle = "Seleccionar Archivo XML obtenido de SAUCE";
inline constexpr const char* kDocumentFilterName = "*.xml";
inline constexpr const char* kDocumentFilterPattern = "*.xml";
inline constexpr const char* kDocumentExtension = "xml";

// Saving a run's notes from its closing message.
inline constexpr const char* kSaveNotesButton = "&Guardar avisos...";
inline constexpr const char* kNotesDialogTitle = "Guardar los avisos en un archivo de texto";
inline constexpr const char* kNotesFilterName = "Archivos de texto";
inline constexpr const char* kNotesFilterPattern = "*.txt";
inline constexpr const char* kNotesExtension = "txt";
inline constexpr const char* kSuggestedNotesFileName = "Avisos de Velmora.txt";
// The closing message's own buttons where the toolkit has no message box with details (Windows):
// its details shown and hidden, and its OK.
inline constexpr const char* kShowDetailsButton = "Mostrar los detalles...";
inline constexpr const char* kHideDetailsButton = "Ocultar los detalles...";
inline constexpr const char* kOkButton = "Aceptar";

// The time-frame dialog.
inline constexpr const char* kFrameDialogCaption = "Planillas, Marcos o Jornadas Horarias";
inline constexpr const char* kFrameInstruction =
    "Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en Horadia.";
inline constexpr const char* kFrameMultipleChoiceHint =
    "Para seleccionar mas de un Marco Horario, mantenga (Ctrl) pulsado y seleccione cada marco "
    "con 1 click del botón izquierdo del ratón.";
inline constexpr const char* kFramesHeading = "MARCOS";
inline constexpr const char* kSlotsHeading = "HORAS";
inline constexpr const char* kContinueButton = "Continuar";
// The closing check's refusals; "\r\n" breaks the line.
inline constexpr const char* kTooManyFrames =
    "Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos "
    "Horarios";
inline constexpr const char* kNoFrameSelected = "Debe al menos seleccionar 1 Marco Horario.";

// The window that shows the built-in guide.
inline constexpr const char* kGuideWindowCaption = "Ayuda de Velmora";
inline constexpr const char* kGuideContentsButton = "&Contenido";
inline constexpr const char* kGuideBackButton = "&Atrás";
inline constexpr const char* kGuideForwardButton = "A&delante";
inline constexpr const char* kGuideCloseButton = "C&errar";

// What the closing message of a run that left notes says below "Proceso finalizado": how
// many notes of each kind, and what to do with them.
std::string notesSummary(const RunNotes& notes);

// A notes file of an earlier run that automatic mode could not remove.
std::string staleNotesFileKept(const std::filesystem::path& file, const std::error_code& why);

} // namespace velmora::messages
