#include "support/ChildProcess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::testing {

namespace {

std::vector<std::string> childEnvironment(const ChildOptions& options) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        bool replaced = false;
        for (const auto& [name, value] : options.environment) {
            replaced |= text.substr(0, text.find('=')) == name;
        }
        if (!replaced) {
            entries.emplace_back(text);
        }
    }
    for (const auto& [name, value] : options.environment) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

void check(int result, const char* what) {
    if (result != 0) {
        throw std::runtime_error(std::string(what) + ": " + std::strerror(result));
    }
}

// The file actions of posix_spawn, freed with the object.
class FileActions {
public:
    FileActions() { check(posix_spawn_file_actions_init(&actions_), "posix_spawn_file_actions"); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

    void open(int fd, const std::filesystem::path& file, int flags) {
        check(posix_spawn_file_actions_addopen(&actions_, fd, file.c_str(), flags, 0644),
              "posix_spawn_file_actions_addopen");
    }
    void output(int fd, const std::filesystem::path& file) {
        open(fd, file.empty() ? std::filesystem::path("/dev/null") : file,
             O_WRONLY | O_CREAT | O_TRUNC);
    }
    void dup(int from, int to) {
        check(posix_spawn_file_actions_adddup2(&actions_, from, to),
              "posix_spawn_file_actions_adddup2");
    }

private:
    posix_spawn_file_actions_t actions_;
};

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
        }
        read = ends[0];
        write = ends[1];
    }
};

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

struct ChildProcess::Handles {
    pid_t pid = -1;
    int input = -1;
    int output = -1;
    std::string buffered;
};

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments, const ChildOptions& options)
    : handles_(std::make_unique<Handles>()) {
    FileActions actions;
    int childInput = -1;
    int childOutput = -1;
    if (options.pipeInput) {
        const Pipe input;
        childInput = input.read;
        handles_->input = input.write;
        actions.dup(childInput, STDIN_FILENO);
    } else {
        actions.open(STDIN_FILENO, "/dev/null", O_RDONLY);
    }
    if (options.pipeOutput && options.outputFile.empty()) {
        const Pipe output;
        childOutput = output.write;
        handles_->output = output.read;
        actions.dup(childOutput, STDOUT_FILENO);
    } else {
        actions.output(STDOUT_FILENO, options.outputFile);
    }
    actions.output(STDERR_FILENO, options.errorFile);
    if (!options.workingFolder.empty()) {
        check(posix_spawn_file_actions_addchdir_np(actions.get(), options.workingFolder.c_str()),
              "posix_spawn_file_actions_addchdir_np");
    }

    std::vector<std::string> argv{program.native()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = childEnvironment(options);
    const int result = posix_spawn(&handles_->pid, program.c_str(), actions.get(), nullptr,
                                   pointersTo(argv).data(), pointersTo(environment).data());
    closeIfOpen(childInput);
    closeIfOpen(childOutput);
    if (result != 0) {
        closeIfOpen(handles_->input);
        closeIfOpen(handles_->output);
        ended_ = true;
        throw std::runtime_error("cannot run " + program.native() + ": " + std::strerror(result));
    }
}

ChildProcess::~ChildProcess() {
    closeInput();
    closeIfOpen(handles_->output);
    wait();
}

std::string ChildProcess::readLine() {
    std::string& buffered = handles_->buffered;
    std::size_t end = buffered.find('\n');
    char chunk[256];
    while (end == std::string::npos && handles_->output >= 0) {
        const ssize_t got = ::read(handles_->output, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        buffered.append(chunk, static_cast<std::size_t>(got));
        end = buffered.find('\n');
    }
    std::string line = buffered.substr(0, end);
    buffered.erase(0, end == std::string::npos ? std::string::npos : end + 1);
    return line;
}

void ChildProcess::closeInput() {
    closeIfOpen(handles_->input);
}

int ChildProcess::wait() {
    if (ended_) {
        return status_;
    }
    int raw = 0;
    while (::waitpid(handles_->pid, &raw, 0) < 0 && errno == EINTR) {
    }
    ended_ = true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return status_;
}

} // namespace velmora::testing
