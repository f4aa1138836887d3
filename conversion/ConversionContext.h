#pragma once

#include "conversion/CodeList.h"
#include "conversion/ConversionTables.h"
#include "conversion/FrameChooser.h"
#include "formats/RunNotes.h"
#include "formats/ServiceSections.h"
#include "services/text/CodePage.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What the builders of one conversion share: the document's sections, the user's frame choice
// and the tables being built.
struct ConversionContext {
    ConversionContext(const ServiceSections& sections, std::filesystem::path documentPath,
                      FrameChooser& frames);

    // The records of a section that the builders use: those with at least two values. The
    // others are noted as skipped, once.
    using Records = std::vector<std::reference_wrapper<const SauceRecord>>;
    const Records& usableRecords(const std::string& section);

    // A text as a table will store it (Windows-1252, characters it lacks replaced), so that
    // codes are made unique on what Horadia will actually see.
    std::string asStored(std::string_view text) const;

    // The short code for a source text, made unique in `issued` on the text as stored; a code
    // that had its characters replaced or a number added is noted against the table's record.
    std::string shortCode(std::string_view source, CodeList& issued, const TableLayout& table,
                          std::size_t record, std::string_view field);

    // Every cut text and replaced character the tables store is noted from here on.
    void noteWhatTheTablesChange();

    const ServiceSections& sections;
    std::filesystem::path documentPath;
    FrameChooser& frames;
    ConversionTables tables;
    RunNotes notes;

private:
    CodePage storedCodePage_;
    std::map<std::string, Records> usableRecords_;
};

} // namespace velmora
