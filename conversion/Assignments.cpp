#include "conversion/Builders.h"
#include "formats/ExchangeTables.h"
#include "formats/ServiceDocument.h"
#include "services/Error.h"
#include "services/Text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace velmora {

namespace {

// What an assignment row takes from GRUPOST.
struct Group {
    std::string code;
    std::string level;
    std::string course;
    std::string letter;
};

// GRUPOST's groups by the key of their course, each list in stored order.
using GroupsByCourse = std::unordered_map<std::string, std::vector<Group>>;

// The COD of the first ASIGNOMT row (stored order) that carries each task key.
using TaskCodes = std::unordered_map<std::string, std::string>;

// The timetable program writes up to 13 sessions one by one; beyond that the first
// position counts the sessions that do not fit.
constexpr std::int64_t kMaxListedSessions = 13;

GroupsByCourse readGroupsByCourse(Table& groups) {
    GroupsByCourse byCourse;
    for (groups.first(); !groups.eof(); groups.next()) {
        byCourse[groups.readText("CLAVECURSO")].push_back(Group{
            .code = groups.readText("ABREV"),
            .level = groups.readText("NIVEL"),
            .course = groups.readText("CURSO"),
            .letter = groups.readText("GRUPO"),
        });
    }
    return byCourse;
}

TaskCodes readTaskCodes(Table& catalogue) {
    TaskCodes codes;
    for (catalogue.first(); !catalogue.eof(); catalogue.next()) {
        codes.emplace(catalogue.readText("CODTAREA"), catalogue.readText("COD"));
    }
    return codes;
}

// The weekly minutes as written in the document: an optional sign and decimal digits, or
// nothing at all (read as 0).
std::int64_t readMinutes(const std::string& value, std::size_t place) {
    if (value.empty()) {
        return 0;
    }
    const std::string where =
        "MATERIAS, record " + std::to_string(place) + ": the weekly minutes \"" + value + "\"";
    const bool hasSign = value.front() == '+' || value.front() == '-';
    const auto digitsBegin = value.begin() + (hasSign ? 1 : 0);
    const bool wellFormed =
        digitsBegin != value.end() &&
        std::all_of(digitsBegin, value.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!wellFormed) {
        throw Error(where + " are not a whole number.");
    }
    // from_chars takes a minus sign but not a plus sign.
    const char* first = value.data() + (value.front() == '+' ? 1 : 0);
    std::int32_t minutes = 0;
    const auto result = std::from_chars(first, value.data() + value.size(), minutes);
    if (result.ec != std::errc()) {
        throw Error(where + " are too large a number.");
    }
    return minutes;
}

// Minutes rounded up to whole hours; every subject is given at least one hour.
std::int64_t weeklyHours(std::int64_t minutes) {
    const std::int64_t roundedUp = minutes > 0 ? (minutes + 59) / 60 : minutes / 60;
    return std::max<std::int64_t>(roundedUp, 1);
}

std::string sessionPattern(std::int64_t hours) {
    if (hours <= kMaxListedSessions) {
        return std::string(static_cast<std::size_t>(hours), '1');
    }
    return std::to_string(hours - kMaxListedSessions) +
           std::string(static_cast<std::size_t>(kMaxListedSessions), '1');
}

// Library and duty periods are booked against their own tasks; every other subject against
// the ordinary teaching task.
std::string taskKeyFor(const std::string& subjectName) {
    const std::string name = text::asciiUpper(subjectName);
    if (name.find("BIBLIO") != std::string::npos) {
        return "286";
    }
    if (name.find("GUARD") != std::string::npos) {
        return "281";
    }
    return "156";
}

} // namespace

void CargarAsignaciones(ConversionContext& context) {
    createTable(context.folder, tables::ASIGT);
    Table assignments = openTable(context.folder, tables::ASIGT.name, OpenMode::Shared);
    Table groupTable = openTable(context.folder, tables::GRUPOST.name, OpenMode::Exclusive);
    Table catalogue = openTable(context.folder, tables::ASIGNOMT.name, OpenMode::Exclusive);
    const GroupsByCourse groupsByCourse = readGroupsByCourse(groupTable);
    const TaskCodes taskCodes = readTaskCodes(catalogue);

    const auto subjects = sectionRecords(context.document, "MATERIAS");
    for (std::size_t index = 0; index < subjects.size(); ++index) {
        const SauceRecord& subject = subjects[index];
        if (subject.valueCount() < 2) {
            continue;
        }
        const std::string subjectKey = subject.value(0);
        const std::string name = subject.value(1);
        const std::string code = subject.value(2);
        const std::string courseKey = subject.value(3);

        // A wrong minutes value is reported even for a subject whose course has no groups
        // yet: the school would otherwise only learn of it when a group is added.
        const std::int64_t hours = weeklyHours(readMinutes(subject.value(4), index + 1));
        const auto groups = groupsByCourse.find(courseKey);
        if (groups == groupsByCourse.end()) {
            continue;
        }
        const auto task = taskCodes.find(taskKeyFor(name));
        const std::string taskCode = task != taskCodes.end() ? task->second : std::string();

        for (const Group& group : groups->second) {
            assignments.append();
            assignments.writeText("CASIG", code);
            assignments.writeText("CGRUP", group.code);
            assignments.writeText("CAULA", "");
            assignments.writeText("TURNO", "");
            assignments.writeText("NIVEL", group.level);
            assignments.writeText("CURSO", group.course);
            assignments.writeText("GRUPO", group.letter);
            assignments.writeFloat("HORAS", static_cast<double>(hours));
            assignments.writeText("SESIONES", sessionPattern(hours));
            assignments.writeText("CLAVE", subjectKey);
            assignments.writeText("CLAVECURSO", courseKey);
            assignments.writeText("CTAREA", taskCode);
            assignments.post();
        }
    }

    assignments.close();
    groupTable.close();
    catalogue.close();
}

} // namespace velmora
