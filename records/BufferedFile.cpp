#include "records/BufferedFile.h"

#include "core/ByteMatch.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace arti {

std::unique_ptr<BufferedFile> BufferedFile::open(const std::string& path, platform::FileMode mode,
                                                 int& error) {
    platform::SystemFile file;
    error = file.open(path, mode);
    if (error != 0) return nullptr;
    const long long length = file.size(error);
    const std::optional<platform::FileIdentity> id = file.identity();
    if (error != 0 || !id) {
        if (error == 0) error = platform::dos::kInvalidHandle;
        return nullptr;
    }
    return std::unique_ptr<BufferedFile>(new BufferedFile(std::move(file), mode.write, *id, length));
}

BufferedFile::BufferedFile(platform::SystemFile file, bool writable, platform::FileIdentity id,
                           long long length)
    : file_(std::move(file)), writable_(writable), id_(id), knownLength_(length) {}

BufferedFile::~BufferedFile() = default;

int BufferedFile::close() {
    const int code = file_.close();
    bufLen_ = 0;
    return code;
}

long long BufferedFile::length(int& error) {
    const long long len = file_.size(error);
    if (error != 0) return -1;
    knownLength_ = len;
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
            error = platform::dos::kNotEnoughMemory;
            return false;
        }
    }
    const long long got = file_.readAt(offset, buf_.get(), kBufferSize, error);
    if (got < 0) return false;
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
            const long long got = file_.readAt(pos_, dst + r.bytes, want, r.error);
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
        r.error = platform::dos::kAccessDenied; // a handle opened for reading only, as Windows reports it
        return r;
    }
    while (r.bytes < n) {
        const long long put =
            file_.writeAt(pos_ + static_cast<long long>(r.bytes), src + r.bytes, n - r.bytes, r.error);
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
