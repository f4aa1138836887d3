#include "cli/RunReport.h"

#include "services/files/FileSystem.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string_view>
#include <vector>

namespace velmora::cli {

namespace {

// JSON laid out as nlohmann's dump with an indent of two writes it, written as it is made: a
// report holds every note of a run, and a second copy of them as a tree would cost more than
// the run itself.
class PrettyJson {
public:
    explicit PrettyJson(std::ostream& out) : out_(out) {}

    void beginObject() { begin('{'); }
    void endObject() { end('}'); }
    void beginArray() { begin('['); }
    void endArray() { end(']'); }

    // The name of an object's next member; its value follows.
    void name(std::string_view name) {
        nextItem();
        text(name);
        out_ << ": ";
        named_ = true;
    }

    void value(std::string_view value) {
        itemUnlessNamed();
        text(value);
    }
    void value(std::uint64_t value) {
        itemUnlessNamed();
        out_ << value;
    }
    void value(std::int64_t value) {
        itemUnlessNamed();
        out_ << value;
    }

private:
    void begin(char bracket) {
        itemUnlessNamed();
        out_ << bracket;
        empty_.push_back(true);
    }

    void end(char bracket) {
        const bool empty = empty_.back();
        empty_.pop_back();
        if (!empty) {
            out_ << '\n' << std::string(2 * empty_.size(), ' ');
        }
        out_ << bracket;
    }

    void itemUnlessNamed() {
        if (named_) {
            named_ = false;
        } else if (!empty_.empty()) {
            nextItem();
        }
    }

    void nextItem() {
        out_ << (empty_.back() ? "\n" : ",\n") << std::string(2 * empty_.size(), ' ');
        empty_.back() = false;
    }

    // Texts a document or table gave may hold bytes that are not UTF-8 (a table's own code page
    // read wrongly, say): they are replaced rather than stopping the report. Plain text, most
    // of what a school writes, needs no escaping.
    void text(std::string_view text) {
        const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
            return c >= 0x20 && c < 0x7f && c != '"' && c != '\\';
        });
        if (plain) {
            out_ << '"' << text << '"';
            return;
        }
        out_ << nlohmann::json(std::string(text))
                    .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }

    std::ostream& out_;
    std::vector<bool> empty_; // for each open object or array, whether it has no item yet
    bool named_ = false;
};

// A note with the details it carries; a detail a kind does not use is left out.
void writeNote(PrettyJson& json, const Note& note) {
    json.beginObject();
    const auto add = [&json](const char* name, std::string_view value) {
        if (!value.empty()) {
            json.name(name);
            json.value(value);
        }
    };
    add("kind", noteKindName(note.kind));
    add("table", note.table);
    add("section", note.section);
    if (note.record != 0) {
        json.name("record");
        json.value(std::uint64_t{note.record});
    }
    add("field", note.field);
    add("value", note.value);
    add("stored", note.stored);
    add("code", note.code);
    add("before", note.before);
    add("after", note.after);
    add("reason", note.reason);
    if (note.repeats != 0) {
        json.name("repeats");
        json.value(std::uint64_t{note.repeats});
    }
    json.endObject();
}

void writeNotes(PrettyJson& json, const RunNotes& notes) {
    json.name("notes");
    json.beginArray();
    for (const Note& note : notes) {
        writeNote(json, note);
    }
    json.endArray();
}

void writeRun(PrettyJson& json, const char* run, const std::filesystem::path& document) {
    json.name("run");
    json.value(run);
    json.name("document");
    json.value(pathToUtf8(document));
}

template <typename Write> std::string written(Write write) {
    std::ostringstream text;
    write(text);
    return std::move(text).str();
}

} // namespace

void writeConversionReport(std::ostream& out, const std::filesystem::path& document,
                           const ConversionSummary& summary) {
    PrettyJson json(out);
    json.beginObject();
    writeRun(json, "convert", document);
    json.name("tables");
    json.beginObject();
    for (const auto& [table, rows] : summary.rowsPerTable) {
        json.name(table);
        json.value(std::int64_t{rows});
    }
    json.endObject();
    json.name("changes");
    json.beginObject();
    for (const TableChange& change : summary.changes) {
        json.name(change.table);
        json.beginObject();
        json.name("added");
        json.value(std::uint64_t{change.added});
        json.name("removed");
        json.value(std::uint64_t{change.removed});
        json.endObject();
    }
    json.endObject();
    writeNotes(json, summary.notes);
    json.endObject();
    out << '\n';
}

void writeResultsReport(std::ostream& out, const std::filesystem::path& document,
                        const std::filesystem::path& result, std::size_t lessons,
                        const RunNotes& notes) {
    PrettyJson json(out);
    json.beginObject();
    writeRun(json, "results", document);
    json.name("result");
    json.value(pathToUtf8(result));
    json.name("lessons");
    json.value(std::uint64_t{lessons});
    writeNotes(json, notes);
    json.endObject();
    out << '\n';
}

std::string conversionReport(const std::filesystem::path& document,
                             const ConversionSummary& summary) {
    return written([&](std::ostream& out) { writeConversionReport(out, document, summary); });
}

std::string resultsReport(const std::filesystem::path& document,
                          const std::filesystem::path& result, std::size_t lessons,
                          const RunNotes& notes) {
    return written(
        [&](std::ostream& out) { writeResultsReport(out, document, result, lessons, notes); });
}

} // namespace velmora::cli
