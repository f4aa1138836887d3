#pragma once

#include <filesystem>

namespace velmora {

// A hidden folder inside the exchange folder where a conversion builds its tables out of the
// timetable program's sight. Being on the same file system, its files can be renamed into
// place. Removed with everything in it when the object goes.
class StagingFolder {
public:
    explicit StagingFolder(const std::filesystem::path& exchangeFolder);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace velmora
