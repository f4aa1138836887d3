#include "results/ResultDocument.h"

#include "formats/ServiceSections.h"
#include "services/Error.h"

#include <string>

namespace velmora {

namespace {

// How the document lays out its elements around SALIDAS: a document written on one line stays
// so; otherwise every new element gets a line of its own, indented by SALIDAS's indentation
// and one step more for each level, the step being the one the old SALIDAS used.
class Layout {
public:
    static Layout of(const NewSalidas& salidas) {
        const std::string& before = salidas.blankBefore;
        const auto lineBreak = before.rfind('\n');
        if (lineBreak == std::string::npos) {
            return Layout{};
        }
        Layout layout;
        layout.lines_ = true;
        layout.indent_ = before.substr(lineBreak + 1);
        const std::string& inside = salidas.blankInside;
        const auto innerBreak = inside.rfind('\n');
        const std::string inner =
            innerBreak == std::string::npos ? layout.indent_ + "  " : inside.substr(innerBreak + 1);
        layout.step_ = inner.size() > layout.indent_.size() &&
                               inner.compare(0, layout.indent_.size(), layout.indent_) == 0
                           ? inner.substr(layout.indent_.size())
                           : std::string("  ");
        return layout;
    }

    // The break before an element `depth` levels below SALIDAS (0 for SALIDAS's end tag).
    std::string breakAt(int depth) const {
        std::string text = "\n" + indent_;
        for (int level = 0; level < depth; ++level) {
            text += step_;
        }
        return text;
    }
    bool lines() const { return lines_; }

private:
    bool lines_ = false;
    std::string indent_;
    std::string step_;
};

// Builds each block of SALIDAS (the status block, a teacher's list) as a small tree and hands it
// to the save as soon as it is complete, so that only one block stands in memory at a time.
class ResultWriter {
public:
    ResultWriter(XmlDocument& document, XmlContentStream& stream, Layout layout,
                 const StringPool& texts)
        : document_(document), stream_(stream), layout_(std::move(layout)), texts_(texts) {}

    XmlNode openBlock(const std::string& name) {
        if (layout_.lines()) {
            stream_.writeText(layout_.breakAt(1));
        }
        return document_.createElement(name);
    }

    void closeBlock(XmlNode block) {
        closeElement(block, 1);
        stream_.writeElement(block);
    }

    void closeSalidas() {
        if (layout_.lines()) {
            stream_.writeText(layout_.breakAt(0));
        }
    }

    XmlNode appendList(XmlNode parent, int depth, const std::string& seq) {
        XmlNode list = appendElement(parent, depth, "listasal");
        list.setAttribute("seq", seq);
        return list;
    }

    // A salida names its field in dato; an empty value gives a salida without text.
    void appendSalida(XmlNode parent, int depth, const std::string& dato,
                      const std::string& value) {
        XmlNode salida = appendElement(parent, depth, "salida");
        salida.setAttribute("dato", dato);
        if (!value.empty()) {
            salida.setText(value);
        }
    }

    void appendSalida(XmlNode parent, int depth, const std::string& dato, StringPool::Id value) {
        appendSalida(parent, depth, dato, texts_.text(value));
    }

    // The break before the end tag of an element `depth` levels below SALIDAS.
    void closeElement(XmlNode element, int depth) {
        if (layout_.lines()) {
            element.appendText(layout_.breakAt(depth));
        }
    }

private:
    XmlNode appendElement(XmlNode parent, int depth, const std::string& name) {
        if (layout_.lines()) {
            parent.appendText(layout_.breakAt(depth));
        }
        return parent.appendChild(document_.createElement(name));
    }

