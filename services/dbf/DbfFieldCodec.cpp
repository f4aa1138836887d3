#include "services/dbf/DbfFieldCodec.h"

#include "services/text/Utf8.h"

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

// A number as the tables write it: digits with an optional sign, decimal point and exponent.
// "nan" and "inf" are words, not numbers, whatever from_chars makes of them.
bool parseNumber(std::string_view digits, double& number) {
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    if (digits.empty()) {
        return false;
    }
    const char* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, number);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(number);
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

FieldValue textValue(std::string_view bytes, const CodePage& page) {
    const std::string_view kept = trimmedRight(bytes);
    FieldValue result;
    if (!kept.empty()) {
        result.kind = FieldValue::Kind::Text;
        result.text = page.decode(kept);
    }
    return result;
}

FieldValue decodeNumberText(std::string_view bytes, const CodePage& page) {
    const std::string_view digits = trimmedBlanks(bytes);
    if (digits.empty() || digits.find_first_not_of('*') == std::string_view::npos) {
        return {};
    }
    double value = 0;
    return parseNumber(digits, value) ? number(value) : textValue(digits, page);
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

// A number in a text-number column: fixed decimals when it fits, else the exponent form with
// as many digits as fit, so that the value is kept as far as the column allows.
bool formatNumber(double value, std::size_t width, int decimals, std::string& digits) {
    std::array<char, 400> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::fixed, decimals);
    if (result.ec == std::errc() && static_cast<std::size_t>(result.ptr - buffer.data()) <= width) {
        digits.assign(buffer.data(), result.ptr);
        return true;
    }
    for (int precision = 14; precision >= 0; --precision) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                               std::chars_format::scientific, precision);
        if (result.ec == std::errc() &&
            static_cast<std::size_t>(result.ptr - buffer.data()) <= width) {
            digits.assign(buffer.data(), result.ptr);
            return true;
        }
    }
    return false;
}

} // namespace

FieldValue decodeField(const DbfColumn& column, bool levelSeven, const CodePage& page,
                       std::string_view bytes) {
    switch (column.type) {
    case 'N':
    case 'F':
        return decodeNumberText(bytes, page);
    case 'L':
        return decodeLogical(bytes);
    case 'I':
        return decodeInteger(bytes, levelSeven);
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
        return textValue(bytes, page);
    default:
        return isBinaryColumn(column) ? FieldValue() : textValue(bytes, page);
    }
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

bool readsAsNumber(const DbfColumn& column) {
    return column.type == 'C' || column.type == 'L' || isNumberColumn(column.type) ||
           (isBinaryColumn(column) && column.type != 'T' && column.type != '@' &&
            column.type != 'G' && column.type != 'P' && column.type != 'W' && column.type != 'V' &&
            column.type != 'Q' && column.type != '0');
}

std::optional<double> valueAsNumber(const FieldValue& value) {
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
            return std::nullopt;
        }
        return parsed;
    }
    case FieldValue::Kind::Empty:
        break;
    }
    return 0;
}

std::optional<std::int64_t> nearestInteger(double exact) {
    double nearest = std::round(exact);
    if (std::fabs(exact - std::trunc(exact)) == 0.5) {
        nearest = 2 * std::round(exact / 2); // halves go to the even neighbour
    }
    if (!(nearest >= -9.2e18 && nearest <= 9.2e18)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(nearest);
}

std::optional<std::string> numberDigits(double value, std::size_t width, int decimals) {
    // Whole numbers, such as the weekly hours, are written without going through the general
    // conversion of a double.
    if (std::trunc(value) == value && std::fabs(value) < 1e15 && !std::signbit(value) &&
        decimals >= 0) {
        std::string digits = std::to_string(static_cast<long long>(value));
        if (decimals > 0) {
            digits += '.' + std::string(static_cast<std::size_t>(decimals), '0');
        }
        if (digits.size() <= width) {
            return std::string(width - digits.size(), ' ') + digits;
        }
    }
    std::string digits;
    if (!std::isfinite(value) || !formatNumber(value, width, decimals, digits)) {
        return std::nullopt;
    }
    return std::string(width - digits.size(), ' ') + digits;
}

} // namespace velmora
