#pragma once

#include "services/dbf/DbfHeader.h"
#include "services/text/CodePage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// A field's content as read from a record, before it is turned into what the caller asked for.
struct FieldValue {
    enum class Kind { Empty, Text, Number, Logical };
    Kind kind = Kind::Empty;
    std::string text; // Text: UTF-8 without trailing blanks
    double number = 0;
    bool logical = false;
};

// Decodes the bytes of one field (exactly column.width of them). Text is in `page`; numbers
// may be written as text (N, F) or binary (I, +, O, B, Y), whose encoding differs at dBASE
// level 7. A number field whose text is not a number comes back as Text, so that only numeric
// reads of it fail.
FieldValue decodeField(const DbfColumn& column, bool levelSeven, const CodePage& page,
                       std::string_view bytes);

// The value as text: numbers in their general decimal form, logicals as True or False.
std::string valueAsText(const FieldValue& value);

// Whether a column of this type holds something that can be read as a number at all (dates,
// memos and pictures do not).
bool readsAsNumber(const DbfColumn& column);
// The value as a number; empty reads as 0; nothing for text that is not a number ("nan" is
// not one).
std::optional<double> valueAsNumber(const FieldValue& value);
// The nearest whole number, halves to the even one; nothing beyond 64 bits.
std::optional<std::int64_t> nearestInteger(double exact);

// The general decimal form of a number: 1 for 1.0, 2.5 for 2.5, '.' as separator.
std::string generalNumberText(double value);

// The bytes of a number in a text-number column of this width and decimals, right-aligned:
// fixed decimals when they fit, else the exponent form. Nothing when it cannot fit.
std::optional<std::string> numberDigits(double value, std::size_t width, int decimals);

} // namespace velmora
