#include "services/Text.h"

#include "services/Error.h"

#include <memory>
#include <unicode/stringoptions.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

// Case folding and the Windows-1252 code page through ICU: the Linux backend.
namespace velmora::text {

namespace {

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
