#include "support/ChildProcess.h"

#include "services/files/FileSystem.h"

#include <cwchar>
#include <stdexcept>
#include <utility>
#include <windows.h>

namespace velmora::testing {

namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int needed = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), needed);
    return out;
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": Windows error " + std::to_string(::GetLastError()));
}

// One argument as the C runtime's command-line parser reads it back: quoted when it holds
// blanks or quotes, with the backslashes before a quote doubled.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

bool sameName(std::wstring_view entry, const std::wstring& name) {
    const std::wstring_view entryName = entry.substr(0, entry.find(L'=', 1));
    return ::CompareStringOrdinal(entryName.data(), static_cast<int>(entryName.size()), name.data(),
                                  static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

// A Unicode environment block: this process's variables with the options' ones set.
std::wstring environmentBlock(const ChildOptions& options) {
    std::wstring block;
    wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        bool replaced = false;
        for (const auto& [name, value] : options.environment) {
            replaced |= sameName(entry, wide(name));
        }
        if (!replaced) {
            block.append(entry).push_back(L'\0');
        }
    }
    ::FreeEnvironmentStringsW(current);
    for (const auto& [name, value] : options.environment) {
        block.append(wide(name + "=" + value)).push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// A handle closed with the object.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, nullptr); }
    void reset(HANDLE handle = nullptr) {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

SECURITY_ATTRIBUTES inheritable() {
    return SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
}

Handle openForChild(const std::filesystem::path& file, bool write) {
    SECURITY_ATTRIBUTES attributes = inheritable();
    const std::filesystem::path name = file.empty() ? std::filesystem::path(L"NUL") : file;
    HANDLE handle = ::CreateFileW(name.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                                  write && !file.empty() ? CREATE_ALWAYS : OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        fail("cannot open " + pathToUtf8(file) + " for a child process");
    }
    return Handle(handle);
}

// A pipe whose one end the child inherits; this process keeps the other.
struct Pipe {
    Handle read;
    Handle write;
    explicit Pipe(bool childReads) {
        SECURITY_ATTRIBUTES attributes = inheritable();
        HANDLE ends[2];
        if (!::CreatePipe(&ends[0], &ends[1], &attributes, 0)) {
            fail("cannot create a pipe");
        }
        read.reset(ends[0]);
        write.reset(ends[1]);
        ::SetHandleInformation(childReads ? write.get() : read.get(), HANDLE_FLAG_INHERIT, 0);
    }
};

} // namespace

struct ChildProcess::Handles {
    Handle process;
    Handle input;
    Handle output;
    std::string buffered;
};

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments, const ChildOptions& options)
    : handles_(std::make_unique<Handles>()) {
    Handle childInput;
    if (options.pipeInput) {
        Pipe input(true);
        childInput = std::move(input.read);
        handles_->input = std::move(input.write);
    } else {
        childInput = openForChild({}, false);
    }
    Handle childOutput;
    if (options.pipeOutput && options.outputFile.empty()) {
        Pipe output(false);
        childOutput = std::move(output.write);
        handles_->output = std::move(output.read);
    } else {
        childOutput = openForChild(options.outputFile, true);
    }
    Handle childError = openForChild(options.errorFile, true);

    std::wstring commandLine = quoted(program.wstring());
    for (const std::string& argument : arguments) {
        commandLine += L" " + quoted(wide(argument));
    }
    std::wstring environment = environmentBlock(options);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput.get();
    startup.hStdOutput = childOutput.get();
    startup.hStdError = childError.get();
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                          options.workingFolder.empty() ? nullptr : options.workingFolder.c_str(),
                          &startup, &process)) {
        ended_ = true;
        fail("cannot run " + pathToUtf8(program));
    }
    ::CloseHandle(process.hThread);
    handles_->process.reset(process.hProcess);
}

ChildProcess::~ChildProcess() {
    closeInput();
    handles_->output.reset();
    wait();
}

std::string ChildProcess::readLine() {
    std::string& buffered = handles_->buffered;
    std::size_t end = buffered.find('\n');
    char chunk[256];
    DWORD got = 0;
    while (end == std::string::npos && handles_->output.get() != nullptr &&
           ::ReadFile(handles_->output.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        buffered.append(chunk, got);
        end = buffered.find('\n');
    }
    std::string line = buffered.substr(0, end);
    buffered.erase(0, end == std::string::npos ? std::string::npos : end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

void ChildProcess::closeInput() {
    handles_->input.reset();
}

int ChildProcess::wait() {
    if (ended_) {
        return status_;
    }
    ::WaitForSingleObject(handles_->process.get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(handles_->process.get(), &code);
    ended_ = true;
    status_ = static_cast<int>(code);
    return status_;
}

} // namespace velmora::testing
