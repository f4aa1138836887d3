#include "conversion/Builders.h"
#include "services/Error.h"
#include "services/text/Text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace velmora {

namespace {

using tables::ASIGNOMT;
using tables::ASIGT;
using tables::GRUPOST;

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

GroupsByCourse groupsByCourse(const NewTable<GRUPOST>& groups) {
    GroupsByCourse byCourse;
    for (std::size_t row = 0; row < groups.size(); ++row) {
        byCourse[groups.text(row, GRUPOST::CLAVECURSO)].push_back(Group{
            .code = groups.text(row, GRUPOST::ABREV),
            .level = groups.text(row, GRUPOST::NIVEL),
            .course = groups.text(row, GRUPOST::CURSO),
            .letter = groups.text(row, GRUPOST::GRUPO),
        });
    }
    return byCourse;
}

TaskCodes taskCodes(const NewTable<ASIGNOMT>& catalogue) {
    TaskCodes codes;
    for (std::size_t row = 0; row < catalogue.size(); ++row) {
        codes.emplace(catalogue.text(row, ASIGNOMT::CODTAREA), catalogue.text(row, ASIGNOMT::COD));
    }
    return codes;
}

// The subject's weekly minutes as written in the document: an optional sign and decimal
// digits, or nothing at all (read as 0).
std::int64_t readMinutes(const SauceRecord& subject) {
    const std::string_view value = subject.value(4);
    if (value.empty()) {
        return 0;
    }
    const auto bad = [&](ErrorReason reason) {
        return Error(ErrorKind::BadMinutes, {.section = "MATERIAS",
                                             .record = subject.position(),
                                             .field = "minutos",
                                             .item = std::string(subject.value(2)) + " (" +
                                                     std::string(subject.value(1)) + ")",
                                             .value = std::string(value),
                                             .reason = reason});
    };
    const bool hasSign = value.front() == '+' || value.front() == '-';
    const auto digitsBegin = value.begin() + (hasSign ? 1 : 0);
    const bool wellFormed =
        digitsBegin != value.end() &&
        std::all_of(digitsBegin, value.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!wellFormed) {
        throw bad(ErrorReason::NotANumber);
    }
    // from_chars takes a minus sign but not a plus sign.
    const char* first = value.data() + (value.front() == '+' ? 1 : 0);
    std::int32_t minutes = 0;
    const auto result = std::from_chars(first, value.data() + value.size(), minutes);
    if (result.ec != std::errc()) {
        throw bad(ErrorReason::NumberTooLarge);
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
std::string taskKeyFor(std::string_view subjectName) {
    const std::string name = text::asciiUpper(subjectName);
    if (name.find("BIBLIO") != std::string::npos) {
        return "286";
    }
    if (name.find("GUARD") != std::string::npos) {
        return "281";
    }
    return "156";
}

// A subject whose course has no groups gives no row, so its minutes are used nowhere: wrong
// ones cannot stop the run, but the school hears of them before the course gets a group.
void noteUnusedMinutes(ConversionContext& context, const SauceRecord& subject) {
    try {
        readMinutes(subject);
    } catch (const Error& error) {
        context.notes.add({.kind = NoteKind::MinutesUnused,
                           .section = "MATERIAS",
                           .record = subject.position(),
                           .value = error.details().value});
    }
}

} // namespace

void CargarAsignaciones(ConversionContext& context) {
    auto& assignments = context.tables.asigt;
    assignments.clear();
    const GroupsByCourse groups = groupsByCourse(context.tables.grupost);
    const TaskCodes tasks = taskCodes(context.tables.asignomt);

    for (const SauceRecord& subject : context.usableRecords("MATERIAS")) {
        const std::string_view subjectKey = subject.value(0);
        const std::string_view name = subject.value(1);
        const std::string_view code = subject.value(2);
        const std::string courseKey(subject.value(3));

        const auto courseGroups = groups.find(courseKey);
        if (courseGroups == groups.end()) {
            noteUnusedMinutes(context, subject);
            continue;
        }
        const std::int64_t hours = weeklyHours(readMinutes(subject));
        const std::string sessions = sessionPattern(hours);
        const auto task = tasks.find(taskKeyFor(name));
        const std::string taskCode = task != tasks.end() ? task->second : std::string();

        for (const Group& group : courseGroups->second) {
            auto row = assignments.append();
            row.setText(ASIGT::CASIG, code);
            row.setText(ASIGT::CGRUP, group.code);
            row.setText(ASIGT::CAULA, "");
            row.setText(ASIGT::TURNO, "");
            row.setText(ASIGT::NIVEL, group.level);
            row.setText(ASIGT::CURSO, group.course);
            row.setText(ASIGT::GRUPO, group.letter);
            row.setFloat(ASIGT::HORAS, static_cast<double>(hours));
            row.setText(ASIGT::SESIONES, sessions);
            row.setText(ASIGT::CLAVE, subjectKey);
            row.setText(ASIGT::CLAVECURSO, courseKey);
            row.setText(ASIGT::CTAREA, taskCode);
        }
    }
}

} // namespace velmora
