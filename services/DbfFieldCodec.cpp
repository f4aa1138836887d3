#include "services/DbfFieldCodec.h"

#include "services/Error.h"
#include "services/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace velmora {

namespace {

std::string_view trimmedRight(std::string_view bytes) {
    const auto end = bytes.find_last_not_of(std::string_view(" \0", 2));
    return end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 1);
}

std::string_view trimmedBlanks(std::string_view bytes) {
    bytes = trimmedRight(bytes);
    const auto start = bytes.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string_view() : bytes.substr(start);
}

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Most of what the tables hold is plain ASCII, which reads the same in both encodings; only
// the rest needs the code page.
std::string decodeText(std::string_view bytes) {
    return isAscii(bytes) ? std::string(bytes) : text::fromWindows1252(bytes);
}

bool parseNumber(std::string_view digits, double& number) {
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    if (digits.empty()) {
        return false;
    }
    const char* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, number);
    return result.ec == std::errc() && result.ptr == end;
}

std::uint64_t bigEndian(std::string_view bytes) {
    std::uint64_t value = 0;
    for (char c : bytes) {
        value = (value << 8) | static_cast<unsigned char>(c);
    }
    return value;
}

std::uint64_t littleEndian(std::string_view bytes) {
    std::uint64_t value = 0;
    for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
        value = (value << 8) | static_cast<unsigned char>(*it);
    }
    return value;
}

bool allZero(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

FieldValue number(double value) {
    FieldValue result;
    result.kind = FieldValue::Kind::Number;
    result.number = value;
    return result;
}

FieldValue logical(bool value) {
    FieldValue result;
    result.kind = FieldValue::Kind::Logical;
    result.logical = value;
    return result;
}

FieldValue textValue(std::string_view bytes) {
    const std::string_view kept = trimmedRight(bytes);
    FieldValue result;
    if (!kept.empty()) {
        result.kind = FieldValue::Kind::Text;
        result.text = decodeText(kept);
    }
    return result;
}

FieldValue decodeNumberText(std::string_view bytes) {
    const std::string_view digits = trimmedBlanks(bytes);
    if (digits.empty() || digits.find_first_not_of('*') == std::string_view::npos) {
        return {};
    }
    double value = 0;
    return parseNumber(digits, value) ? number(value) : textValue(digits);
}

FieldValue decodeLogical(std::string_view bytes) {
    bytes = trimmedBlanks(bytes);
    if (bytes.empty()) {
        return {};
    }
    switch (bytes.front()) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
        return logical(true);
    case 'F':
    case 'f':
    case 'N':
    case 'n':
        return logical(false);
    default:
        return {};
    }
}

// dBASE 7 keeps integers big-endian with the sign bit flipped, so that they sort as bytes;
// FoxPro keeps them little-endian two's complement.
FieldValue decodeInteger(std::string_view bytes, bool orderPreserving) {
    if (orderPreserving) {
        if (allZero(bytes)) {
            return {};
        }
        const auto raw = static_cast<std::uint32_t>(bigEndian(bytes)) ^ 0x80000000u;
        return number(static_cast<std::int32_t>(raw));
    }
    return number(static_cast<std::int32_t>(static_cast<std::uint32_t>(littleEndian(bytes))));
}

