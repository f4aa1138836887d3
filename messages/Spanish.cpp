#include "messages/Messages.h"
#include "messages/Wording.h"
#include "services/files/FileReplacement.h"
#include "services/files/FileSystem.h"

#include <new>

namespace velmora::messages {

namespace {

using wording::because;
using wording::fileText;
using wording::quoted;

// "el registro 5 de la sección MATERIAS (MAT1 (Matemáticas))"
std::string recordOfSection(const ErrorDetails& d) {
    return "el registro " + std::to_string(d.record) + " de la sección " + d.section +
           (d.item.empty() ? "" : ", " + d.item);
}

std::string replacementFailed(const ErrorDetails& d, const std::string& folder) {
    if (d.reason == ErrorReason::UndoFailed) {
        return "No se han podido sustituir las tablas de la carpeta de intercambio " + folder +
               because(d.system) + ", ni volver a dejar las anteriores en su sitio. Las " +
               "anteriores están guardadas en " + quoted(fileText(oldFilesFolder(d.file))) +
               " y se pondrán de nuevo en su sitio la próxima vez que use Velmora. Antes, " +
               "cierre Horadia y cualquier otro programa que use la carpeta.";
    }
    return "No se han podido sustituir las tablas de la carpeta de intercambio " + folder +
           because(d.system) + ". Las tablas anteriores se han dejado como estaban.";
}

// Where the tables are after a replacement that nobody can finish safely, and the one way back
// that loses none of them: copy first, remove after.
std::string replacementJournalDamaged(const ErrorDetails& d, const std::string& folder) {
    const std::string journal = quoted(fileText(journalFile(d.file)));
    const std::string swap = quoted(fileText(swapFolder(d.file)));
    const std::string old = quoted(fileText(oldFilesFolder(d.file)));
    return "En la carpeta de intercambio " + folder + " quedó a medias una sustitución de " +
           "tablas, y su diario (" + journal + ") falta, está dañado o no es de Velmora: no se " +
           "sabe qué tablas son las buenas, así que no se ha tocado nada. Las tablas anteriores " +
           "que se llegaron a apartar están en " + old + "; las nuevas que no se llegaron a " +
           "colocar, en " + swap + "; las demás, en " + folder + ". Para volver a las tablas " +
           "anteriores, copie los archivos de " + old + " a " + folder + ", reemplazando los " +
           "que haya; solo después borre " + journal + " y la carpeta " + swap + ", y vuelva a " +
           "hacer la transformación. No borre nada antes de copiar: se perderían las tablas " +
           "anteriores.";
}

// What to do about a file that could not be written depends on why.
std::string adviceForWriting(const std::error_code& system) {
    if (system == std::errc::no_space_on_device) {
        return " Libere espacio en el disco y vuelva a intentarlo.";
    }
    if (system == std::errc::io_error) {
        return " El disco, o la carpeta de red, puede estar fallando: compruébelo antes de "
               "volver a intentarlo.";
    }
    return " Compruebe que la carpeta existe y que se puede escribir en ella.";
}

std::string whyNotWellFormed(ErrorReason reason) {
    switch (reason) {
    case ErrorReason::EmptyFile:
        return "el archivo está vacío";
    case ErrorReason::NotXml:
        return "no contiene etiquetas XML; puede ser un archivo de otro tipo";
    case ErrorReason::NoRootElement:
        return "no contiene ningún elemento";
    case ErrorReason::ContentAfterRoot:
        return "hay contenido después del final del documento";
    case ErrorReason::TagMismatch:
        return "una etiqueta de cierre no corresponde a la etiqueta abierta";
    case ErrorReason::ElementNotClosed:
        return "un elemento no está cerrado; el archivo puede estar incompleto";
    case ErrorReason::InvalidCharacter:
        return "contiene un carácter no permitido";
    case ErrorReason::WrongEncoding:
        return "su texto no está en la codificación que declara";
    case ErrorReason::UnsupportedEncoding:
        return "está escrito en una codificación de texto que Velmora no sabe leer";
    case ErrorReason::UndeclaredEntity:
        return "usa una entidad que no está declarada";
    case ErrorReason::StrayAmpersand:
        return "contiene un carácter & suelto, que en XML debe escribirse &amp;";
    case ErrorReason::BadComment:
        return "un comentario está mal escrito o no está cerrado";
    case ErrorReason::BadDoctype:
        return "la declaración del tipo de documento (DOCTYPE) está mal escrita";
    case ErrorReason::BadDeclaration:
        return "la declaración XML del principio del archivo está mal escrita";
    case ErrorReason::BadAttribute:
        return "un atributo está mal escrito o repetido";
    case ErrorReason::BadMarkup:
        return "una etiqueta está mal escrita";
    default:
        return "su estructura no es XML válido";
    }
}

std::string whyTooComplex(const ErrorDetails& d) {
    const std::string limit = std::to_string(d.limit);
    switch (d.reason) {
    case ErrorReason::TooManyAttributes:
        return "un elemento con más de " + limit + " atributos";
    case ErrorReason::TooManyNamespaces:
        return "declara más de " + limit + " espacios de nombres XML";
    case ErrorReason::TooManyAttributeDefaults:
        return "su DOCTYPE da valores por defecto a más de " + limit + " atributos";
    default:
        return "demasiados elementos unos dentro de otros";
    }
}

constexpr std::uint64_t kMegabyte = 1024 * 1024;

std::string atLine(const ErrorDetails& d) {
    if (d.line == 0) {
        return "";
    }
    std::string at = " (línea " + std::to_string(d.line);
    if (d.column != 0) {
        at += ", columna " + std::to_string(d.column);
    }
    return at + ")";
}

const std::string kExportAgain =
    " Corrija el dato en Sauce, exporte de nuevo el documento y vuelva a intentarlo.";

const std::string kChooseAnother =
    " Compruebe que ha elegido el archivo correcto, exportado de Sauce.";

std::string describeKind(ErrorKind kind, const ErrorDetails& d) {
    const std::string file = quoted(fileText(d.file));
    switch (kind) {
    case ErrorKind::FileNotFound:
        return "No se encuentra el archivo " + file + ".";
    case ErrorKind::NotARegularFile:
        return file + " no es un archivo normal (es una carpeta u otro tipo de elemento)." +
               kChooseAnother;
    case ErrorKind::FileUnreadable:
        return "No se puede leer el archivo " + file + because(d.system) + ".";
    case ErrorKind::FileNotWritten:
        return "No se puede escribir el archivo " + file + because(d.system) + "." +
               adviceForWriting(d.system);
    case ErrorKind::OutputNotAFile:
        return "No se puede escribir en " + file +
               ": ahí hay una carpeta, un enlace u otro elemento que no es un archivo normal. " +
               "Elija otro nombre. No se ha cambiado nada.";
    case ErrorKind::ReportNotWritten:
        return "Se ha guardado " + quoted(d.value) + ", pero no se ha podido escribir el " +
               "informe " + file + because(d.system) + "." + adviceForWriting(d.system);
    case ErrorKind::SavedButNotConfirmed:
        return "Se ha guardado " + file + ", pero el disco no ha confirmado que quede escrito" +
               because(d.system) +
               ". Compruebe el disco; si el archivo no está bien, vuelva a hacer el proceso.";
    case ErrorKind::DocumentTooLarge:
        return "El archivo " + file + " es demasiado grande para ser un documento de Sauce" +
               (d.limit >= kMegabyte ? " (más de " + std::to_string(d.limit / kMegabyte) + " MB)"
                                     : std::string()) +
               "." + kChooseAnother;
    case ErrorKind::DocumentNotWellFormed:
        return "El archivo " + file +
               " no es un documento XML válido: " + whyNotWellFormed(d.reason) + atLine(d) + "." +
               kChooseAnother;
    case ErrorKind::DocumentDeclaresEntities:
        return "El archivo " + file +
               " declara entidades XML propias, algo que un documento de Sauce nunca hace" +
               atLine(d) + ". No se ha leído." + kChooseAnother;
    case ErrorKind::DocumentTooComplex:
        return "El archivo " + file + " tiene una estructura demasiado compleja (" +
               whyTooComplex(d) +
               (d.line != 0 ? ", en la línea " + std::to_string(d.line) : std::string()) +
               "). No parece un documento de Sauce." + kChooseAnother;
    case ErrorKind::DocumentTextTooLong:
        return "El archivo " + file + " tiene un texto de más de " +
               std::to_string(d.limit / kMegabyte) + " MB seguido" +
               (d.line != 0 ? " (en la línea " + std::to_string(d.line) + ")" : std::string()) +
               ", algo que un documento de Sauce nunca tiene. No se ha leído." + kChooseAnother;
    case ErrorKind::DocumentTooMuchOutside:
        return "El archivo " + file + " tiene demasiado contenido fuera de " + d.value +
               " (más de " + std::to_string(d.limit) +
               " elementos, atributos y textos), algo que un documento de Sauce nunca tiene. No " +
               "se ha leído." + kChooseAnother;
    case ErrorKind::NotAServiceDocument:
        if (d.reason == ErrorReason::WrongRoot) {
            return "El archivo " + file +
                   " no es un documento de servicio de Sauce: su elemento "
                   "principal es " +
                   quoted(d.value) + " y no SERVICIO." + kChooseAnother;
        }
        return "El archivo " + file +
               " no es un documento de servicio de Sauce: no tiene el elemento SALIDAS bajo " +
               quoted(d.value) + "." + kChooseAnother;
    case ErrorKind::NoTimeFrame:
        return "El documento " + file +
               " no tiene ningún marco horario (sección JORNADAS), y Horadia necesita al menos " +
               "uno." + kExportAgain;
    case ErrorKind::FramesUnreadable:
        return "No se pueden leer los marcos horarios de " + file +
               ". El archivo puede haber cambiado o haberse borrado desde que empezó la "
               "conversión; vuelva a hacer la conversión.";
    case ErrorKind::FramesNotOffered:
        return "El documento " + file +
               " ya no tiene dos o más marcos horarios para elegir. El archivo puede haber "
               "cambiado desde que empezó la conversión; vuelva a hacer la conversión.";
    case ErrorKind::FramesNotChosen:
        return "El documento tiene varios marcos horarios: elija uno o dos con --frames "
               "CLAVE[,CLAVE]. Marcos disponibles: " +
               wording::joinedWithY(d.choices) + ".";
    case ErrorKind::UnknownFrame:
        return "El documento no tiene el marco horario " + quoted(d.value) +
               ". Marcos disponibles: " + wording::joinedWithY(d.choices) + ".";
    case ErrorKind::TooManyFrames:
        return "Como máximo se pueden elegir 2 marcos horarios. Marcos disponibles: " +
               wording::joinedWithY(d.choices) + ".";
    case ErrorKind::BadMinutes:
        return "En " + recordOfSection(d) + ", los minutos semanales " + quoted(d.value) +
               (d.reason == ErrorReason::NumberTooLarge ? " son un número demasiado grande."
                                                        : " no son un número entero.") +
               kExportAgain;
    case ErrorKind::BadTime:
        return "En " + recordOfSection(d) + ", la hora " + d.field + " " + quoted(d.value) +
               " no es una hora válida como 08:00 (de 0:00 a 23:59)." + kExportAgain;
    case ErrorKind::EndBeforeStart:
        return "En " + recordOfSection(d) + ", el tramo termina (" + d.expected +
               ") antes de empezar (" + d.value + ")." + kExportAgain;
    case ErrorKind::BadOrder:
        return "En " + recordOfSection(d) + ", el orden del tramo " + quoted(d.value) +
               " no es un número entero." + kExportAgain;
    case ErrorKind::ExchangeFolderMissing:
        return "No existe la carpeta de intercambio " + file +
               ". Créela, o abra Horadia una vez para que la cree, y vuelva a intentarlo.";
    case ErrorKind::ExchangeFolderIsFile:
        return "La carpeta de intercambio " + file +
               " es un archivo, no una carpeta. Mueva o cambie de nombre ese archivo y vuelva a "
               "intentarlo.";
    case ErrorKind::TableNotFound:
        return "No se encuentra la tabla " + d.table + " en la carpeta de intercambio " + file +
               (d.reason == ErrorReason::MadeByHoradia
                    ? ". Genere primero el horario en Horadia y vuelva a "
                      "intentarlo."
                : d.reason == ErrorReason::MadeByConversion
                    ? ". Transforme primero el documento de Sauce hacia Horadia y vuelva a "
                      "intentarlo."
                    : ".");
    case ErrorKind::TableInUse:
        return "La tabla " + d.table + " (" + file +
               ") está abierta en otro programa: Horadia u otra ejecución de Velmora. Cierre ese "
               "programa o espere a que termine, y vuelva a intentarlo. No se ha cambiado nada.";
    case ErrorKind::TableDamaged:
        return "La tabla " + d.table + " (" + file +
               ") está dañada y no se puede leer. Vuelva a generarla con el programa que la "
               "creó.";
    case ErrorKind::TableTooLarge:
        return "La tabla " + d.table + " (" + file + ") es demasiado grande para ser una tabla " +
               "de Horadia (más de " + std::to_string(d.limit / kMegabyte) +
               " MB). No se ha leído. Vuelva a generarla con el programa que la creó.";
    case ErrorKind::TableWouldBeTooLarge:
        return "El documento daría a la tabla " + d.table + " más de " +
               std::to_string(d.limit / kMegabyte) +
               " MB, mucho más de lo que necesita cualquier centro. No se ha cambiado ninguna " +
               "tabla." + kChooseAnother;
    case ErrorKind::TableFieldMissing:
        return "A la tabla " + d.table + " (" + file + ") le falta el campo " + d.field +
               ". Vuelva a generarla con el programa que la creó.";
    case ErrorKind::TableValueUnreadable:
        return "En el registro " + std::to_string(d.record) + " de la tabla " + d.table +
               ", el campo " + d.field + " tiene el valor " + quoted(d.value) +
               ", que no es un número.";
    case ErrorKind::TableNotWritten:
        return "No se puede escribir la tabla " + d.table + " (" + file + ")" + because(d.system) +
               ". Las tablas de la carpeta de intercambio no se han cambiado." +
               adviceForWriting(d.system);
    case ErrorKind::TableNotAsWritten:
        return "La tabla " + d.table + " (" + file + ") se ha escrito, pero al leerla de nuevo " +
               "no contiene lo que se escribió: el disco, o la carpeta de red, puede estar " +
               "fallando. Las tablas de la carpeta de intercambio no se han cambiado.";
    case ErrorKind::UnknownCodePage:
        return "La tabla " + d.table + " (" + file + ") indica una codificación de texto " +
               "desconocida (" + d.value + "), y su texto no se puede leer con seguridad.";
    case ErrorKind::ValueDoesNotFit:
        return "El valor " + quoted(d.value) + " no cabe en el campo " + d.field + " de la tabla " +
               d.table + ".";
    case ErrorKind::WorkFolderFailed:
        return "No se puede crear una carpeta de trabajo en la carpeta de intercambio " + file +
               because(d.system) + ". Compruebe que se puede escribir en ella.";
    case ErrorKind::ReplacementFailed:
        return replacementFailed(d, file);
    case ErrorKind::ReplacementInProgress:
        return "Otra ejecución de Velmora está sustituyendo ahora las tablas de la carpeta de " +
               std::string("intercambio ") + file +
               ". Espere a que termine y vuelva a intentarlo. No se ha cambiado nada.";
    case ErrorKind::ReplacementJournalDamaged:
        return replacementJournalDamaged(d, file);
    case ErrorKind::ResultNotSaved:
        return "No se puede guardar el resultado en " + file + because(d.system) +
               ". El resultado anterior, si lo había, no se ha cambiado." +
               (d.system == std::errc::no_space_on_device || d.system == std::errc::io_error
                    ? adviceForWriting(d.system)
                    : std::string(" Compruebe que se puede escribir en la carpeta y que el "
                                  "archivo no está abierto en otro programa."));
    case ErrorKind::IniNotWritten:
        return "No se puede escribir en el archivo " + file + because(d.system) +
               ". El programa que abrió Velmora lee en él cómo ha terminado el proceso: no lo " +
               "sabrá, o leerá lo que quedó de una vez anterior. Compruebe que se puede " +
               "escribir en la carpeta de Velmora y vuelva a empezar desde ese programa.";
    }
    return "Se ha producido un error.";
}

} // namespace

std::string describe(const Error& error) {
    return describeKind(error.kind(), error.details());
}

std::string describe(const std::exception& error) {
    if (const auto* known = dynamic_cast<const Error*>(&error)) {
        return describe(*known);
    }
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return "No hay memoria suficiente para terminar el proceso. Cierre otros programas y "
               "vuelva a intentarlo.";
    }
    return "El proceso se ha detenido por un error interno de Velmora. No se ha cambiado nada; "
           "si vuelve a ocurrir, avise al servicio técnico.";
}

