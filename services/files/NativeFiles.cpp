#include "services/files/NativeFiles.h"

#include <utility>

// What both systems' back ends share: a handle of -1 is no file, as a closed descriptor and as
// Windows' INVALID_HANDLE_VALUE, and both back ends report a lock held elsewhere alike.
namespace velmora::native {

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), regular_(other.regular_), size_(other.size_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, -1);
        regular_ = other.regular_;
        size_ = other.size_;
    }
    return *this;
}

File::~File() {
    close();
}

bool File::isOpen() const {
    return handle_ != -1;
}

bool isHeldElsewhere(const std::error_code& error) {
    return error == std::errc::resource_unavailable_try_again;
}

} // namespace velmora::native
