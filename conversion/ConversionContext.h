#pragma once

#include "conversion/CodeList.h"
#include "conversion/ConversionTables.h"
#include "conversion/FrameChooser.h"
#include "formats/ServiceDocument.h"
#include "services/CodePage.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What the builders of one conversion share: the document's sections, the user's frame choice,
// the catalogue's two code lists and the tables being built.
struct ConversionContext {
    ConversionContext(const ServiceSections& sections, std::filesystem::path documentPath,
                      FrameChooser& frames);

    // The records of a section that the builders use: those with at least two values.
    const std::vector<SauceRecord>& usableRecords(const std::string& section);

    // A text as a table will store it (Windows-1252, characters it lacks replaced), so that
    // codes are made unique on what Horadia will actually see.
    std::string asStored(std::string_view text) const;

    const ServiceSections& sections;
    std::filesystem::path documentPath;
    FrameChooser& frames;
    CodeList listCOD;
    CodeList listCODLARGO;
    ConversionTables tables;

private:
    CodePage storedCodePage_;
    std::map<std::string, std::vector<SauceRecord>> usableRecords_;
};

} // namespace velmora
