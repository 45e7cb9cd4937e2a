// Plumbing shared by the xBase table, memo and index files: one open file with
// exact positional reads and writes, an advisory lock, and the little- and big-endian
// integer helpers of the on-disk formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace arti::xbase {

enum class Lock { Shared, Exclusive };

class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // Opens an existing file read-write or read-only. `create` makes a missing file.
    // False when the file cannot be opened or is not a regular file.
    bool open(const std::string& path, bool writable, bool create = false);
    // Takes an advisory lock without waiting; false when another holder has a
    // conflicting one.
    bool lock(Lock kind);
    void close();

    bool isOpen() const { return fd_ >= 0; }
    bool writable() const { return writable_; }
    const std::string& path() const { return path_; }

    // Current length, or -1 on failure.
    long long length() const;
    // Reads exactly n bytes at offset; false when fewer exist or the read fails.
    bool readAt(long long offset, void* dst, std::size_t n) const;
    // Writes exactly n bytes at offset (the file grows when needed).
    bool writeAt(long long offset, const void* src, std::size_t n);
    bool writeAt(long long offset, std::string_view bytes) { return writeAt(offset, bytes.data(), bytes.size()); }
    bool truncate(long long length);

private:
    int fd_ = -1;
    bool writable_ = false;
    std::string path_;
};

// Integer fields inside a byte buffer. The caller guarantees the bytes exist.
inline std::uint32_t getLE(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
inline std::uint32_t getBE(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}
inline void putLE(unsigned char* p, int bytes, std::uint64_t v) {
    for (int i = 0; i < bytes; ++i, v >>= 8) p[i] = static_cast<unsigned char>(v & 0xFF);
}
inline void putBE(unsigned char* p, int bytes, std::uint64_t v) {
    for (int i = bytes - 1; i >= 0; --i, v >>= 8) p[i] = static_cast<unsigned char>(v & 0xFF);
}

} // namespace arti::xbase
