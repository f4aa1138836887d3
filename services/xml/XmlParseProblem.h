#pragma once

#include "services/Error.h"

#include <cstddef>
#include <filesystem>
#include <string_view>

struct _xmlError;

// Shared by the XML service's files; not part of its interface.
namespace velmora::xmlparse {

// What the parser reported, kept as data: its own text is English and names options the user
// cannot set, so only what a message can be made of is taken from it.
class ParseProblem {
public:
    // Every report of the parse goes through here. The first fatal error decides the reason and
    // the position; a decoding failure has no position of its own, and the next report gives
    // it, since the parser stops where the decoded text ends.
    void note(const _xmlError& error);

    bool found() const { return found_; }

    // The error for a document that did not parse.
    Error error(std::string_view xml, const std::filesystem::path& file) const;

private:
    struct Position {
        std::size_t line = 0;
        std::size_t column = 0;
    };
    bool found_ = false;
    int code_ = 0;
    Position position_;
    bool tooDeep_ = false;
    bool notUtf8_ = false;
    bool strayAmpersand_ = false;
    // The first error below fatal, for a parse that reported no fatal one.
    int fallbackCode_ = 0;
    Position fallbackPosition_;
};

} // namespace velmora::xmlparse
