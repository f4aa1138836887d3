#pragma once

#include "services/Error.h"
#include "services/files/NativeFiles.h"

#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>

namespace velmora {

// Checks a file a run is going to write, before the run changes anything: nothing there yet, or
// a regular file, in a folder that exists. A folder, a device, a pipe or a link at the path is
// OutputNotAFile (a link would have the file written elsewhere, or be replaced by a file); a
// missing folder an Error of kind `failure` that the system says "no such file" of. Both name
// the file.
void requireWritableTarget(const std::filesystem::path& file,
                           ErrorKind failure = ErrorKind::FileNotWritten);

// A new version of a file, written beside it and put in its place whole: a reader finds the old
// file or the new one, never half of either, and a failure anywhere before putInPlace leaves
// the old file as it was. The draft is held while the object lives, so that another run knows
// it is not abandoned; a draft an earlier run left when it was killed is removed.
class FileDraft {
public:
    // Checks the target (requireWritableTarget) and makes the draft beside it, which shows that
    // the folder can be written. Failures to write are Errors of kind `failure` naming the
    // target, with what the system said.
    explicit FileDraft(std::filesystem::path target, ErrorKind failure = ErrorKind::FileNotWritten);
    ~FileDraft(); // removes the draft unless it was put in place
    FileDraft(const FileDraft&) = delete;
    FileDraft& operator=(const FileDraft&) = delete;

    const std::filesystem::path& target() const { return target_; }

    // The draft takes the permissions of the file it will replace, when there is one, so that
    // replacing a file does not change who may read or write it.
    void keepTargetPermissions();

    void write(std::string_view bytes);
    // What `make` writes, in pieces as it comes, for a text too large to hold in memory besides
    // what it is made from. The first failure to write is thrown once `make` returns.
    void write(const std::function<void(std::ostream& out)>& make);
    // Everything written reaches the disk.
    void finish();

    struct Placing {
        // Over a file already there; otherwise its presence fails the rename (file_exists),
        // so that a file another run put there is never lost.
        bool replace = true;
        // Whether the new name must be known to survive a power cut: a document's must; a
        // report of what a run did only describes it.
        bool folderSyncRequired = true;
        // The file stays held, as the draft was, until the object goes.
        bool keepHeld = false;
    };
    // Renames the finished draft to the target. A failing rename changes nothing; once it is
    // done, a folder that cannot be flushed is SavedButNotConfirmed where that is required.
    void putInPlace(const Placing& how);
    void putInPlace() { putInPlace(Placing{}); }

private:
    [[noreturn]] void fail(std::error_code why) const;

    std::filesystem::path target_;
    ErrorKind failure_;
    std::filesystem::path draft_;
    native::File file_;
    bool finished_ = false;
};

// The whole content at once: a draft written, finished and put in place.
void writeWholeFile(const std::filesystem::path& file, std::string_view content);

// The whole content as `write` makes it, for a text too large to hold in memory besides what
// it is made from: it goes to the draft in pieces as it comes, and the draft is put in place
// once `write` has returned. A failure to write, or `write` throwing, leaves the old file as it
// was; the first failure to write is thrown once `write` returns.
void writeWholeFile(const std::filesystem::path& file,
                    const std::function<void(std::ostream& out)>& write);

} // namespace velmora