std::string describeSystemError(const std::error_code& error) {
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() == std::generic_category()) {
        switch (static_cast<std::errc>(condition.value())) {
        case std::errc::no_such_file_or_directory:
            return "no existe";
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
            return "no tiene permiso";
        case std::errc::no_space_on_device:
            return "no hay espacio en el disco";
        case std::errc::read_only_file_system:
            return "el disco está protegido contra escritura";
        case std::errc::device_or_resource_busy:
        case std::errc::text_file_busy:
            return "está en uso";
        case std::errc::is_a_directory:
            return "es una carpeta";
        case std::errc::not_a_directory:
            return "una parte de la ruta no es una carpeta";
        case std::errc::file_exists:
            return "ya existe";
        case std::errc::filename_too_long:
            return "el nombre es demasiado largo";
        case std::errc::too_many_files_open:
            return "hay demasiados archivos abiertos";
        case std::errc::io_error:
            return "error de lectura o escritura en el disco";
        case std::errc::directory_not_empty:
            return "la carpeta no está vacía";
        case std::errc::file_too_large:
            return "el archivo es demasiado grande";
        case std::errc::cross_device_link:
            return "está en otro disco";
        case std::errc::no_such_device:
        case std::errc::no_such_device_or_address:
            return "el disco no está disponible";
        case std::errc::invalid_argument:
            return "el nombre no es válido";
        case std::errc::resource_unavailable_try_again:
            return "no está disponible en este momento";
        default:
            break;
        }
    }
    return "el sistema no lo ha permitido (error " + std::to_string(error.value()) + ")";
}

} // namespace velmora::messages
