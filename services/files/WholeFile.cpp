#include "services/files/WholeFile.h"

#include "services/files/FileSystem.h"
#include "services/files/LockedFile.h"

#include <exception>
#include <random>
#include <streambuf>
#include <string>
#include <vector>

namespace velmora {

namespace {

constexpr std::string_view kDraftSuffix = ".tmp";

std::filesystem::path folderOf(const std::filesystem::path& file) {
    return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

std::string draftPrefix(const std::filesystem::path& target) {
    return "." + pathToUtf8(target.filename()) + ".";
}

// The drafts of this target that runs left when they were killed: those that nobody holds any
// more. Links and anything but plain files are left alone.
void removeAbandonedDrafts(const std::filesystem::path& target) {
    const std::string prefix = draftPrefix(target);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folderOf(target), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = pathToUtf8(it->path().filename());
        if (name.size() <= prefix.size() + kDraftSuffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(kDraftSuffix) ||
            native::entryKind(it->path()) != native::EntryKind::File) {
            continue;
        }
        try {
            if (LockedFile::tryOpen(it->path(), LockedFile::Lock::Exclusive,
                                    LockedFile::Links::Refuse)) {
                native::removeFile(it->path());
            }
        } catch (const Error&) {
            // Gone meanwhile, or not ours to read: left as it is.
        }
    }
}

// An output stream's buffer that hands what fills it to a draft. A failure is kept, not thrown
// through the stream (which would only turn it into a bad bit), and everything after it dropped.
class DraftBuffer : public std::streambuf {
public:
    explicit DraftBuffer(FileDraft& draft) : draft_(draft), buffer_(kBufferSize) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }

    // What was written is in the draft, or the first failure to write it is thrown.
    void flushOrThrow() {
        sync();
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

protected:
    int_type overflow(int_type c) override {
        if (!passOn()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override { return passOn() ? 0 : -1; }

private:
    static constexpr std::size_t kBufferSize = 64 * 1024;

    bool passOn() {
        if (!failure_) {
            try {
                draft_.write({pbase(), static_cast<std::size_t>(pptr() - pbase())});
            } catch (...) {
                failure_ = std::current_exception();
            }
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return !failure_;
    }

    FileDraft& draft_;
    std::vector<char> buffer_;
    std::exception_ptr failure_;
};

} // namespace

void requireWritableTarget(const std::filesystem::path& file, ErrorKind failure) {
    std::error_code error;
    if (!std::filesystem::is_directory(folderOf(file), error)) {
        throw Error(
            failure,
            {.file = file, .system = std::make_error_code(std::errc::no_such_file_or_directory)});
    }
    const native::EntryKind kind = native::entryKind(file);
    if (kind != native::EntryKind::None && kind != native::EntryKind::File) {
        throw Error(ErrorKind::OutputNotAFile, {.file = file});
    }
}

FileDraft::FileDraft(std::filesystem::path target, ErrorKind failure)
    : target_(std::move(target)), failure_(failure) {
    requireWritableTarget(target_, failure_);
    removeAbandonedDrafts(target_);
    native::OpenOptions options;
    options.write = true;
    options.creation = native::Creation::New;
    options.followLink = false;
    options.lock = native::Lock::Exclusive;
    std::random_device random;
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        draft_ = folderOf(target_) / pathFromUtf8(draftPrefix(target_) + std::to_string(random()) +
                                                  std::string(kDraftSuffix));
        file_ = native::File::open(draft_, options, error);
        if (error != std::errc::file_exists) {
            break;
        }
    }
    if (error) {
        draft_.clear();
        fail(error);
    }
}

FileDraft::~FileDraft() {
    file_.close();
    if (!draft_.empty()) {
        native::removeFile(draft_);
    }
}

void FileDraft::fail(std::error_code why) const {
    throw Error(failure_, {.file = target_, .system = why});
}

void FileDraft::keepTargetPermissions() {
    std::error_code error;
    const std::filesystem::file_status old = std::filesystem::status(target_, error);
    if (error || !std::filesystem::is_regular_file(old)) {
        return;
    }
    std::filesystem::permissions(draft_, old.permissions(), error);
    if (error) {
        fail(error);
    }
}

void FileDraft::write(std::string_view bytes) {
    if (const std::error_code error = file_.write(bytes)) {
        fail(error);
    }
}

void FileDraft::write(const std::function<void(std::ostream& out)>& make) {
    DraftBuffer buffer(*this);
    std::ostream out(&buffer);
    make(out);
    buffer.flushOrThrow();
}

void FileDraft::finish() {
    if (const std::error_code error = file_.syncToDisk()) {
        fail(error);
    }
    finished_ = true;
}

void FileDraft::putInPlace(const Placing& how) {
    if (!finished_) {
        finish();
    }
    // Looked at again: something may have taken the target's place while the run worked.
    requireWritableTarget(target_, failure_);
    const std::error_code error = how.replace ? native::renameReplacing(draft_, target_)
                                              : native::renameNoReplace(draft_, target_);
    if (error) {
        fail(error);
    }
    draft_.clear();
    if (!how.keepHeld) {
        // Everything written is on the disk already: closing can no longer lose any of it.
        file_.close();
    }
    const std::error_code notSynced = native::syncFolder(folderOf(target_));
    if (notSynced && how.folderSyncRequired) {
        throw Error(ErrorKind::SavedButNotConfirmed, {.file = target_, .system = notSynced});
    }
}

void writeWholeFile(const std::filesystem::path& file, std::string_view content) {
    FileDraft draft(file);
    draft.write(content);
    draft.finish();
    draft.putInPlace();
}

void writeWholeFile(const std::filesystem::path& file,
                    const std::function<void(std::ostream& out)>& write) {
    FileDraft draft(file);
    draft.write(write);
    draft.finish();
    draft.putInPlace();
}

} // namespace velmora
