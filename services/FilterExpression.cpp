#include "services/FilterExpression.h"

#include "services/Error.h"

#include <algorithm>

namespace velmora {

namespace {

[[noreturn]] void refuse(std::string_view expression, const std::string& reason) {
    throw Error("The filter \"" + std::string(expression) + "\" cannot be used: " + reason +
                ". A filter reads FIELD= 'value'.");
}

bool isNameCharacter(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code > 0x20 && code != 0x7F && c != '=' && c != '\'';
}

} // namespace

EqualityFilter parseFilterExpression(std::string_view expression) {
    const auto equals = expression.find('=');
    if (equals == std::string_view::npos) {
        refuse(expression, "it has no '='");
    }
    EqualityFilter filter;
    filter.field = std::string(expression.substr(0, equals));
    if (filter.field.empty() ||
        !std::all_of(filter.field.begin(), filter.field.end(), isNameCharacter)) {
        refuse(expression, "it does not start with a field name");
    }
    const std::string_view rest = expression.substr(equals + 1);
    if (rest.size() < 3 || rest[0] != ' ' || rest[1] != '\'' || rest.back() != '\'') {
        refuse(expression, "the value is not a blank followed by a quoted text");
    }
    const std::string_view quoted = rest.substr(2, rest.size() - 3);
    for (std::size_t at = 0; at < quoted.size(); ++at) {
        if (quoted[at] == '\'') {
            if (at + 1 >= quoted.size() || quoted[at + 1] != '\'') {
                refuse(expression, "a quote inside the value is not doubled");
            }
            ++at;
        }
        filter.value += quoted[at];
    }
    return filter;
}

} // namespace velmora
