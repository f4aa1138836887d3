#include "messages/Messages.h"
#include "services/files/FileSystem.h"

#include <new>

namespace velmora::messages {

namespace {

std::string quoted(const std::string& value) {
    return "\"" + value + "\"";
}

std::string fileText(std::filesystem::path file) {
    return pathToUtf8(file.make_preferred());
}

std::string list(const std::vector<std::string>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += (i == 0 ? "" : (i + 1 == values.size() ? " y " : ", ")) + values[i];
    }
    return out;
}

// "el registro 5 de la sección MATERIAS (MAT1 (Matemáticas))"
std::string recordOfSection(const ErrorDetails& d) {
    return "el registro " + std::to_string(d.record) + " de la sección " + d.section +
           (d.item.empty() ? "" : ", " + d.item);
}

std::string because(const std::error_code& system) {
    return system ? " (" + describeSystemError(system) + ")" : std::string();
}

std::string replacementFailed(const ErrorDetails& d, const std::string& folder) {
    if (d.reason == "journal") {
        return "En la carpeta de intercambio " + folder + " quedó a medias una sustitución de " +
               "tablas, y el archivo .velmora-journal que la describe no se puede leer. " +
               "Compruebe que las tablas de la carpeta son las que deben ser y borre ese " +
               "archivo para poder seguir.";
    }
    if (d.reason == "undo") {
        return "No se han podido sustituir las tablas de la carpeta de intercambio " + folder +
               because(d.system) + ", ni volver a dejar las anteriores en su sitio. Las " +
               "anteriores están guardadas y se pondrán de nuevo en su sitio la próxima vez " +
               "que use Velmora. Antes, cierre Horadia y cualquier otro programa que use la " +
               "carpeta.";
    }
    if (d.reason == "journal-left") {
        return "Las tablas de la carpeta de intercambio " + folder + " están completas, pero " +
               "no se ha podido borrar el archivo .velmora-journal" + because(d.system) +
               ". Compruebe que se puede escribir en la carpeta; Velmora lo borrará la " +
               "próxima vez.";
    }
    return "No se han podido sustituir las tablas de la carpeta de intercambio " + folder +
           because(d.system) + ". Las tablas anteriores se han dejado como estaban.";
}

std::string whyNotWellFormed(const std::string& reason) {
    if (reason == "empty") {
        return "el archivo está vacío";
    }
    if (reason == "not-xml") {
        return "no contiene etiquetas XML; puede ser un archivo de otro tipo";
    }
    if (reason == "no-root") {
        return "no contiene ningún elemento";
    }
    if (reason == "content-after-root") {
        return "hay contenido después del final del documento";
    }
    if (reason == "tag-mismatch") {
        return "una etiqueta de cierre no corresponde a la etiqueta abierta";
    }
    if (reason == "element-not-closed") {
        return "un elemento no está cerrado; el archivo puede estar incompleto";
    }
    if (reason == "invalid-character") {
        return "contiene un carácter no permitido";
    }
    if (reason == "encoding") {
        return "su texto no está en la codificación que declara";
    }
    if (reason == "unsupported-encoding") {
        return "está escrito en una codificación de texto que Velmora no sabe leer";
    }
    if (reason == "undeclared-entity") {
        return "usa una entidad que no está declarada";
    }
    if (reason == "ampersand") {
        return "contiene un carácter & suelto, que en XML debe escribirse &amp;";
    }
    if (reason == "comment") {
        return "un comentario está mal escrito o no está cerrado";
    }
    if (reason == "doctype") {
        return "la declaración del tipo de documento (DOCTYPE) está mal escrita";
    }
    if (reason == "declaration") {
        return "la declaración XML del principio del archivo está mal escrita";
    }
    if (reason == "attribute") {
        return "un atributo está mal escrito o repetido";
    }
    if (reason == "markup") {
        return "una etiqueta está mal escrita";
    }
    return "su estructura no es XML válido";
}

std::string whyTooComplex(const ErrorDetails& d) {
    const std::string limit = std::to_string(d.limit);
    if (d.reason == "attributes") {
        return "un elemento con más de " + limit + " atributos";
    }
    if (d.reason == "namespaces") {
        return "declara más de " + limit + " espacios de nombres XML";
    }
    if (d.reason == "attribute-defaults") {
        return "su DOCTYPE da valores por defecto a más de " + limit + " atributos";
    }
    return "demasiados elementos unos dentro de otros";
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
        return "No se puede escribir el archivo " + file + because(d.system) +
               ". Compruebe que la carpeta existe y que se puede escribir en ella.";
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
    case ErrorKind::NotAServiceDocument:
        if (d.reason == "root") {
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
               (d.reason == "no-key" ? " tiene un marco horario sin clave"
                                     : " no tiene ningún marco horario (sección JORNADAS)") +
               ", y Horadia necesita al menos uno." + kExportAgain;
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
               list(d.choices) + ".";
    case ErrorKind::UnknownFrame:
        return "El documento no tiene el marco horario " + quoted(d.value) +
               ". Marcos disponibles: " + list(d.choices) + ".";
    case ErrorKind::TooManyFrames:
        return "Como máximo se pueden elegir 2 marcos horarios. Marcos disponibles: " +
               list(d.choices) + ".";
    case ErrorKind::BadMinutes:
        return "En " + recordOfSection(d) + ", los minutos semanales " + quoted(d.value) +
               (d.reason == "too-large" ? " son un número demasiado grande."
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
               (d.reason == "horadia" ? ". Genere primero el horario en Horadia y vuelva a "
                                        "intentarlo."
                : d.reason == "conversion"
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
    case ErrorKind::TableFieldMissing:
        return "A la tabla " + d.table + " (" + file + ") le falta el campo " + d.field +
               ". Vuelva a generarla con el programa que la creó.";
    case ErrorKind::TableValueUnreadable:
        return "En el registro " + std::to_string(d.record) + " de la tabla " + d.table +
               ", el campo " + d.field + " tiene el valor " + quoted(d.value) +
               ", que no es un número.";
    case ErrorKind::TableNotWritten:
        return "No se puede escribir la tabla " + d.table + " (" + file + ")" + because(d.system) +
               ". Compruebe que hay espacio en el disco y que se puede escribir en la carpeta.";
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
    case ErrorKind::ResultNotSaved:
        return "No se puede guardar el resultado en " + file + because(d.system) +
               ". Compruebe que la carpeta existe, que se puede escribir en ella y que el "
               "archivo no está abierto en otro programa.";
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
