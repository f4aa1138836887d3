#pragma once

// The words of the Windows window, in UTF-8.
namespace velmora::app::win32::texts {

inline constexpr const char* applicationTitle = "Velmora";

inline constexpr const char* mainCaption = "Exportar e importar datos entre Horadia y Sauce ";
inline constexpr const char* conversionTitle = "Transformar datos desde Sauce hacia Horadia ";
inline constexpr const char* resultsTitle = "Transformar datos desde Horadia hacia Sauce";
inline constexpr const char* runButton = "OK";
inline constexpr const char* quitButton = "&Salir";
inline constexpr const char* helpButton = "F1 Ayuda";
inline constexpr const char* versionLabel = "Velmora para HD24 V-1.0";

inline constexpr const char* documentDialogTitle = "Seleccionar Archivo XML obtenido de SAUCE";
inline constexpr const char* documentFilterName = "*.xml";
inline constexpr const char* documentFilterPattern = "*.xml";
inline constexpr const char* documentExtension = "xml";

inline constexpr const char* framesCaption = "Planillas, Marcos o Jornadas Horarias";
inline constexpr const char* framesInstruction =
    "Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en Horadia.";
inline constexpr const char* framesHint =
    "Para seleccionar mas de un Marco Horario, mantenga (Ctrl) pulsado y seleccione cada marco "
    "con 1 click del botón izquierdo del ratón.";
inline constexpr const char* framesHeading = "MARCOS";
inline constexpr const char* slotsHeading = "HORAS";
inline constexpr const char* continueButton = "Continuar";

inline constexpr const char* saveNotesButton = "&Guardar avisos...";
inline constexpr const char* showDetailsButton = "Mostrar los detalles...";
inline constexpr const char* hideDetailsButton = "Ocultar los detalles...";
inline constexpr const char* okButton = "Aceptar";
inline constexpr const char* notesDialogTitle = "Guardar los avisos en un archivo de texto";
inline constexpr const char* notesFilterName = "Archivos de texto (*.txt)";
inline constexpr const char* notesFilterPattern = "*.txt";
inline constexpr const char* notesExtension = "txt";

inline constexpr const char* helpCaption = "Ayuda de Velmora";
inline constexpr const char* helpContentsButton = "&Contenido";
inline constexpr const char* helpBackButton = "&Atrás";
inline constexpr const char* helpForwardButton = "A&delante";
inline constexpr const char* helpCloseButton = "C&errar";

} // namespace velmora::app::win32::texts
