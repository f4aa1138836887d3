#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velmora::testing {

// How a child process is started. Text (arguments, environment) is UTF-8.
struct ChildOptions {
    // Added to this process's environment, or replacing a variable of the same name.
    std::vector<std::pair<std::string, std::string>> environment;
    // Where the child starts; this process's current folder when empty.
    std::filesystem::path workingFolder;
    // Files that receive the child's standard output and error; both are discarded when empty,
    // unless pipeOutput lets this process read the output line by line.
    std::filesystem::path outputFile;
    std::filesystem::path errorFile;
    bool pipeOutput = false;
    // The child's standard input is a pipe that stays open until closeInput(); otherwise it is
    // empty.
    bool pipeInput = false;
};

// Another program run without a shell: arguments reach it exactly as given. The process is
// waited for when the object goes (after its input is closed), so nothing outlives a test.
class ChildProcess {
public:
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of the child's piped output, without its line end; empty at the end.
    std::string readLine();

    void closeInput();

    // Waits for the child to end and gives its exit status.
    int wait();

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
    int status_ = -1;
    bool ended_ = false;
};

} // namespace velmora::testing
