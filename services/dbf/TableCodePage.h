#pragma once

#include "services/text/CodePage.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora {

// The code page in which a table keeps its text: the one a .cpg file beside it names (which
// wins, as GIS programs write one when the header cannot say it), else the one the header's
// language-driver byte marks, else Windows-1252. A mark Velmora does not know, or a code page
// it cannot read, is an Error (UnknownCodePage): reading with a guess would change the text.
CodePage tableCodePage(std::uint8_t languageDriver, const std::filesystem::path& file,
                       const std::string& table);

// The code page a .cpg file's text names ("UTF-8", "1252", "ANSI 1252", "OEM 850", "88591"...);
// 0 when it names none that Velmora knows.
int codePageOfCpgText(std::string text);

// The code page a language-driver byte marks; 0 for a byte that marks none, -1 for a byte
// Velmora does not know.
int codePageOfLanguageDriver(std::uint8_t languageDriver);

} // namespace velmora
