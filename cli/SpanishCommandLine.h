#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace velmora::cli {

// Gives the command line's own texts in Spanish: the labels of the help (Uso, Opciones,
// Órdenes ...), the help and version options, and the messages for a command line that cannot
// be read. Call it once every command has been added: it sets their help option too.
void speakSpanish(CLI::App& app, const std::string& versionLine);

// What is wrong with the command line, in Spanish, and where to read how it goes. CLI11 says
// which kind of mistake it met; the words are made here from that and from what was parsed.
std::string parseErrorText(const CLI::App& app, const CLI::Error& error);

} // namespace velmora::cli
