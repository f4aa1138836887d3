#include "services/files/IniFile.h"

#include "services/Error.h"
#include "services/files/DocumentFile.h"
#include "services/files/WholeFile.h"
#include "services/text/Text.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

#ifdef _WIN32
constexpr std::string_view platformLineEnd = "\r\n";
#else
constexpr std::string_view platformLineEnd = "\n";
#endif

struct Line {
    std::string body;
    std::string end; // "\r\n", "\n", or empty for a last line without one
};

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        const auto newline = content.find('\n');
        if (newline == std::string_view::npos) {
            // A CR with nothing after it is a line end cut short, not part of the text: read
            // as text, "[Section]\r" would hide its section until the next write ended it.
            if (content.back() == '\r') {
                content.remove_suffix(1);
                lines.push_back({std::string(content), "\r\n"});
            } else {
                lines.push_back({std::string(content), ""});
            }
            break;
        }
        std::string_view body = content.substr(0, newline);
        std::string end = "\n";
        if (!body.empty() && body.back() == '\r') {
            body.remove_suffix(1);
            end = "\r\n";
        }
        lines.push_back({std::string(body), end});
        content.remove_prefix(newline + 1);
    }
    return lines;
}

std::string_view trimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The section a header line opens, or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view body) {
    body = trimBlanks(body);
    if (body.empty() || body.front() != '[') {
        return std::nullopt;
    }
    body.remove_prefix(1);
    return trimBlanks(body.substr(0, body.find(']')));
}

std::optional<std::string_view> keyName(std::string_view body) {
    const auto equals = body.find('=');
    if (equals == std::string_view::npos || sectionName(body)) {
        return std::nullopt;
    }
    return trimBlanks(body.substr(0, equals));
}

std::string lineEndOf(const std::vector<Line>& lines) {
    for (const auto& line : lines) {
        if (!line.end.empty()) {
            return line.end;
        }
    }
    return std::string(platformLineEnd);
}

std::string join(const std::vector<Line>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line.body;
        text += line.end;
    }
    return text;
}

bool isBlank(std::string_view body) {
    return trimBlanks(body).empty();
}

} // namespace

std::string withProfileString(std::string_view content, std::string_view section,
                              std::string_view key, std::string_view value) {
    // The mark at the start of a UTF-8 file is no part of its first line's text.
    std::string mark;
    if (content.substr(0, byteOrderMark.size()) == byteOrderMark) {
        mark = byteOrderMark;
        content.remove_prefix(byteOrderMark.size());
    }
    std::vector<Line> lines = splitLines(content);
    const std::string lineEnd = lineEndOf(lines);
    const std::string keyLine = std::string(key) + "=" + std::string(value);

    std::size_t header = 0;
    while (header < lines.size() &&
           !(sectionName(lines[header].body) &&
             text::equalsIgnoringCase(*sectionName(lines[header].body), section))) {
        ++header;
    }

    if (header == lines.size()) {
        if (!lines.empty() && lines.back().end.empty()) {
            lines.back().end = lineEnd;
        }
        lines.push_back({"[" + std::string(section) + "]", lineEnd});
        lines.push_back({keyLine, lineEnd});
        return mark + join(lines);
    }

    std::size_t lastFilled = header;
    for (std::size_t i = header + 1; i < lines.size() && !sectionName(lines[i].body); ++i) {
        const auto name = keyName(lines[i].body);
        if (name && text::equalsIgnoringCase(*name, key)) {
            lines[i].body = keyLine;
            return mark + join(lines);
        }
        if (!isBlank(lines[i].body)) {
            lastFilled = i;
        }
    }

    // A new key goes after the section's last line with text, before the blank lines that
    // separate it from the next section.
    if (lines[lastFilled].end.empty()) {
        lines[lastFilled].end = lineEnd;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastFilled) + 1, {keyLine, lineEnd});
    return mark + join(lines);
}

namespace {

// No completion file comes near this; Sauce and Horadia keep a few lines in it.
constexpr std::uint64_t kMaxIniBytes = 16 * 1024 * 1024;

std::string currentContent(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return {};
    }
    // A folder in the file's place, or a file that cannot be read, is a completion file that
    // cannot be written, not an output to choose another name for; what the system said goes
    // with it.
    try {
        return readDocumentFile(file, kMaxIniBytes);
    } catch (const Error& failure) {
        throw Error(ErrorKind::IniNotWritten, {.file = file, .system = failure.details().system});
    }
}

} // namespace

void writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    const std::string content = withProfileString(currentContent(file), section, key, value);
    FileDraft draft(file, ErrorKind::IniNotWritten);
    draft.keepTargetPermissions();
    draft.write(content);
    draft.finish();
    draft.putInPlace();
}

} // namespace velmora
