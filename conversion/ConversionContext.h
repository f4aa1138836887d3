#pragma once

#include "conversion/CodeList.h"
#include "conversion/FrameChooser.h"
#include "services/XmlDocument.h"

#include <filesystem>

namespace velmora {

// What the builders of one conversion share: the loaded document, the folder they write their
// tables into, the user's frame choice and the catalogue's two code lists.
struct ConversionContext {
    const XmlDocument& document;
    std::filesystem::path documentPath;
    std::filesystem::path folder;
    FrameChooser& frames;
    CodeList listCOD;
    CodeList listCODLARGO;
};

} // namespace velmora
