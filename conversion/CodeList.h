#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace velmora {

// A list of issued codes whose look-up ignores letter case: the short-code rule folds each code
// once (text::foldCase) and looks it up and adds it folded. Codes are never removed, which is
// what lets the rule remember how far the numbering of each base has got.
class CodeList {
public:
    bool containsFolded(const std::string& folded) const { return folded_.count(folded) > 0; }
    void addFolded(std::string folded) { folded_.insert(std::move(folded)); }

    // The first number from which the numbered codes of a folded base may still be free: every
    // number below it is taken, and stays taken, since codes are only ever added.
    int& firstFreeNumber(const std::string& foldedBase) {
        return firstFreeNumbers_.try_emplace(foldedBase, 1).first->second;
    }

    // The first number from which the numbered candidates of a space (the characters before
    // the number and its count of digits, however the short-code rule names them) may still
    // be free, as firstFreeNumber but shared by every base that makes those candidates.
    int& firstUntakenNumber(const std::string& space, int lowest) {
        return firstUntakenNumbers_.try_emplace(space, lowest).first->second;
    }

private:
    std::unordered_set<std::string> folded_;
    std::unordered_map<std::string, int> firstFreeNumbers_;
    std::unordered_map<std::string, int> firstUntakenNumbers_;
};

} // namespace velmora
