#include "conversion/Builders.h"
#include "services/text/Text.h"

#include <unordered_map>

namespace velmora {

namespace {

using tables::CURSOST;
using tables::GRUPOST;

// What a group takes from its course, as CURSOST holds it.
struct Course {
    std::string level;
    std::string course;
    std::string description;
};

// Courses by key, as CURSOST gives them back: the key as stored (cut to its field) decides the
// match, and of two courses with one key the first in stored order wins.
using CoursesByKey = std::unordered_map<std::string, Course>;

void appendCourses(NewTable<CURSOST>& courses, const ConversionContext::Records& records) {
    for (const SauceRecord& record : records) {
        const std::string_view level = record.value(3);
        auto row = courses.append();
        row.setText(CURSOST::CLAVE, record.value(0));
        row.setText(CURSOST::NIVEL, level.empty() ? std::string_view("NIV") : level);
        row.setText(CURSOST::CURSO, record.value(4));
        row.setText(CURSOST::DESCRICUR, record.value(1));
    }
}

CoursesByKey coursesByKey(const NewTable<CURSOST>& courses) {
    CoursesByKey byKey;
    for (std::size_t row = 0; row < courses.size(); ++row) {
        byKey.emplace(courses.text(row, CURSOST::CLAVE),
                      Course{.level = courses.text(row, CURSOST::NIVEL),
                             .course = courses.text(row, CURSOST::CURSO),
                             .description = courses.text(row, CURSOST::DESCRICUR)});
    }
    return byKey;
}

void appendGroups(ConversionContext& context, const ConversionContext::Records& records,
                  const CoursesByKey& courses) {
    CodeList issuedCodes;
    for (const SauceRecord& record : records) {
        const std::string key(record.value(0));
        const std::string_view name = record.value(1);
        const std::string courseKey(record.value(2));

        const auto found = courses.find(courseKey);
        const Course course = found != courses.end() ? found->second : Course{};
        // The letter is the name's own last character, whatever the code keeps of the name.
        const std::string letter = text::lastChar(name);
        auto& groups = context.tables.grupost;
        const std::string code = context.shortCode(name, issuedCodes, GRUPOST::layout,
                                                   groups.size() + 1, nameOf(GRUPOST::ABREV));

        auto row = groups.append();
        row.setText(GRUPOST::ABREV, code);
        row.setText(GRUPOST::TURNO, "");
        row.setText(GRUPOST::NIVEL, course.level);
        row.setText(GRUPOST::CURSO, course.course);
        row.setText(GRUPOST::GRUPO, letter);
        row.setText(GRUPOST::DESCRIP, "(" + key + ") " + course.description);
        row.setText(GRUPOST::MARCO, "0");
        row.setText(GRUPOST::CLAVE, key);
        row.setText(GRUPOST::CLAVECURSO, courseKey);
    }
}

} // namespace

void CargarCursosGrupos(ConversionContext& context) {
    context.tables.cursost.clear();
    context.tables.grupost.clear();
    appendCourses(context.tables.cursost, context.usableRecords("CURSOS"));
    appendGroups(context, context.usableRecords("GRUPOS"), coursesByKey(context.tables.cursost));
}

} // namespace velmora
