// One open file with a logical position and a read cache. The record readers take one
// record per call; the cache turns that into one system read per 64 KiB. Reads and
// writes go to the file at the logical position with an offset of their own, so the
// system's own file offset plays no part. Writes go straight to the file and patch the cached bytes
// they cover, so a read after a write or a seek always sees the file as it now is.
#pragma once

#include "core/ByteMatch.h"
#include "platform/SystemFile.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace arti {

// Outcome of a read or write: bytes moved and the DOS error code of a failure (0: none).
struct IoResult {
    std::size_t bytes = 0;
    int error = 0;
};

enum class LineStatus { Line, EndOfFile, Error };

class BufferedFile {
public:
    // A build where each read of the system costs much more than copying (the web page's,
    // which reads slices of a browser File) sets a larger buffer.
#ifndef ARTI_READ_BUFFER_KB
#define ARTI_READ_BUFFER_KB 64
#endif
    static constexpr std::size_t kBufferSize = std::size_t{ARTI_READ_BUFFER_KB} * 1024;

    // Opens `path` (UTF-8). Returns null and sets `error` (a DOS error code) on failure;
    // a folder is refused with 5, access denied.
    static std::unique_ptr<BufferedFile> open(const std::string& path, platform::FileMode mode, int& error);
    ~BufferedFile();
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    long long position() const {
        return pos_;
    }
    void setPosition(long long pos) {
        pos_ = pos;
    }
    // A lower bound of the length: the position is before the end while below it.
    long long knownLength() const {
        return knownLength_;
    }
    // Length of the file now; -1 with `error` set on failure.
    long long length(int& error);
    // Position at or behind the end. Asks the system only when the position has reached
    // the length last seen, so a loop "until the end" costs no system call per record.
    bool atEnd(int& error) {
        error = 0;
        return pos_ < knownLength_ ? false : atEndAskingLength(error);
    }
    bool writable() const {
        return writable_;
    }
    // Same file as the other one (another handle of it).
    bool sameFile(const BufferedFile& other) const {
        return id_ == other.id_;
    }
    // The file with this identity (as the identity of a path gives it).
    bool isFile(const platform::FileIdentity& id) const {
        return id_ == id;
    }

    // Copies up to `n` bytes from the position into `dst` and moves the position behind
    // them; fewer bytes only at the end of the file or on an error.
    IoResult read(char* dst, std::size_t n);
    // `out` becomes `n` bytes: those read from the position, blanks for the bytes the
    // file did not deliver. Throws std::bad_alloc / std::length_error like std::string.
    IoResult readPadded(std::string& out, std::size_t n);

    // Reads the line at the position: the bytes up to the next CR LF, of which at most
    // `maxLength` are kept in `line`, and moves the position behind that CR LF (the rest
    // of a longer line is skipped). A last line without CR LF ends at the end of the file.
    // At the end of the file: EndOfFile, empty line, position unchanged. On an error the
    // position is left at the start of the line.
    LineStatus readLine(std::string& line, std::size_t maxLength, int& error);

    // readLine's usual case, worked out inline for the record reader: the line and its
    // CR LF lie in the cache, and its first CR is the one of the CR LF. False, with nothing
    // done, in every other case.
    [[gnu::always_inline]] bool readCachedLine(std::string& line, std::size_t maxLength) {
        // Both are offsets in the file: a position before the cache wraps to a large value.
        const auto at = static_cast<unsigned long long>(pos_ - bufStart_);
        if (at >= bufLen_) return false;
        const char* p = buf_.get() + at;
        const char* end = buf_.get() + bufLen_;
        const char* cr = findCr(p, end);
        if (!cr || end - cr < 2 || cr[1] != '\n') return false;
        const std::size_t n = std::min(static_cast<std::size_t>(cr - p), maxLength);
        // A line no longer than the one before it is copied inline into the storage kept
        // from it (the resize only sets the length); a longer one goes to the library.
        if (n <= line.size()) {
            line.resize(n);
            copyShort(line.data(), p, n);
        } else {
            assignLonger(line, p, n);
        }
        pos_ += (cr - p) + 2;
        return true;
    }

    // Writes `n` bytes at the position, moves the position behind the bytes written.
    IoResult write(const char* src, std::size_t n);

    // Brings the cache in line with bytes written at `offset` through another handle.
    void patchCache(long long offset, const char* src, std::size_t n);
    void dropCache() {
        bufLen_ = 0;
        knownLength_ = 0;
    }

    // Closes the file; returns the DOS error code of a failed close, else 0.
    int close();

private:
    // The first CR in [s, end), or nullptr: thirty-two bytes at a time, the last
    // thirty-two overlapping the ones before.
    static const char* findCr(const char* s, const char* end) {
#if defined(__SSE2__)
        if (end - s >= 32) {
            const __m128i cr = _mm_set1_epi8('\r');
            const auto crs = [&cr](const char* at) {
                return static_cast<unsigned>(_mm_movemask_epi8(
                    _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), cr)));
            };
            const char* const last = end - 32;
            for (;;) {
                const unsigned m = crs(s) | crs(s + 16) << 16;
                if (m != 0) return s + std::countr_zero(m);
                if (s == last) return nullptr;
                s = std::min(s + 32, last);
            }
        }
#endif
        return bytes::find(s, end, '\r');
    }
    // A line longer than the storage holds: clear and append, less work than assign,
    // which allows for overlapping text.
    [[gnu::noinline]] static void assignLonger(std::string& line, const char* p, std::size_t n) {
        line.clear();
        line.append(p, n);
    }
    // Copies `n` bytes of a line (a few dozen as a rule) sixteen at a time, the last
    // sixteen overlapping the ones before; shorter lines in words of eight and four.
    static void copyShort(char* dst, const char* src, std::size_t n) {
#if defined(__SSE2__)
        if (n >= 16) {
            for (std::size_t i = 0; i + 16 < n; i += 16)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + n - 16),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 16)));
            return;
        }
#endif
        if (n >= 8) {
            for (std::size_t i = 0; i + 8 < n; i += 8)
                std::memcpy(dst + i, src + i, 8);
            std::memcpy(dst + n - 8, src + n - 8, 8);
        } else if (n >= 4) {
            std::memcpy(dst, src, 4);
            std::memcpy(dst + n - 4, src + n - 4, 4);
        } else {
            for (std::size_t i = 0; i < n; ++i)
                dst[i] = src[i];
        }
    }

    BufferedFile(platform::SystemFile file, bool writable, platform::FileIdentity id, long long length);
    // atEnd where the position has reached the length last seen.
    bool atEndAskingLength(int& error);
    // Makes the cache hold the bytes from `offset` on. Returns false at the end of the
    // file (nothing there) or on an error (`error` set).
    bool fill(long long offset, int& error);
    // Bytes cached at the position, or nullptr (with `avail` 0) when the position is
    // outside the cache.
    const char* cachedAtPosition(std::size_t& avail) const;

    platform::SystemFile file_;
    bool writable_;
    platform::FileIdentity id_;
    long long pos_ = 0;
    std::unique_ptr<char[]> buf_; // kBufferSize bytes from the first read on
    long long bufStart_ = 0;      // file offset of buf_[0]
    std::size_t bufLen_ = 0;      // valid bytes in buf_
    long long knownLength_ = 0;   // lower bound of the length (the file may have grown)
};

} // namespace arti
