#include "ScratchFolder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace velmora::fuzz {

namespace {

class Scratch {
public:
    Scratch()
        : path_(std::filesystem::temp_directory_path() /
                ("velmora-fuzz-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace

const std::filesystem::path& scratchFolder() {
    static const Scratch scratch;
    return scratch.path();
}

std::filesystem::path freshFolder(const std::string& name) {
    const std::filesystem::path folder = scratchFolder() / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::string readScratch(const std::string& name) {
    std::ifstream in(scratchFolder() / name, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + name + " in the scratch folder");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace velmora::fuzz
