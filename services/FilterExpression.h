#pragma once

#include <string>
#include <string_view>

namespace velmora {

// An equality filter on one field: the records whose field, read back as text, is exactly the
// value (whole and case-sensitive).
struct EqualityFilter {
    std::string field;
    std::string value;
};

// Parses "FIELD= 'value'": a field name, '=', one blank and the value in single quotes with
// any quote inside it doubled. Anything else is refused with an Error quoting the expression.
EqualityFilter parseFilterExpression(std::string_view expression);

} // namespace velmora
