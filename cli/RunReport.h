#pragma once

#include "conversion/ConversionRun.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace velmora::cli {

// The report --report writes, as JSON: the run, its document, what it wrote and every note with
// the details that locate it. Paths are UTF-8. Written to a stream as it is made, or whole.
void writeConversionReport(std::ostream& out, const std::filesystem::path& document,
                           const ConversionSummary& summary);
void writeResultsReport(std::ostream& out, const std::filesystem::path& document,
                        const std::filesystem::path& result, std::size_t lessons,
                        const RunNotes& notes);
std::string conversionReport(const std::filesystem::path& document,
                             const ConversionSummary& summary);
std::string resultsReport(const std::filesystem::path& document,
                          const std::filesystem::path& result, std::size_t lessons,
                          const RunNotes& notes);

} // namespace velmora::cli
