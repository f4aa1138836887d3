#include "services/text/Unicode.h"

#include <memory>
#include <string>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

namespace velmora::unicode {

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

} // namespace

std::optional<std::array<char32_t, 256>> singleByteCodePage(int codePage) {
    UErrorCode status = U_ZERO_ERROR;
    // Windows numbers the ISO 8859 pages from 28591.
    const bool iso8859 = codePage >= 28591 && codePage <= 28605;
    const std::string name = iso8859 ? "iso-8859-" + std::to_string(codePage - 28590)
                                     : "windows-" + std::to_string(codePage);
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        const std::string ibm = "ibm-" + std::to_string(codePage);
        converter.reset(ucnv_open(ibm.c_str(), &status));
    }
    if (U_FAILURE(status) || ucnv_getMaxCharSize(converter.get()) != 1) {
        return std::nullopt;
    }
    std::array<char32_t, 256> characters{};
    for (int byte = 0; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        const char* source = &in;
        status = U_ZERO_ERROR;
        ucnv_reset(converter.get());
        const UChar32 c = ucnv_getNextUChar(converter.get(), &source, &in + 1, &status);
        characters[static_cast<std::size_t>(byte)] =
            U_SUCCESS(status) && c != 0x1A ? static_cast<char32_t>(c) : U'\uFFFD';
    }
    // ICU reads byte 0x1A as its substitution character; the byte is the control character.
    characters[0x1A] = U'\x1A';
    return characters;
}

std::u32string decompose(char32_t c) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString decomposition;
    if (U_FAILURE(status) || !nfd->getDecomposition(static_cast<UChar32>(c), decomposition)) {
        return std::u32string(1, c);
    }
    std::u32string out;
    for (int32_t i = 0; i < decomposition.length(); i = decomposition.moveIndex32(i, 1)) {
        out += static_cast<char32_t>(decomposition.char32At(i));
    }
    return out;
}

std::u32string compose(const std::u32string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    const icu::UnicodeString source = icu::UnicodeString::fromUTF32(
        reinterpret_cast<const UChar32*>(text.data()), static_cast<int32_t>(text.size()));
    icu::UnicodeString composed;
    if (U_SUCCESS(status)) {
        nfc->normalize(source, composed, status);
    }
    if (U_FAILURE(status)) {
        return text;
    }
    std::u32string out(static_cast<std::size_t>(composed.countChar32()), U'\0');
    status = U_ZERO_ERROR;
    composed.toUTF32(reinterpret_cast<UChar32*>(out.data()), static_cast<int32_t>(out.size()),
                     status);
    return out;
}

char32_t foldCase(char32_t c) {
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

} // namespace velmora::unicode
