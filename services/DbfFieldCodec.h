#pragma once

#include "services/DbfHeaderCheck.h"

#include <cstdint>
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

// Where a field's bytes are interpreted: the column and the file it belongs to, for the
// binary encodings that differ by dBASE level and for the messages.
struct FieldContext {
    const DbfColumn& column;
    bool levelSeven;
    const std::string& tableName;
};

// Decodes the bytes of one field (exactly column.width of them). Text is Windows-1252; numbers
// may be written as text (N, F) or binary (I, +, O, B). A number field whose text is not a
// number comes back as Text, so that only numeric reads of it fail.
FieldValue decodeField(const FieldContext& field, std::string_view bytes);

// The conversions a read asks for. Each throws an Error naming the field and the table when
// the value cannot be taken that way.
std::string valueAsText(const FieldValue& value);
double valueAsFloat(const FieldContext& field, const FieldValue& value);
std::int64_t valueAsInteger(const FieldContext& field, const FieldValue& value);
bool valueAsBoolean(const FieldContext& field, const FieldValue& value);

// Whether the field, read back as text, is exactly `wanted` (whole and case-sensitive).
bool fieldTextEquals(const FieldContext& field, std::string_view bytes, std::string_view wanted);

// The general decimal form of a number: 1 for 1.0, 2.5 for 2.5, '.' as separator.
std::string generalNumberText(double value);

// Encoders: write the value into the field's bytes (exactly column.width of them), blank-padded
// and cut as the column's type requires. Text is cut to the width in Windows-1252 bytes.
void encodeText(const FieldContext& field, std::string_view utf8, char* bytes);
void encodeInteger(const FieldContext& field, std::int64_t value, char* bytes);
void encodeFloat(const FieldContext& field, double value, char* bytes);
void encodeBoolean(const FieldContext& field, bool value, char* bytes);

} // namespace velmora
