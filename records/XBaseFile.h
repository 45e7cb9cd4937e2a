// Plumbing shared by the xBase table, memo and index files: one open file with
// exact positional reads and writes, an advisory lock, and the little- and big-endian
// integer helpers of the on-disk formats.
#pragma once

#include "platform/SystemFile.h"

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
    // False when the file cannot be opened or is not a regular file; missing() then
    // tells whether it was not there.
    bool open(const std::string& path, bool writable, bool create = false);
    // Creates a new, empty file for writing whose name is `prefix` followed by
    // characters that make it unique in its folder.
    bool createUnique(const std::string& prefix);
    // Takes an advisory lock without waiting; false when another holder has a
    // conflicting one.
    bool lock(Lock kind);
    void close();

    bool isOpen() const { return file_.isOpen(); }
    // The last open() failed because the file (or its folder) does not exist.
    bool missing() const { return missing_; }
    bool writable() const { return writable_; }
    const std::string& path() const { return path_; }

    // Current length, or -1 on failure.
    long long length() const;
    // Reads exactly n bytes at offset; false when fewer exist or the read fails.
    bool readAt(long long offset, void* dst, std::size_t n) const;
    // Writes exactly n bytes at offset (the file grows when needed).
    bool writeAt(long long offset, const void* src, std::size_t n);
    bool writeAt(long long offset, std::string_view bytes) {
        return writeAt(offset, bytes.data(), bytes.size());
    }
    bool truncate(long long length);
    // Waits until what was written is on the disk.
    bool sync();

private:
    bool adopt(const std::string& path, bool writable);

    platform::SystemFile file_;
    bool writable_ = false;
    bool missing_ = false;
    std::string path_;
};

// Gives `from` the name `to` in one step, replacing a file of that name (also one that
// is still open).
bool renameFile(const std::string& from, const std::string& to);
// Removes a file; true when it is gone (also when it was never there). Its name is free
// at once, also while the file is still open.
bool removeFile(const std::string& path);
// Makes the names given and taken in a folder last on the disk.
bool syncFolder(const std::string& folder);

// Integer fields inside a byte buffer. The caller guarantees the bytes exist.
inline std::uint32_t getLE(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}
inline std::uint32_t getBE(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}
inline void putLE(unsigned char* p, int bytes, std::uint64_t v) {
    for (int i = 0; i < bytes; ++i, v >>= 8)
        p[i] = static_cast<unsigned char>(v & 0xFF);
}
inline void putBE(unsigned char* p, int bytes, std::uint64_t v) {
    for (int i = bytes - 1; i >= 0; --i, v >>= 8)
        p[i] = static_cast<unsigned char>(v & 0xFF);
}

} // namespace arti::xbase
