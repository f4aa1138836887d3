#pragma once

#include "services/Error.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Shared by the input limits; not part of the XML service's interface.
namespace velmora::xmlscan {

struct MarkupExcess {
    // Markup that would make the parser slow, or a text between two pieces of markup longer
    // than any value.
    enum class What { Markup, Text };
    What what;
    ErrorReason reason; // for markup: which count went over its limit
    std::size_t line;   // where the tag, declaration or text that went over starts
    std::uint64_t limit;
};

// One linear pass over the text (as scanText gives it) that finds what would make the parser
// slow: libxml2 checks each attribute of a tag against all the others before it, and each
// attribute default declared for an element against all of that element's attributes, every
// time the element appears. And a text longer than xmllimits::kMaxTextBytes between two '<':
// no value is that long, and a tree would refuse it where a stream would not.
//
// The counts are upper bounds of what the parser will see, whatever the text: every "<" not
// followed by '!', '?' or '/' is taken as a start tag, even inside a comment, a CDATA section or
// an instruction, because after an error the parser may read on from there as content; a tag
// ends at a '>' outside its quoted values or at the next '<', which the parser never reads past
// within a tag either; and each '=' in it counts as an attribute.
std::optional<MarkupExcess> findExcessiveMarkup(std::string_view text);

} // namespace velmora::xmlscan
