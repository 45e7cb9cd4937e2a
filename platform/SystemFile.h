// Files as the system gives them: one open file with reads and writes at an offset, its
// length and identity, a lock, and the calls on names (replace, remove, identity). Every
// path is a UTF-8 text; failures are DOS/Windows error codes (0: none), as the program
// reports them: on Windows the system's own code, elsewhere the code that stands for
// the errno value. Every file is opened binary: bytes pass unchanged both ways.
//
// On Windows every file is opened with the sharing of a POSIX file (read, write and
// delete), so that a file of ours can be renamed over or removed while another handle
// of it is open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace arti::platform {

// The characters that end a folder in a path.
#ifdef _WIN32
inline constexpr std::string_view kFolderSeparators = "/\\";
#else
inline constexpr std::string_view kFolderSeparators = "/";
#endif

// DOS/Windows error codes the file layer itself gives.
namespace dos {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kInvalidHandle = 6;
inline constexpr int kNotEnoughMemory = 8;
inline constexpr int kInvalidParameter = 87;
} // namespace dos

// The DOS/Windows code that stands for a C runtime errno value (0 for 0). Values
// without a close counterpart give 31, the general failure.
int dosErrorFromErrno(int err);
// The system's own text (UTF-8) for a code that the program's table has no text for.
std::string systemErrorText(int code);

// What tells a file apart whatever its name: device and inode, or on Windows the volume
// serial number and the file index.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file a path names; none when the path names no file. Without
// `followLinks` a symbolic link is taken as itself.
std::optional<FileIdentity> fileIdentity(const std::string& path, bool followLinks = true);
// Both paths exist and name the same file (also through another name, a hard link, a
// symbolic link, or on Windows another case of the letters).
bool sameFile(const std::string& a, const std::string& b);

enum class FileLock { Shared, Exclusive };

// How open() opens a file: access, what to do about a missing or existing file.
struct FileMode {
    bool read = true;
    bool write = false;
    bool create = false;    // make a missing file
    bool truncate = false;  // empty an existing file
    bool exclusive = false; // only a new file (with create)
    bool noFollow = false;  // a symbolic link at the name is refused, never followed
    bool noBlock = false;   // a FIFO or device does not make the open wait
};

class SystemFile {
public:
    SystemFile() = default;
    ~SystemFile();
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;
    SystemFile(SystemFile&& other) noexcept;
    SystemFile& operator=(SystemFile&& other) noexcept;

    // Opens `path`; 0 or the code of the failure. A folder is refused (code 5).
    int open(const std::string& path, FileMode mode);
    // Creates a new, empty file for reading and writing named `prefix` followed by six
    // letters or digits that make it unique in its folder; `path` receives its name.
    int createUnique(const std::string& prefix, std::string& path);
    bool isOpen() const { return handle_ != kNoHandle; }
    // A plain file (no FIFO, device or other special file).
    bool regular() const;
    std::optional<FileIdentity> identity() const;

    // One system read or write at `offset`: the bytes moved (fewer at the end of the
    // file), or -1 with `error` set.
    long long readAt(long long offset, void* dst, std::size_t n, int& error) const;
    long long writeAt(long long offset, const void* src, std::size_t n, int& error);
    // Appends all of `data` at the end the file has now.
    int append(std::string_view data);
    // The length now, or -1 with `error` set.
    long long size(int& error) const;
    int truncate(long long length);
    // Waits until what was written is on the disk.
    int flush();
    // Takes a lock on the whole file; without `wait` false at once when another holder
    // has a conflicting one. On Windows the lock is binding: a region locked by one
    // handle cannot be written (exclusive: nor read) through another.
    bool lock(FileLock kind, bool wait = false);
    // The permission bits of the file at `model` (its default ones when there is none);
    // nothing to do on Windows.
    int takePermissionsOf(const std::string& model);
    // Closes the file (releasing its lock); 0 or the code of a failed close.
    int close();

private:
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle; // a descriptor, or on Windows a HANDLE
};

// Gives `from` the name `to` in one step, replacing a file of that name, also one that
// is open; on Windows the replacement is written through to the disk.
int replaceFile(const std::string& from, const std::string& to);
// Removes a file; 0 when it is gone (also when it was never there). On Windows the name
// is free at once even while the file is still open somewhere.
int removeFile(const std::string& path);
// Makes the names given and taken in a folder last on the disk (Windows does that
// with the rename itself).
int syncFolder(const std::string& folder);
// Makes a folder (its parent must exist), and removes an empty one.
int makeFolder(const std::string& path);
int removeFolder(const std::string& path);
// Makes a file read-only (or writable again) for everybody.
int setReadOnly(const std::string& path, bool readOnly);
// A save to `path` can succeed as far as permissions go: an existing file is a plain
// file that is not read-only, and its folder exists and is writable. The permission
// bits are looked at as well as the access check, so a read-only file counts as
// read-only even for the superuser.
bool replaceable(const std::string& path);
// The name is a symbolic link; the path it leads to in the end (empty on failure).
bool isSymbolicLink(const std::string& path);
std::string resolvedPath(const std::string& path);

} // namespace arti::platform