double doubleFromBits(std::uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// dBASE 7 doubles: big-endian, positive numbers with the sign bit set, negative numbers with
// every bit inverted.
FieldValue decodeOrderPreservingDouble(std::string_view bytes) {
    if (allZero(bytes)) {
        return {};
    }
    std::uint64_t bits = bigEndian(bytes);
    constexpr std::uint64_t signBit = std::uint64_t{1} << 63;
    bits = (bits & signBit) != 0 ? bits ^ signBit : ~bits;
    return number(doubleFromBits(bits));
}

// FoxPro currency: a little-endian 64-bit integer of ten-thousandths.
FieldValue decodeCurrency(std::string_view bytes) {
    return number(static_cast<double>(static_cast<std::int64_t>(littleEndian(bytes))) / 10000.0);
}

std::string describe(const FieldContext& field) {
    return "field " + field.column.name + " of table " + field.tableName;
}

[[noreturn]] void notWritable(const FieldContext& field) {
    throw Error("The " + describe(field) + " has the type " + std::string(1, field.column.type) +
                ", which Velmora reads but does not write.");
}

bool isNumberColumn(char type) {
    return type == 'N' || type == 'F';
}

bool isBinaryColumn(const DbfColumn& column) {
    switch (column.type) {
    case 'I':
    case '+':
    case 'O':
    case 'Y':
    case '@':
    case 'T':
    case 'G':
    case 'P':
    case 'W':
    case 'V':
    case 'Q':
    case '0':
        return true;
    case 'B':
        return column.width == 8;
    default:
        return false;
    }
}

void putRightAligned(std::string_view digits, std::size_t width, char* bytes) {
    std::memcpy(bytes + (width - digits.size()), digits.data(), digits.size());
}

// A number in a text-number column: fixed decimals when it fits, else the exponent form with
// as many digits as fit, so that the value is kept as far as the column allows.
bool formatNumber(double value, const DbfColumn& column, std::string& digits) {
    std::array<char, 400> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::fixed, column.decimals);
    if (result.ec == std::errc() &&
        static_cast<std::size_t>(result.ptr - buffer.data()) <= column.width) {
        digits.assign(buffer.data(), result.ptr);
        return true;
    }
    for (int precision = 14; precision >= 0; --precision) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                               std::chars_format::scientific, precision);
        if (result.ec == std::errc() &&
            static_cast<std::size_t>(result.ptr - buffer.data()) <= column.width) {
            digits.assign(buffer.data(), result.ptr);
            return true;
        }
    }
    return false;
}

void encodeNumber(const FieldContext& field, double value, char* bytes) {
    std::string digits;
    if (!std::isfinite(value) || !formatNumber(value, field.column, digits)) {
        throw Error("The number " + generalNumberText(value) + " does not fit in the " +
                    describe(field) + ".");
    }
    putRightAligned(digits, field.column.width, bytes);
}

void encodeLogical(bool value, char* bytes) {
    bytes[0] = value ? 'T' : 'F';
}

std::string integerText(std::int64_t value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

void clear(const FieldContext& field, char* bytes) {
    std::memset(bytes, ' ', field.column.width);
}

} // namespace

FieldValue decodeField(const FieldContext& field, std::string_view bytes) {
    const DbfColumn& column = field.column;
    switch (column.type) {
    case 'N':
    case 'F':
        return decodeNumberText(bytes);
    case 'L':
        return decodeLogical(bytes);
    case 'I':
        return decodeInteger(bytes, field.levelSeven);
    case '+':
        return decodeInteger(bytes, true);
    case 'O':
        return decodeOrderPreservingDouble(bytes);
    case 'Y':
        return decodeCurrency(bytes);
    case 'B':
        if (column.width == 8) {
            return number(doubleFromBits(littleEndian(bytes)));
        }
        return textValue(bytes);
    default:
        return isBinaryColumn(column) ? FieldValue() : textValue(bytes);
    }
}

bool fieldTextEquals(const FieldContext& field, std::string_view bytes, std::string_view wanted) {
    const char type = field.column.type;
    const bool readAsText = !isNumberColumn(type) && type != 'L' && !isBinaryColumn(field.column);
    if (readAsText && isAscii(wanted)) {
        // Filters and look-ups scan whole tables: compare the stored bytes, undecoded.
        return trimmedRight(bytes) == wanted;
    }
    return valueAsText(decodeField(field, bytes)) == wanted;
}

std::string generalNumberText(double value) {
    if (value == 0) {
        return "0"; // also for -0
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 15);
    return std::string(buffer.data(), result.ptr);
}

std::string valueAsText(const FieldValue& value) {
    switch (value.kind) {
    case FieldValue::Kind::Text:
        return value.text;
    case FieldValue::Kind::Number:
        return generalNumberText(value.number);
    case FieldValue::Kind::Logical:
        return value.logical ? "True" : "False";
    case FieldValue::Kind::Empty:
        break;
    }
    return {};
}

double valueAsFloat(const FieldContext& field, const FieldValue& value) {
    switch (value.kind) {
    case FieldValue::Kind::Number:
        return value.number;
    case FieldValue::Kind::Logical:
        return value.logical ? 1 : 0;
    case FieldValue::Kind::Text: {
        double parsed = 0;
        const std::string_view digits = trimmedBlanks(value.text);
        if (digits.empty()) {
            return 0;
        }
        if (!parseNumber(digits, parsed)) {
            throw Error("The value '" + value.text + "' of the " + describe(field) +
                        " is not a number.");
        }
        return parsed;
    }
    case FieldValue::Kind::Empty:
        break;
    }
    return 0;
}

