#include "cli/Console.h"

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#endif

namespace velmora::cli {

#ifdef _WIN32

namespace {

std::string utf8FromWide(const wchar_t* wide) {
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), needed, nullptr, nullptr);
    out.pop_back(); // the terminating zero
    return out;
}

} // namespace

std::vector<std::string> argumentsAsUtf8(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8FromWide(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

ConsoleOutput::ConsoleOutput() {
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    previousCodePage_ = ::GetConsoleOutputCP();
    if (previousCodePage_ != 0 && previousCodePage_ != CP_UTF8) {
        ::SetConsoleOutputCP(CP_UTF8);
    }
}

ConsoleOutput::~ConsoleOutput() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (previousCodePage_ != 0 && previousCodePage_ != CP_UTF8) {
        ::SetConsoleOutputCP(previousCodePage_);
    }
}

#else

std::vector<std::string> argumentsAsUtf8(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

ConsoleOutput::ConsoleOutput() = default;
ConsoleOutput::~ConsoleOutput() = default;

#endif

} // namespace velmora::cli
