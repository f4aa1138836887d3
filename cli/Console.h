#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// The program's arguments as UTF-8, whatever the platform. Windows hands a narrow argv in
// the ANSI code page, which cannot spell every file name; its UTF-16 command line can.
std::vector<std::string> argumentsAsUtf8(int argc, char** argv);

// While it lives, standard output and error carry exactly the bytes the program writes: on
// Windows they are switched out of text mode (which would turn "\n" into "\r\n", also inside
// a table's field), and a console shows them as UTF-8.
class ConsoleOutput {
public:
    ConsoleOutput();
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

private:
    unsigned int previousCodePage_ = 0; // the console's output code page, to give back
};

} // namespace velmora::cli