std::int64_t valueAsInteger(const FieldContext& field, const FieldValue& value) {
    const double exact = valueAsFloat(field, value);
    double nearest = std::round(exact);
    if (std::fabs(exact - std::trunc(exact)) == 0.5) {
        nearest = 2 * std::round(exact / 2); // halves go to the even neighbour
    }
    if (!(nearest >= -9.2e18 && nearest <= 9.2e18)) {
        throw Error("The value " + generalNumberText(exact) + " of the " + describe(field) +
                    " is too large for a whole number.");
    }
    return static_cast<std::int64_t>(nearest);
}

bool valueAsBoolean(const FieldContext& field, const FieldValue& value) {
    switch (value.kind) {
    case FieldValue::Kind::Logical:
        return value.logical;
    case FieldValue::Kind::Number:
        return value.number != 0;
    case FieldValue::Kind::Text: {
        const FieldValue parsed = decodeLogical(value.text);
        if (parsed.kind != FieldValue::Kind::Logical) {
            throw Error("The value '" + value.text + "' of the " + describe(field) +
                        " is not a yes/no value.");
        }
        return parsed.logical;
    }
    case FieldValue::Kind::Empty:
        break;
    }
    return false;
}

void encodeText(const FieldContext& field, std::string_view utf8, char* bytes) {
    const DbfColumn& column = field.column;
    if (isBinaryColumn(column)) {
        notWritable(field);
    }
    clear(field, bytes);
    if (isNumberColumn(column.type)) {
        const std::string_view digits = trimmedBlanks(utf8);
        double value = 0;
        if (digits.empty()) {
            return;
        }
        if (!parseNumber(digits, value)) {
            throw Error("The value '" + std::string(utf8) + "' cannot be written to the " +
                        describe(field) + ", which holds numbers.");
        }
        encodeNumber(field, value, bytes);
        return;
    }
    if (column.type == 'L') {
        if (trimmedBlanks(utf8).empty()) {
            return;
        }
        const FieldValue parsed = decodeLogical(utf8);
        if (parsed.kind != FieldValue::Kind::Logical) {
            throw Error("The value '" + std::string(utf8) + "' cannot be written to the " +
                        describe(field) + ", which holds yes/no values.");
        }
        encodeLogical(parsed.logical, bytes);
        return;
    }
    // Windows-1252 has one byte per character, so cutting the bytes never splits a character.
    const std::string encoded = text::toWindows1252(utf8);
    std::memcpy(bytes, encoded.data(), std::min(encoded.size(), column.width));
}

void encodeInteger(const FieldContext& field, std::int64_t value, char* bytes) {
    const DbfColumn& column = field.column;
    if (isBinaryColumn(column)) {
        notWritable(field);
    }
    clear(field, bytes);
    if (column.type == 'L') {
        encodeLogical(value != 0, bytes);
    } else if (isNumberColumn(column.type) && column.decimals == 0) {
        const std::string digits = integerText(value);
        if (digits.size() > column.width) {
            throw Error("The number " + digits + " does not fit in the " + describe(field) + ".");
        }
        putRightAligned(digits, column.width, bytes);
    } else if (isNumberColumn(column.type)) {
        encodeNumber(field, static_cast<double>(value), bytes);
    } else {
        encodeText(field, integerText(value), bytes);
    }
}

void encodeFloat(const FieldContext& field, double value, char* bytes) {
    const DbfColumn& column = field.column;
    if (isBinaryColumn(column)) {
        notWritable(field);
    }
    clear(field, bytes);
    if (column.type == 'L') {
        encodeLogical(value != 0, bytes);
    } else if (isNumberColumn(column.type)) {
        encodeNumber(field, value, bytes);
    } else {
        encodeText(field, generalNumberText(value), bytes);
    }
}

void encodeBoolean(const FieldContext& field, bool value, char* bytes) {
    const DbfColumn& column = field.column;
    if (isBinaryColumn(column)) {
        notWritable(field);
    }
    clear(field, bytes);
    if (column.type == 'L') {
        encodeLogical(value, bytes);
    } else if (isNumberColumn(column.type)) {
        encodeInteger(field, value ? 1 : 0, bytes);
    } else {
        encodeText(field, value ? "T" : "F", bytes);
    }
}

} // namespace velmora
