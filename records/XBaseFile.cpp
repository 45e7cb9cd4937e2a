#include "records/XBaseFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace arti::xbase {

File::~File() {
    close();
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(other.writable_), missing_(other.missing_),
      path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        writable_ = other.writable_;
        missing_ = other.missing_;
        path_ = std::move(other.path_);
    }
    return *this;
}

bool File::open(const std::string& path, bool writable, bool create) {
    close();
    int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    if (create) flags |= O_CREAT;
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    missing_ = fd < 0 && errno == ENOENT;
    return fd >= 0 && adopt(fd, path, writable);
}

bool File::createUnique(const std::string& prefix) {
    close();
    missing_ = false;
    // The process id and a running number make a name no other writer uses; a name
    // left behind by an earlier process is passed over.
    static unsigned long serial = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string path = prefix + std::to_string(::getpid()) + "-" + std::to_string(++serial);
        int fd = -1;
        do {
            fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0) return adopt(fd, path, true);
        if (errno != EEXIST) return false;
    }
    return false;
}

bool File::adopt(int fd, const std::string& path, bool writable) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    writable_ = writable;
    path_ = path;
    return true;
}

bool File::lock(Lock kind) {
    if (fd_ < 0) return false;
    const int op = (kind == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    int rc = -1;
    do {
        rc = ::flock(fd_, op);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

void File::close() {
    // Closing the descriptor also releases its flock.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

long long File::length() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

bool File::readAt(long long offset, void* dst, std::size_t n) const {
    if (fd_ < 0 || offset < 0) return false;
    auto* out = static_cast<char*>(dst);
    while (n > 0) {
        const ssize_t got = ::pread(fd_, out, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

bool File::writeAt(long long offset, const void* src, std::size_t n) {
    if (fd_ < 0 || !writable_ || offset < 0) return false;
    const auto* in = static_cast<const char*>(src);
    while (n > 0) {
        const ssize_t put = ::pwrite(fd_, in, n, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        in += put;
        offset += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

bool File::truncate(long long length) {
    if (fd_ < 0 || !writable_ || length < 0) return false;
    int rc = -1;
    do {
        rc = ::ftruncate(fd_, static_cast<off_t>(length));
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

bool File::sync() {
    if (fd_ < 0) return false;
    int rc = -1;
    do {
        rc = ::fsync(fd_);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

bool renameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool syncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace arti::xbase
