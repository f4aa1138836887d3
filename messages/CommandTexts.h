#pragma once

#include <string>

// The words velmora-cli prints around a run's results; its usage texts are in CommandLineTexts.h.
namespace velmora::messages {

inline constexpr const char* kNotesHeading = "Avisos:";
inline constexpr const char* kReportHint =
    "Cada aviso, con dónde y qué: la misma orden con --report ARCHIVO.";

// The line above the list of the tables a conversion wrote.
inline std::string tablesWrittenIn(const std::string& folder) {
    return "Tablas escritas en " + folder + ":";
}

} // namespace velmora::messages
