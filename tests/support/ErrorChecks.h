#pragma once

#include "services/Error.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace velmora {

// gtest shows kinds and refinements by name.
void PrintTo(ErrorKind kind, std::ostream* out);
void PrintTo(ErrorReason reason, std::ostream* out);

} // namespace velmora

namespace velmora::testing {

// What an expected Error names. Only the fields given are compared with the error's details.
struct ErrorNames {
    std::optional<std::filesystem::path> file;
    std::optional<std::string> table;
    std::optional<std::string> section;
    std::optional<std::size_t> record;
    std::optional<std::string> field;
    std::optional<std::string> item;
    std::optional<std::string> value;
    std::optional<std::string> expected;
    std::optional<std::size_t> line;
    std::optional<std::size_t> column;
    std::optional<ErrorReason> reason;
    std::optional<std::errc> system; // compared as a condition, so that it holds on both systems
    std::optional<ErrorKind> cause;
    std::optional<std::uint64_t> count;
    std::optional<std::uint64_t> limit;
    std::optional<std::vector<std::string>> choices;
};

// Whether the error is of this kind and names what is given.
::testing::AssertionResult isError(const Error& error, ErrorKind kind,
                                   const ErrorNames& names = {});
::testing::AssertionResult isError(const std::optional<Error>& error, ErrorKind kind,
                                   const ErrorNames& names = {});

// The Error the call threw, or nothing when it returned. Any other exception goes on.
template <class Call> std::optional<Error> errorFrom(Call&& call) {
    try {
        std::forward<Call>(call)();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

// Whether the call fails with an Error of this kind that names what is given:
//   EXPECT_TRUE(failsWith([&] { open(file); }, ErrorKind::TableInUse, {.table = "PROFT"}));
template <class Call>
::testing::AssertionResult failsWith(Call&& call, ErrorKind kind, const ErrorNames& names = {}) {
    try {
        std::forward<Call>(call)();
    } catch (const Error& error) {
        return isError(error, kind, names);
    } catch (const std::exception& other) {
        return ::testing::AssertionFailure() << "threw another exception: " << other.what();
    }
    return ::testing::AssertionFailure() << "returned without an error";
}

} // namespace velmora::testing
