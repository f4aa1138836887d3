#include "conversion/ShortCode.h"

#include "services/Text.h"

namespace velmora {

namespace {

constexpr std::size_t kCodeLength = 10;

// The n-th numbered variant of base, kept within 10 characters: two-digit numbers replace the
// last characters as the timetable program has always shown them (ABCDEFGH10); longer numbers
// take as much of base as still fits, so the numbering never runs out.
std::string numberedCandidate(const std::string& base, int n) {
    const std::string number = std::to_string(n);
    const std::string candidate = base + number;
    const std::size_t length = text::length(candidate);
    if (length <= kCodeLength) {
        return candidate;
    }
    if (number.size() == 2) {
        return text::left(candidate, kCodeLength - 2) + text::mid(candidate, length - 2);
    }
    return text::left(base, kCodeLength - number.size()) + number;
}

} // namespace

std::string makeShortCode(const std::string& source, CodeList& issued) {
    std::string code = text::trimRight(text::left(source, kCodeLength));
    if (issued.contains(code)) {
        const std::string base =
            text::length(code) < kCodeLength ? code : text::left(code, kCodeLength - 1);
        int n = 1;
        while (issued.contains(numberedCandidate(base, n))) {
            ++n;
        }
        code = numberedCandidate(base, n);
    }
    issued.add(code);
    return code;
}

} // namespace velmora
