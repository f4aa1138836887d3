#include "cli/RunReport.h"
#include "services/files/FileSystem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

// Other programs read the report: it is written as it always was, the layout of nlohmann's
// dump of the whole report with an indent of two, however it is made now.
namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;

Json noteJson(const Note& note) {
    Json json{{"kind", noteKindName(note.kind)}};
    const auto add = [&json](const char* name, std::string_view value) {
        if (!value.empty()) {
            json[name] = std::string(value);
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
    for (const Note& note : notes) {
        list.push_back(noteJson(note));
    }
    return list;
}

std::string dumped(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

// Texts as documents and tables give them: accents, quotes, backslashes, control characters,
// and bytes that are not UTF-8 at all (a table's code page read wrongly).
RunNotes awkwardNotes() {
    RunNotes notes;
    notes.add({.kind = NoteKind::CodeNumbered,
               .table = "PROFT",
               .record = 2,
               .field = "ABREV",
               .value = "GARCÍA \"el\" C:\\aula",
               .code = "GARCÍA1"});
    notes.addOrRepeat({.kind = NoteKind::TextCut,
                       .table = "DIASHORAST",
                       .record = 8,
                       .field = "TEXTOHOR",
                       .value = "Tab\tsalto\nretorno\r\x01\x1f\x7f fin",
                       .stored = "Tab\tsalto"});
    notes.addOrRepeat({.kind = NoteKind::TextCut,
                       .table = "DIASHORAST",
                       .record = 9,
                       .field = "TEXTOHOR",
                       .value = "Tab\tsalto\nretorno\r\x01\x1f\x7f fin",
                       .stored = "Tab\tsalto"});
    notes.add({.kind = NoteKind::CharactersReplaced,
               .table = "PROFT",
               .record = 1,
               .field = "NOMBRE",
               .value = "Pe\xf1"
                        "alver \xc3",
               .stored = "\xff\xfe \xe2\x82"});
    notes.add({.kind = NoteKind::RecordSkipped,
               .section = "MATERIAS",
               .record = 5,
               .value = "mat",
               .code = "MAT",
               .before = "Matemáticas",
               .after = "Matemáticas II",
               .reason = "repeated-code"});
    notes.add({.kind = NoteKind::CodeMoved,
               .table = "PROFT",
               .code = "PEREZ",
               .before = "E1 (Ana Pérez)",
               .after = "E0 (Luis Pérez) 𝄞"});
    notes.add(
        {.kind = NoteKind::LessonNotPlaced, .table = "SOLUC", .record = 8, .reason = "no-day"});
    return notes;
}

TEST(ReportFormat, aConversionReportIsWrittenAsItAlwaysWas) {
    ConversionSummary summary;
    summary.rowsPerTable = {{"ASIGNOMT", 3}, {"PROFT", 0}, {"AULAT", 12}};
    summary.changes = {{"PROFT", 1, 0}, {"AULAT", 0, 2}};
    summary.notes = awkwardNotes();
    const auto document = pathFromUtf8("/tmp/horario-año \"nuevo\".xml");

    Json tables = Json::object();
    for (const auto& [table, rows] : summary.rowsPerTable) {
        tables[table] = rows;
    }
    Json changes = Json::object();
    for (const TableChange& change : summary.changes) {
        changes[change.table] = {{"added", change.added}, {"removed", change.removed}};
    }
    EXPECT_EQ(conversionReport(document, summary), dumped({{"run", "convert"},
                                                           {"document", pathToUtf8(document)},
                                                           {"tables", tables},
                                                           {"changes", changes},
                                                           {"notes", notesJson(summary.notes)}}));
}

TEST(ReportFormat, emptyListsAreWrittenAsItAlwaysWas) {
    ConversionSummary summary;
    summary.rowsPerTable = {{"ASIGNOMT", 0}};
    const auto document = pathFromUtf8("sauce.xml");
    EXPECT_EQ(conversionReport(document, summary), dumped({{"run", "convert"},
                                                           {"document", "sauce.xml"},
                                                           {"tables", {{"ASIGNOMT", 0}}},
                                                           {"changes", Json::object()},
                                                           {"notes", Json::array()}}));
    ConversionSummary none;
    EXPECT_EQ(conversionReport(document, none), dumped({{"run", "convert"},
                                                        {"document", "sauce.xml"},
                                                        {"tables", Json::object()},
                                                        {"changes", Json::object()},
                                                        {"notes", Json::array()}}));
}

TEST(ReportFormat, aResultsReportIsWrittenAsItAlwaysWas) {
    const RunNotes notes = awkwardNotes();
    const auto document = pathFromUtf8("C:/sauce/export.xml");
    const auto result = pathFromUtf8("C:/sauce/ResultadoHoradiaexport.xml");
    EXPECT_EQ(resultsReport(document, result, 1234, notes),
              dumped({{"run", "results"},
                      {"document", pathToUtf8(document)},
                      {"result", pathToUtf8(result)},
                      {"lessons", 1234},
                      {"notes", notesJson(notes)}}));
}

} // namespace
} // namespace velmora::cli
