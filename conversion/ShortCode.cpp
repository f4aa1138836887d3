#include "conversion/ShortCode.h"

#include "services/text/Text.h"

#include <algorithm>
#include <cstdint>

namespace velmora {

namespace {

// The n-th numbered variant of base, kept within 10 characters: the number follows as much of
// base as leaves room for it. Two-digit numbers thus replace the last characters as the
// timetable program has always shown them (ABCDEFGH10), and longer numbers take as much of
// base as still fits, so the numbering never runs out.
std::string numberedCandidate(const std::string& base, int n) {
    const std::string number = std::to_string(n);
    return text::left(base, kShortCodeLength - number.size()) + number;
}

std::int64_t powerOfTen(std::size_t exponent) {
    std::int64_t power = 1;
    for (std::size_t i = 0; i < exponent; ++i) {
        power *= 10;
    }
    return power;
}

// The first number from `from` on whose candidate `issued` does not hold. A candidate is the
// base's first characters followed by the number, and how many of them depends only on the
// number's digits: the bases that share those characters share the candidates of numbers of
// that many digits. Codes numbered in order (10000000001, 10000000002, ...) start a new base
// every ten codes, each on the others' candidates; what one base has found taken is kept for
// the next, so that no candidate is tried twice.
int freeNumberFrom(const std::string& foldedBase, int from, CodeList& issued) {
    int n = from;
    while (true) {
        const std::size_t digits = std::to_string(n).size();
        const std::string prefix = text::left(foldedBase, kShortCodeLength - digits);
        const std::int64_t lowest = digits == 1 ? 1 : powerOfTen(digits - 1);
        int& untaken = issued.firstUntakenNumber(std::to_string(digits) + ":" + prefix,
                                                 static_cast<int>(lowest));
        n = std::max(n, untaken);
        for (; n < powerOfTen(digits); ++n) {
            if (!issued.containsFolded(prefix + std::to_string(n))) {
                return n;
            }
            if (n == untaken) {
                ++untaken;
            }
        }
    }
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
    int& next = issued.firstFreeNumber(foldedBase);
    const int n = freeNumberFrom(foldedBase, next, issued);
    next = n + 1;
    issued.addFolded(numberedCandidate(foldedBase, n));
    return {numberedCandidate(base, n), true};
}

} // namespace velmora
