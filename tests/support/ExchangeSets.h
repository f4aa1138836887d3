#pragma once

#include "support/TestSupport.h"

#include <filesystem>
#include <map>
#include <string>

namespace velmora::testing {

// Every entry under a folder, the folder's own included, by its path relative to the folder's
// parent, with what it holds: a file's bytes, "(folder)", "(link to T)" or "(other)". Links are
// never followed: a snapshot of a folder shows whatever happened anywhere in it.
std::map<std::string, std::string> treeSnapshot(const std::filesystem::path& folder);

// The files directly in a folder with their bytes; a folder inside shows as "(folder)".
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder);

// Two sets of the eight tables, as two conversions of two small schools leave them, one under a
// lower-case name and one with an index, as Horadia may leave them; a test copies the old set
// into an exchange folder and converts the new document there. Everything lives under root.
class ExchangeSets {
public:
    ExchangeSets();

    // A fresh exchange folder holding the old set.
    std::filesystem::path freshExchange(const std::string& name) const;

    // A SOLUC with two lessons, as Horadia leaves it beside the new set (the new set has one).
    void addSoluc(const std::filesystem::path& exchange) const;

    TempDir root;
    std::filesystem::path oldDocument = root / "antiguo.xml";
    std::filesystem::path newDocument = root / "nuevo.xml";
    std::filesystem::path oldSet = root / "old";
    std::filesystem::path newSet = root / "new";
};

} // namespace velmora::testing
