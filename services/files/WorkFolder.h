#pragma once

#include "services/files/LockedFile.h"

#include <filesystem>
#include <optional>

namespace velmora {

// A hidden folder inside the exchange folder where a conversion builds its tables out of the
// timetable program's sight; on the same file system, its files can be renamed into place. It
// holds a lock for as long as it lives, which tells any other run that its owner is alive:
// the folder of a run that was killed is found without it, and removed. Removed with everything
// in it when the object goes.
class WorkFolder {
public:
    explicit WorkFolder(const std::filesystem::path& exchangeFolder);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Whether a folder is a work folder, and whether its run still lives.
    static bool isWorkFolder(const std::filesystem::path& folder);
    static bool isOwnerAlive(const std::filesystem::path& folder);

private:
    std::filesystem::path path_;
    std::optional<LockedFile> lock_;
};

} // namespace velmora
