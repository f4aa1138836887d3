#include "conversion/Builders.h"
#include "conversion/ShortCode.h"
#include "formats/ExchangeTables.h"
#include "formats/ServiceDocument.h"
#include "services/Text.h"

#include <unordered_map>

namespace velmora {

namespace {

// What a group takes from its course, as CURSOST holds it.
struct Course {
    std::string level;
    std::string course;
    std::string description;
};

// Courses by key, as read back from CURSOST: the key as stored (cut to its field) decides
// the match, and of two courses with one key the first in stored order wins.
using CoursesByKey = std::unordered_map<std::string, Course>;

void appendCourses(Table& courses, const std::vector<SauceRecord>& records) {
    for (const SauceRecord& record : records) {
        if (record.valueCount() < 2) {
            continue;
        }
        const std::string level = record.value(3);
        courses.append();
        courses.writeText("CLAVE", record.value(0));
        courses.writeText("NIVEL", level.empty() ? "NIV" : level);
        courses.writeText("CURSO", record.value(4));
        courses.writeText("DESCRICUR", record.value(1));
        courses.post();
    }
}

CoursesByKey readCourses(Table& courses) {
    CoursesByKey byKey;
    for (courses.first(); !courses.eof(); courses.next()) {
        byKey.emplace(courses.readText("CLAVE"),
                      Course{.level = courses.readText("NIVEL"),
                             .course = courses.readText("CURSO"),
                             .description = courses.readText("DESCRICUR")});
    }
    return byKey;
}

void appendGroups(Table& groups, const std::vector<SauceRecord>& records,
                  const CoursesByKey& courses) {
    CodeList issuedCodes;
    for (const SauceRecord& record : records) {
        if (record.valueCount() < 2) {
            continue;
        }
        const std::string key = record.value(0);
        const std::string name = record.value(1);
        const std::string courseKey = record.value(2);

        const auto found = courses.find(courseKey);
        const Course course = found != courses.end() ? found->second : Course{};
        // The letter is the name's own last character, whatever the code keeps of the name.
        const std::string letter = text::lastChar(name);
        const std::string code = makeShortCode(name, issuedCodes);

        groups.append();
        groups.writeText("ABREV", code);
        groups.writeText("TURNO", "");
        groups.writeText("NIVEL", course.level);
        groups.writeText("CURSO", course.course);
        groups.writeText("GRUPO", letter);
        groups.writeText("DESCRIP", "(" + key + ") " + course.description);
        groups.writeText("MARCO", "0");
        groups.writeText("CLAVE", key);
        groups.writeText("CLAVECURSO", courseKey);
        groups.post();
    }
}

} // namespace

void CargarCursosGrupos(ConversionContext& context) {
    createTable(context.folder, tables::CURSOST);
    createTable(context.folder, tables::GRUPOST);

    Table courses = openTable(context.folder, tables::CURSOST.name, OpenMode::Shared);
    appendCourses(courses, sectionRecords(context.document, "CURSOS"));
    const CoursesByKey coursesByKey = readCourses(courses);

    Table groups = openTable(context.folder, tables::GRUPOST.name, OpenMode::Shared);
    appendGroups(groups, sectionRecords(context.document, "GRUPOS"), coursesByKey);
    groups.close();
    courses.close();
}

} // namespace velmora
