#include "platform/SystemFile.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace arti::platform {

namespace {

// errno -> Windows error code. Codes above 39 are Windows codes of the same meaning
// (80 file exists, 87 invalid parameter, 109 broken pipe, 145 directory not empty,
// 206 name too long, 223 file too large, 487 invalid address, 1921 unresolvable link);
// for those the box shows the system's own text of the errno below.
constexpr std::array<std::pair<int, int>, 30> kErrnoToDos = {{
    {ENOENT, 2},  {ENOTDIR, 3},     {EMFILE, 4},         {ENFILE, 4},   {EACCES, 5},   {EPERM, 5},
    {EISDIR, 5},  {EBADF, 6},       {ENOMEM, 8},         {EROFS, 19},   {ENODEV, 20},  {ENXIO, 21},
    {ESPIPE, 25}, {EIO, 30},        {EBUSY, 32},         {ETXTBSY, 32}, {EAGAIN, 33},  {ENOLCK, 33},
    {ENOSPC, 39}, {EDQUOT, 39},     {EXDEV, 17},         {ENOSYS, 1},   {EEXIST, 80},  {EINVAL, 87},
    {EPIPE, 109}, {ENOTEMPTY, 145}, {ENAMETOOLONG, 206}, {EFBIG, 223},  {EFAULT, 487}, {ELOOP, 1921},
}};

constexpr int kGeneralFailure = 31;

int lastError() {
    return dosErrorFromErrno(errno);
}

int fd(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// Runs a system call again while a signal interrupts it.
template <class Call> auto retried(Call call) {
    auto rc = call();
    while (rc < 0 && errno == EINTR)
        rc = call();
    return rc;
}

FileIdentity identityOf(const struct stat& st) {
    return FileIdentity{static_cast<unsigned long long>(st.st_dev),
                        static_cast<unsigned long long>(st.st_ino)};
}

} // namespace

int dosErrorFromErrno(int err) {
    if (err == 0) return 0;
    for (const auto& [e, code] : kErrnoToDos)
        if (e == err) return code;
    return kGeneralFailure;
}

std::string systemErrorText(int code) {
    // The text of the errno that produces the code, else the C library's text of the
    // number itself.
    int err = code;
    for (const auto& [e, dos] : kErrnoToDos) {
        if (dos == code && dos > 39) {
            err = e;
            break;
        }
    }
    return std::strerror(err);
}

std::optional<FileIdentity> fileIdentity(const std::string& path, bool followLinks) {
    struct stat st {};
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return std::nullopt;
    return identityOf(st);
}

int SystemFile::open(const std::string& path, FileMode mode) {
    close();
    int flags = mode.write ? (mode.read ? O_RDWR : O_WRONLY) : O_RDONLY;
    flags |= O_CLOEXEC;
    if (mode.create) flags |= O_CREAT;
    if (mode.truncate) flags |= O_TRUNC;
    if (mode.exclusive) flags |= O_EXCL;
    if (mode.noFollow) flags |= O_NOFOLLOW;
    if (mode.noBlock) flags |= O_NONBLOCK;
    const int opened = retried([&] { return ::open(path.c_str(), flags, 0666); });
    if (opened < 0) return lastError();
    struct stat st {};
    if (::fstat(opened, &st) != 0 || S_ISDIR(st.st_mode)) {
        // A folder opens read-only under POSIX; as a file it is refused like Windows does.
        const int code = S_ISDIR(st.st_mode) ? dosErrorFromErrno(EISDIR) : lastError();
        ::close(opened);
        return code;
    }
    handle_ = opened;
    return 0;
}

int SystemFile::createUnique(const std::string& prefix, std::string& path) {
    close();
    path = prefix + "XXXXXX";
    const int opened = ::mkstemp(path.data());
    if (opened < 0) return lastError();
    handle_ = opened;
    return 0;
}

bool SystemFile::regular() const {
    struct stat st {};
    return isOpen() && ::fstat(fd(handle_), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<FileIdentity> SystemFile::identity() const {
    struct stat st {};
    if (!isOpen() || ::fstat(fd(handle_), &st) != 0) return std::nullopt;
    return identityOf(st);
}

long long SystemFile::readAt(long long offset, void* dst, std::size_t n, int& error) const {
    const ssize_t got = retried([&] { return ::pread(fd(handle_), dst, n, static_cast<off_t>(offset)); });
    error = got < 0 ? lastError() : 0;
    return got;
}

long long SystemFile::writeAt(long long offset, const void* src, std::size_t n, int& error) {
    const ssize_t put = retried([&] { return ::pwrite(fd(handle_), src, n, static_cast<off_t>(offset)); });
    error = put < 0 ? lastError() : 0;
    return put;
}

int SystemFile::append(std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = retried([&] { return ::write(fd(handle_), data.data(), data.size()); });
        if (n < 0) return lastError();
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

long long SystemFile::size(int& error) const {
    struct stat st {};
    if (::fstat(fd(handle_), &st) != 0) {
        error = lastError();
        return -1;
    }
    error = 0;
    return static_cast<long long>(st.st_size);
}

int SystemFile::truncate(long long length) {
    return retried([&] { return ::ftruncate(fd(handle_), static_cast<off_t>(length)); }) == 0 ? 0
                                                                                              : lastError();
}

int SystemFile::flush() {
    return retried([&] { return ::fsync(fd(handle_)); }) == 0 ? 0 : lastError();
}

bool SystemFile::lock(FileLock kind, bool wait) {
    if (!isOpen()) return false;
    const int op = (kind == FileLock::Exclusive ? LOCK_EX : LOCK_SH) | (wait ? 0 : LOCK_NB);
    return retried([&] { return ::flock(fd(handle_), op); }) == 0;
}

int SystemFile::takePermissionsOf(const std::string& model) {
    struct stat st {};
    mode_t mode = 0;
    if (::stat(model.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::fchmod(fd(handle_), mode) == 0 ? 0 : lastError();
}

int SystemFile::close() {
    if (!isOpen()) return dosErrorFromErrno(EBADF);
    // Closing the descriptor also releases its flock.
    const int rc = ::close(fd(handle_));
    handle_ = kNoHandle;
    return rc == 0 ? 0 : lastError();
}

int replaceFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : lastError();
}

int removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : lastError();
}

int syncFolder(const std::string& folder) {
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return lastError();
    const int code = ::fsync(dir) == 0 ? 0 : lastError();
    ::close(dir);
    return code;
}

int makeFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? 0 : lastError();
}

int removeFolder(const std::string& path) {
    return ::rmdir(path.c_str()) == 0 ? 0 : lastError();
}

int setReadOnly(const std::string& path, bool readOnly) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return lastError();
    const mode_t mode = readOnly ? (st.st_mode & 07555) : (st.st_mode | 0200);
    return ::chmod(path.c_str(), mode) == 0 ? 0 : lastError();
}

bool replaceable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
            return false;
    } else if (errno != ENOENT) {
        return false;
    }
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return (st.st_mode & 0222) != 0 && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool isSymbolicLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string resolvedPath(const std::string& path) {
    std::error_code ec;
    const auto resolved = std::filesystem::weakly_canonical(path, ec);
    return ec ? std::string() : resolved.string();
}

} // namespace arti::platform
