#include "conversion/ShortCode.h"

#include "services/text/Text.h"

namespace velmora {

namespace {

// The n-th numbered variant of base, kept within 10 characters: two-digit numbers replace the
// last characters as the timetable program has always shown them (ABCDEFGH10); longer numbers
// take as much of base as still fits, so the numbering never runs out.
std::string numberedCandidate(const std::string& base, int n) {
    const std::string number = std::to_string(n);
    const std::string candidate = base + number;
    const std::size_t length = text::length(candidate);
    if (length <= kShortCodeLength) {
        return candidate;
    }
    if (number.size() == 2) {
        return text::left(candidate, kShortCodeLength - 2) + text::mid(candidate, length - 2);
    }
    return text::left(base, kShortCodeLength - number.size()) + number;
}

} // namespace

IssuedCode makeShortCode(const std::string& source, CodeList& issued) {
    const std::string code = text::trimRight(text::left(source, kShortCodeLength));
    std::string folded = text::foldCase(code);
    if (!issued.containsFolded(folded)) {
        issued.addFolded(std::move(folded));
        return {code, false};
    }
    // Folding keeps every character in its place, so a candidate is taken exactly when the
    // same candidate of the folded base is.
    const bool whole = text::length(code) < kShortCodeLength;
    const std::string base = whole ? code : text::left(code, kShortCodeLength - 1);
    const std::string foldedBase = whole ? folded : text::left(folded, kShortCodeLength - 1);
    int& n = issued.firstFreeNumber(foldedBase);
    while (issued.containsFolded(numberedCandidate(foldedBase, n))) {
        ++n;
    }
    issued.addFolded(numberedCandidate(foldedBase, n));
    return {numberedCandidate(base, n++), true};
}

} // namespace velmora
