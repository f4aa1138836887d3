#include "services/Text.h"

#include "services/Error.h"

#include <memory>
#include <unicode/stringoptions.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace velmora::text {

namespace {

// Byte offset of character index n in s (s.size() when s has fewer characters).
std::size_t offsetOfChar(std::string_view s, std::size_t n) {
    int32_t offset = 0;
    const auto size = static_cast<int32_t>(s.size());
    for (std::size_t i = 0; i < n && offset < size; ++i) {
        U8_FWD_1(s.data(), offset, size);
    }
    return static_cast<std::size_t>(offset);
}

bool isControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openWindows1252() {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("cp1252", &status));
    if (U_FAILURE(status)) {
        throw Error(std::string("The Windows-1252 code page is not available: ") +
                    u_errorName(status));
    }
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    return converter;
}

} // namespace

std::size_t length(std::string_view s) {
    std::size_t count = 0;
    int32_t offset = 0;
    const auto size = static_cast<int32_t>(s.size());
    while (offset < size) {
        U8_FWD_1(s.data(), offset, size);
        ++count;
    }
    return count;
}

std::string left(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, offsetOfChar(s, n)));
}

std::string mid(std::string_view s, std::size_t from, std::size_t n) {
    const std::size_t start = offsetOfChar(s, from);
    const std::string_view rest = s.substr(start);
    if (n == std::string_view::npos) {
        return std::string(rest);
    }
    return std::string(rest.substr(0, offsetOfChar(rest, n)));
}

std::string lastChar(std::string_view s) {
    if (s.empty()) {
        return {};
    }
    auto offset = static_cast<int32_t>(s.size());
    U8_BACK_1(reinterpret_cast<const uint8_t*>(s.data()), 0, offset);
    return std::string(s.substr(static_cast<std::size_t>(offset)));
}

std::string trim(std::string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && isControlOrBlank(s[begin])) {
        ++begin;
    }
    while (end > begin && isControlOrBlank(s[end - 1])) {
        --end;
    }
    return std::string(s.substr(begin, end - begin));
}

std::string trimRight(std::string_view s) {
    std::size_t end = s.size();
    while (end > 0 && isControlOrBlank(s[end - 1])) {
        --end;
    }
    return std::string(s.substr(0, end));
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto ua = icu::UnicodeString::fromUTF8(icu::StringPiece(a.data(), a.size()));
    const auto ub = icu::UnicodeString::fromUTF8(icu::StringPiece(b.data(), b.size()));
    return ua.caseCompare(ub, U_FOLD_CASE_DEFAULT) == 0;
}

std::string foldCase(std::string_view s) {
    auto unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), s.size()));
    unicode.foldCase(U_FOLD_CASE_DEFAULT);
    std::string out;
    unicode.toUTF8String(out);
    return out;
}

std::string padOrCut(std::string_view s, std::size_t n) {
    std::string out = left(s, n);
    const std::size_t have = length(out);
    out.append(n - have, ' ');
    return out;
}

std::string toWindows1252(std::string_view utf8) {
    const auto unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), utf8.size()));
    Converter converter = openWindows1252();
    UErrorCode status = U_ZERO_ERROR;
    const int32_t needed = unicode.extract(nullptr, 0, converter.get(), status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        throw Error(std::string("Text cannot be converted to Windows-1252: ") +
                    u_errorName(status));
    }
    std::string out(static_cast<std::size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    unicode.extract(out.data(), needed, converter.get(), status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) {
        throw Error(std::string("Text cannot be converted to Windows-1252: ") +
                    u_errorName(status));
    }
    return out;
}

std::string fromWindows1252(std::string_view bytes) {
    Converter converter = openWindows1252();
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString unicode(bytes.data(), static_cast<int32_t>(bytes.size()), converter.get(),
                               status);
    if (U_FAILURE(status)) {
        throw Error(std::string("Text cannot be read as Windows-1252: ") + u_errorName(status));
    }
    std::string out;
    unicode.toUTF8String(out);
    return out;
}

} // namespace velmora::text
