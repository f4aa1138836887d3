#include "cli/RunReport.h"

#include "services/files/FileSystem.h"

#include <nlohmann/json.hpp>

namespace velmora::cli {

namespace {

using Json = nlohmann::ordered_json;

// A note with the details it carries; a detail a kind does not use is left out.
Json noteJson(const Note& note) {
    Json json{{"kind", noteKindName(note.kind)}};
    const auto add = [&json](const char* name, const std::string& value) {
        if (!value.empty()) {
            json[name] = value;
        }
    };
    add("table", note.table);
    add("section", note.section);
    if (note.record != 0) {
        json["record"] = note.record;
    }
    add("field", note.field);
    add("value", note.value);
    add("stored", note.stored);
    add("code", note.code);
    add("before", note.before);
    add("after", note.after);
    add("reason", note.reason);
    if (note.repeats != 0) {
        json["repeats"] = note.repeats;
    }
    return json;
}

Json notesJson(const RunNotes& notes) {
    Json list = Json::array();
    for (const Note& note : notes.all()) {
        list.push_back(noteJson(note));
    }
    return list;
}

// Texts a document or table gave may hold bytes that are not UTF-8 (a table's own code page
// read wrongly, say): they are replaced rather than stopping the report.
std::string text(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace

std::string conversionReport(const std::filesystem::path& document,
                             const ConversionSummary& summary) {
    Json tables = Json::object();
    for (const auto& [table, rows] : summary.rowsPerTable) {
        tables[table] = rows;
    }
    Json changes = Json::object();
    for (const TableChange& change : summary.changes) {
        changes[change.table] = {{"added", change.added}, {"removed", change.removed}};
    }
    return text({{"run", "convert"},
                 {"document", pathToUtf8(document)},
                 {"tables", tables},
                 {"changes", changes},
                 {"notes", notesJson(summary.notes)}});
}

std::string resultsReport(const std::filesystem::path& document,
                          const std::filesystem::path& result, std::size_t lessons,
                          const RunNotes& notes) {
    return text({{"run", "results"},
                 {"document", pathToUtf8(document)},
                 {"result", pathToUtf8(result)},
                 {"lessons", lessons},
                 {"notes", notesJson(notes)}});
}

} // namespace velmora::cli
