#include "results/ResultDocument.h"

#include "services/Error.h"

#include <string>

namespace velmora {

namespace {

// A salida names its field in dato; an empty value gives a salida without text.
void appendSalida(XmlDocument& document, XmlNode parent, const std::string& dato,
                  const std::string& value) {
    XmlNode salida = parent.appendChild(document.createElement("salida"));
    salida.setAttribute("dato", dato);
    if (!value.empty()) {
        salida.setText(value);
    }
}

XmlNode appendList(XmlDocument& document, XmlNode parent, const std::string& seq) {
    XmlNode list = parent.appendChild(document.createElement("listasal"));
    list.setAttribute("seq", seq);
    return list;
}

// Removes every SALIDAS of the root, not only the first: a second one left behind would carry
// the input sections into the result, where Sauce would read them as output.
XmlNode replaceSalidas(XmlDocument& document) {
    XmlNode root = document.root();
    for (XmlNode old = root.firstChildElement("SALIDAS"); !old.isNull();
         old = root.firstChildElement("SALIDAS")) {
        root.removeChild(old);
    }
    return root.appendChild(document.createElement("SALIDAS"));
}

void writeStatusBlock(XmlDocument& document, XmlNode salidas, int teacherRecordCount) {
    XmlNode error = salidas.appendChild(document.createElement("ERROR"));
    appendSalida(document, error, "CN_ERROR", "0");
    appendSalida(document, error, "TE_ERROR", "Servicio finalizado Correctamente");
    appendSalida(document, error, "REGISTROS RECUPERADOS", std::to_string(teacherRecordCount));
}

void writeLessonList(XmlDocument& document, XmlNode teacherList, int number,
                     const LessonValues& lesson) {
    XmlNode list = appendList(document, teacherList, "TRAMO_" + std::to_string(number));
    appendSalida(document, list, "X_ACTIVIDAD", lesson.actividad);
    appendSalida(document, list, "N_DIASEMANA", lesson.diaSemana);
    appendSalida(document, list, "X_TRAMO", lesson.tramo);
    appendSalida(document, list, "X_DEPCENTRO", lesson.depCentro);
    appendSalida(document, list, "X_MATERIAOMC", lesson.materiaOmc);
    appendSalida(document, list, "X_UNIDAD", lesson.unidad);
}

void writeTeacherList(XmlDocument& document, XmlNode salidas, int number, const Teacher& teacher,
                      const Timetable& timetable) {
    XmlNode list = appendList(document, salidas, "EMP_" + std::to_string(number));
    appendSalida(document, list, "X_EMPLEADO", teacher.empleado);
    appendSalida(document, list, "F_TOMAPOS", teacher.tomaPos);
    int lessonNumber = 1;
    for (const LessonValues& lesson : timetable.lessonsOf(teacher)) {
        writeLessonList(document, list, lessonNumber++, lesson);
    }
}

} // namespace

XmlDocument loadServiceDocument(const std::filesystem::path& file) {
    XmlDocument document = XmlDocument::load(file);
    const XmlNode root = document.root();
    if (root.firstChildElement("SALIDAS").isNull()) {
        throw Error("The document " + file.string() + " has no SALIDAS element under its root " +
                    root.name() + "; it is not a Sauce service document.");
    }
    return document;
}

void writeResults(XmlDocument& document, const Timetable& timetable) {
    XmlNode salidas = replaceSalidas(document);
    writeStatusBlock(document, salidas, timetable.teacherRecordCount);
    int teacherNumber = 1;
    for (const Teacher& teacher : timetable.teachers) {
        writeTeacherList(document, salidas, teacherNumber++, teacher, timetable);
    }
}

} // namespace velmora
