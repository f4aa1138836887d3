#include "support/ErrorChecks.h"

#include "services/files/FileSystem.h"

namespace velmora {

void PrintTo(ErrorKind kind, std::ostream* out) {
    *out << kindName(kind);
}

void PrintTo(ErrorReason reason, std::ostream* out) {
    *out << (reason == ErrorReason::None ? "none" : reasonName(reason));
}

} // namespace velmora

namespace velmora::testing {

namespace {

std::string shown(const std::filesystem::path& path) {
    return pathToUtf8(path);
}
std::string shown(const std::string& text) {
    return "\"" + text + "\"";
}
std::string shown(ErrorReason reason) {
    return ::testing::PrintToString(reason);
}
std::string shown(std::uint64_t number) {
    return std::to_string(number);
}
std::string shown(const std::vector<std::string>& texts) {
    return ::testing::PrintToString(texts);
}

// Adds a line to `mismatches` when a field given differs from the error's.
template <class Wanted, class Actual>
void compare(std::string& mismatches, const char* name, const std::optional<Wanted>& wanted,
             const Actual& actual) {
    if (wanted && !(*wanted == actual)) {
        mismatches += std::string("\n  ") + name + ": expected " + shown(*wanted) + ", got " +
                      shown(static_cast<Wanted>(actual));
    }
}

} // namespace

::testing::AssertionResult isError(const Error& error, ErrorKind kind, const ErrorNames& names) {
    if (error.kind() != kind) {
        return ::testing::AssertionFailure()
               << "expected an error of kind " << kindName(kind) << ", got " << error.what();
    }
    const ErrorDetails& d = error.details();
    std::string mismatches;
    compare(mismatches, "file", names.file, d.file);
    compare(mismatches, "table", names.table, d.table);
    compare(mismatches, "section", names.section, d.section);
    compare(mismatches, "record", names.record, d.record);
    compare(mismatches, "field", names.field, d.field);
    compare(mismatches, "item", names.item, d.item);
    compare(mismatches, "value", names.value, d.value);
    compare(mismatches, "expected", names.expected, d.expected);
    compare(mismatches, "line", names.line, d.line);
    compare(mismatches, "column", names.column, d.column);
    compare(mismatches, "reason", names.reason, d.reason);
    if (names.system && d.system != *names.system) {
        mismatches += "\n  system: expected " + std::make_error_code(*names.system).message() +
                      ", got " + d.system.message();
    }
    if (names.cause && d.cause != names.cause) {
        mismatches += std::string("\n  cause: expected ") + kindName(*names.cause) + ", got " +
                      (d.cause ? kindName(*d.cause) : "none");
    }
    compare(mismatches, "count", names.count, d.count);
    compare(mismatches, "limit", names.limit, d.limit);
    compare(mismatches, "choices", names.choices, d.choices);
    if (!mismatches.empty()) {
        return ::testing::AssertionFailure() << error.what() << mismatches;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult isError(const std::optional<Error>& error, ErrorKind kind,
                                   const ErrorNames& names) {
    if (!error) {
        return ::testing::AssertionFailure()
               << "expected an error of kind " << kindName(kind) << ", got none";
    }
    return isError(*error, kind, names);
}

} // namespace velmora::testing
