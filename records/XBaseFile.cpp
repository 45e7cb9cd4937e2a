#include "records/XBaseFile.h"

#include <string>
#include <utility>

namespace arti::xbase {

File::~File() {
    close();
}

File::File(File&& other) noexcept
    : file_(std::move(other.file_)), writable_(other.writable_), missing_(other.missing_),
      path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        file_ = std::move(other.file_);
        writable_ = other.writable_;
        missing_ = other.missing_;
        path_ = std::move(other.path_);
    }
    return *this;
}

bool File::open(const std::string& path, bool writable, bool create) {
    close();
    const int code = file_.open(path, platform::FileMode{.write = writable, .create = create});
    // Windows tells a missing folder on the way from a missing file; both leave the file to
    // be made.
    missing_ = code == platform::dos::kFileNotFound || code == platform::dos::kPathNotFound;
    return code == 0 && adopt(path, writable);
}

bool File::createUnique(const std::string& prefix) {
    close();
    missing_ = false;
    std::string path;
    return file_.createUnique(prefix, path) == 0 && adopt(path, true);
}

bool File::adopt(const std::string& path, bool writable) {
    if (!file_.regular()) {
        file_.close();
        return false;
    }
    writable_ = writable;
    path_ = path;
    return true;
}

bool File::lock(Lock kind) {
    return file_.lock(kind == Lock::Exclusive ? platform::FileLock::Exclusive : platform::FileLock::Shared);
}

void File::close() {
    // Closing the file also releases its lock.
    if (file_.isOpen()) file_.close();
}

long long File::length() const {
    int error = 0;
    return isOpen() ? file_.size(error) : -1;
}

bool File::readAt(long long offset, void* dst, std::size_t n) const {
    if (!isOpen() || offset < 0) return false;
    auto* out = static_cast<char*>(dst);
    while (n > 0) {
        int error = 0;
        const long long got = file_.readAt(offset, out, n, error);
        if (got <= 0) return false;
        out += got;
        offset += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

bool File::writeAt(long long offset, const void* src, std::size_t n) {
    if (!isOpen() || !writable_ || offset < 0) return false;
    const auto* in = static_cast<const char*>(src);
    while (n > 0) {
        int error = 0;
        const long long put = file_.writeAt(offset, in, n, error);
        if (put <= 0) return false;
        in += put;
        offset += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

bool File::truncate(long long length) {
    return isOpen() && writable_ && length >= 0 && file_.truncate(length) == 0;
}

bool File::sync() {
    return isOpen() && file_.flush() == 0;
}

bool renameFile(const std::string& from, const std::string& to) {
    return platform::replaceFile(from, to) == 0;
}

bool removeFile(const std::string& path) {
    return platform::removeFile(path) == 0;
}

bool syncFolder(const std::string& folder) {
    return platform::syncFolder(folder) == 0;
}

} // namespace arti::xbase
