#pragma once

#include "services/files/NativeFiles.h"

#include <filesystem>

namespace velmora {

// A hidden folder inside the exchange folder where a conversion builds its tables out of the
// timetable program's sight; on the same file system, its files can be renamed into place. It
// holds a lock for as long as it lives, which tells any other run that its owner is alive:
// the folder of a run that was killed is found without it, and removed. Emptied and removed
// when the object goes.
class WorkFolder {
public:
    explicit WorkFolder(const std::filesystem::path& exchangeFolder);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Whether a folder is a work folder (by its name, and a real folder, not a link), and
    // whether its run still lives.
    static bool isWorkFolder(const std::filesystem::path& folder);
    static bool isOwnerAlive(const std::filesystem::path& folder);

    // Removes the work folders in the exchange folder whose runs no longer live. Only their
    // own entries go, never anything a link inside them points to, and never a folder inside.
    static void removeAbandoned(const std::filesystem::path& exchangeFolder);

private:
    std::filesystem::path path_;
    native::File lock_;
};

} // namespace velmora