    XmlDocument& document_;
    XmlContentStream& stream_;
    Layout layout_;
    const StringPool& texts_;
};

void writeStatusBlock(ResultWriter& writer, std::size_t teacherRecordCount) {
    XmlNode error = writer.openBlock("ERROR");
    writer.appendSalida(error, 2, "CN_ERROR", "0");
    writer.appendSalida(error, 2, "TE_ERROR", "Servicio finalizado Correctamente");
    writer.appendSalida(error, 2, "REGISTROS RECUPERADOS", std::to_string(teacherRecordCount));
    writer.closeBlock(error);
}

void writeLessonList(ResultWriter& writer, XmlNode teacherList, int number,
                     const LessonValues& lesson) {
    XmlNode list = writer.appendList(teacherList, 2, "TRAMO_" + std::to_string(number));
    writer.appendSalida(list, 3, "X_ACTIVIDAD", lesson.actividad);
    writer.appendSalida(list, 3, "N_DIASEMANA", lesson.diaSemana);
    writer.appendSalida(list, 3, "X_TRAMO", lesson.tramo);
    writer.appendSalida(list, 3, "X_DEPCENTRO", lesson.depCentro);
    writer.appendSalida(list, 3, "X_MATERIAOMC", lesson.materiaOmc);
    writer.appendSalida(list, 3, "X_UNIDAD", lesson.unidad);
    writer.closeElement(list, 2);
}

void writeTeacherList(ResultWriter& writer, int number, const Teacher& teacher,
                      const Timetable& timetable) {
    XmlNode list = writer.openBlock("listasal");
    list.setAttribute("seq", "EMP_" + std::to_string(number));
    writer.appendSalida(list, 2, "X_EMPLEADO", teacher.empleado);
    writer.appendSalida(list, 2, "F_TOMAPOS", teacher.tomaPos);
    int lessonNumber = 1;
    for (const LessonValues& lesson : timetable.lessonsOf(teacher)) {
        writeLessonList(writer, list, lessonNumber++, lesson);
    }
    writer.closeBlock(list);
}

} // namespace

XmlDocument loadDocumentWithSalidas(const std::filesystem::path& file) {
    // The old SALIDAS is replaced whole: its content is never read into the tree.
    XmlDocument document = XmlDocument::load(file, serviceDocumentOutline());
    const XmlNode root = document.root();
    if (root.firstChildElement("SALIDAS").isNull()) {
        throw Error(ErrorKind::NotAServiceDocument,
                    {.file = file, .value = root.name(), .reason = ErrorReason::NoSalidas});
    }
    return document;
}

// Every SALIDAS of the root goes, not only the first: a second one left behind would carry the
// input sections into the result, where Sauce would read them as output. Each goes with the
// line break and indentation before it, so that the elements after it keep their lines; the new
// one comes after the root's other children and before the line break that closes the root.
NewSalidas replaceSalidas(XmlDocument& document) {
    XmlNode root = document.root();
    const XmlNode first = root.firstChildElement("SALIDAS");
    NewSalidas salidas{XmlNode(), first.blankBefore(), first.blankInside()};
    for (XmlNode old = first; !old.isNull(); old = root.firstChildElement("SALIDAS")) {
        old.removeBlankBefore();
        root.removeChild(old);
    }

    const std::string closing = root.blankAtEnd();
    root.removeBlankAtEnd();
    if (!salidas.blankBefore.empty()) {
        root.appendText(salidas.blankBefore);
    }
    salidas.element = root.appendChild(document.createElement("SALIDAS"));
    if (!closing.empty()) {
        root.appendText(closing);
    }
    return salidas;
}

void writeResults(XmlDocument& document, XmlContentStream& stream, const NewSalidas& salidas,
                  const Timetable& timetable) {
    ResultWriter writer(document, stream, Layout::of(salidas), timetable.texts);
    writeStatusBlock(writer, timetable.teachers.size());
    int teacherNumber = 1;
    for (const Teacher& teacher : timetable.teachers) {
        writeTeacherList(writer, teacherNumber++, teacher, timetable);
    }
    writer.closeSalidas();
}

} // namespace velmora
