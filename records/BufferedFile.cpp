#include "records/BufferedFile.h"

#include "core/ByteMatch.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace arti {

std::unique_ptr<BufferedFile> BufferedFile::open(const std::string& path, int flags, int& error) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        // A folder opens read-only under POSIX; as a data file it is refused like Windows does.
        error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return nullptr;
    }
    const bool writable = (flags & O_ACCMODE) != O_RDONLY;
    error = 0;
    return std::unique_ptr<BufferedFile>(new BufferedFile(fd, writable, st.st_dev, st.st_ino, st.st_size));
}

BufferedFile::BufferedFile(int fd, bool writable, std::uint64_t dev, std::uint64_t ino, long long length)
    : fd_(fd), writable_(writable), dev_(dev), ino_(ino), knownLength_(length) {}

BufferedFile::~BufferedFile() {
    if (fd_ >= 0) ::close(fd_);
}

int BufferedFile::close() {
    if (fd_ < 0) return EBADF;
    const int rc = ::close(fd_);
    fd_ = -1;
    bufLen_ = 0;
    return rc == 0 ? 0 : errno;
}

long long BufferedFile::length(int& error) {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error = errno;
        return -1;
    }
    error = 0;
    knownLength_ = static_cast<long long>(st.st_size);
    return knownLength_;
}

bool BufferedFile::atEndAskingLength(int& error) {
    const long long len = length(error);
    return error != 0 || pos_ >= len;
}

const char* BufferedFile::cachedAtPosition(std::size_t& avail) const {
    if (pos_ >= bufStart_ && pos_ < bufStart_ + static_cast<long long>(bufLen_)) {
        const auto at = static_cast<std::size_t>(pos_ - bufStart_);
        avail = bufLen_ - at;
        return buf_.get() + at;
    }
    avail = 0;
    return nullptr;
}

bool BufferedFile::fill(long long offset, int& error) {
    error = 0;
    bufLen_ = 0;
    if (!buf_) {
        // Left uninitialised: only the bytes a read delivered are ever used. Clearing a
        // buffer of several megabytes for every file opened costs more than its reads.
        buf_.reset(new (std::nothrow) char[kBufferSize]);
        if (!buf_) {
            error = ENOMEM;
            return false;
        }
    }
    ssize_t got = -1;
    do {
        got = ::pread(fd_, buf_.get(), kBufferSize, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        error = errno;
        return false;
    }
    bufStart_ = offset;
    bufLen_ = static_cast<std::size_t>(got);
    // knownLength_ stays a lower bound of the length: a short read that delivered bytes
    // ends exactly at the end of the file; one that delivered none, at or before it.
    const long long reached = offset + got;
    if (got == 0)
        knownLength_ = std::min(knownLength_, offset);
    else if (bufLen_ < kBufferSize || reached > knownLength_)
        knownLength_ = reached;
    return got > 0;
}

IoResult BufferedFile::read(char* dst, std::size_t n) {
    IoResult r;
    while (r.bytes < n) {
        std::size_t avail = 0;
        if (const char* p = cachedAtPosition(avail)) {
            const std::size_t k = std::min(avail, n - r.bytes);
            std::memcpy(dst + r.bytes, p, k);
            r.bytes += k;
            pos_ += static_cast<long long>(k);
            continue;
        }
        const std::size_t want = n - r.bytes;
        if (want >= kBufferSize) {
            // A large block goes straight into the caller's memory.
            const ssize_t got = ::pread(fd_, dst + r.bytes, want, static_cast<off_t>(pos_));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) r.error = errno;
            if (got <= 0) break;
            r.bytes += static_cast<std::size_t>(got);
            pos_ += got;
            continue;
        }
        if (!fill(pos_, r.error)) break;
    }
    return r;
}

IoResult BufferedFile::readPadded(std::string& out, std::size_t n) {
    std::size_t avail = 0;
    if (const char* p = cachedAtPosition(avail); p && avail >= n) {
        // The usual case: one copy out of the cache (clear and append: less work than
        // assign, which allows for overlapping text).
        out.clear();
        out.append(p, n);
        pos_ += static_cast<long long>(n);
        return IoResult{n, 0};
    }
    out.assign(n, ' ');
    return read(out.data(), n);
}

LineStatus BufferedFile::readLine(std::string& line, std::size_t maxLength, int& error) {
    error = 0;
    if (readCachedLine(line, maxLength)) return LineStatus::Line;
    line.clear();
    const long long start = pos_;
    bool pendingCr = false; // the previous cache window ended in CR
    bool any = false;
    auto keep = [&](const char* p, std::size_t k) {
        if (line.size() < maxLength) line.append(p, std::min(k, maxLength - line.size()));
    };
    for (;;) {
        std::size_t avail = 0;
        const char* p = cachedAtPosition(avail);
        if (!p) {
            if (fill(pos_, error)) continue;
            if (error != 0) {
                pos_ = start;
                line.clear();
                return LineStatus::Error;
            }
            if (pendingCr) keep("\r", 1); // a CR at the very end is data
            return any ? LineStatus::Line : LineStatus::EndOfFile;
        }
        any = true;
        if (pendingCr) {
            pendingCr = false;
            if (p[0] == '\n') {
                pos_ += 1;
                return LineStatus::Line;
            }
            keep("\r", 1);
        }
        const char* end = p + avail;
        for (const char* s = p;;) {
            const char* cr = bytes::find(s, end, '\r');
            if (!cr || cr + 1 == end) {
                // No CR LF in this window: keep it all (a final CR waits for the next window).
                const std::size_t dataLen = cr ? static_cast<std::size_t>(cr - p) : avail;
                keep(p, dataLen);
                pendingCr = cr != nullptr;
                pos_ += static_cast<long long>(avail);
                break;
            }
            if (cr[1] == '\n') {
                keep(p, static_cast<std::size_t>(cr - p));
                pos_ += (cr - p) + 2;
                return LineStatus::Line;
            }
            s = cr + 1;
        }
    }
}

IoResult BufferedFile::write(const char* src, std::size_t n) {
    IoResult r;
    if (!writable_) {
        r.error = EACCES; // a handle opened for reading only, as Windows reports it
        return r;
    }
    while (r.bytes < n) {
        const ssize_t put =
            ::pwrite(fd_, src + r.bytes, n - r.bytes, static_cast<off_t>(pos_) + static_cast<off_t>(r.bytes));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) r.error = errno;
        if (put <= 0) break;
        r.bytes += static_cast<std::size_t>(put);
    }
    patchCache(pos_, src, r.bytes);
    pos_ += static_cast<long long>(r.bytes);
    knownLength_ = std::max(knownLength_, pos_);
    return r;
}

void BufferedFile::patchCache(long long offset, const char* src, std::size_t n) {
    const long long lo = std::max(offset, bufStart_);
    const long long hi =
        std::min(offset + static_cast<long long>(n), bufStart_ + static_cast<long long>(bufLen_));
    if (lo < hi)
        std::memcpy(buf_.get() + (lo - bufStart_), src + (lo - offset), static_cast<std::size_t>(hi - lo));
}

} // namespace arti
