#pragma once

#include <filesystem>

// The fuzz targets' only uses of the table service, kept together so that a change of its API
// touches this file alone.
namespace velmora::fuzz {

// A small, valid SOLUC in folder: a few placed lessons with codes a conversion could give.
void writeSmallSolution(const std::filesystem::path& folder);

// Opens the table file and reads every field of every record, as text and as a number. Throws
// velmora::Error for what a damaged table is expected to give.
void readEveryValue(const std::filesystem::path& tableFile);

} // namespace velmora::fuzz
