#include "platform/SystemFile.h"

#include "platform/Unicode.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>
#include <windows.h>

namespace arti::platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr int kGeneralFailure = 31;

HANDLE native(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

int lastError() {
    const DWORD code = ::GetLastError();
    return code == 0 ? kGeneralFailure : static_cast<int>(code);
}

// The wide path of a system call. A path too long for the plain calls is made absolute
// and given the \\?\ prefix, under which the system takes it as it is (so only
// backslashes separate its folders).
std::wstring systemName(const std::string& path) {
    std::wstring w = wide(path);
    if (w.size() < MAX_PATH - 12 || w.starts_with(L"\\\\?\\")) return w;
    const DWORD need = ::GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
    if (need == 0) return w;
    std::wstring full(need, L'\0');
    const DWORD got = ::GetFullPathNameW(w.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return w;
    full.resize(got);
    for (wchar_t& c : full)
        if (c == L'/') c = L'\\';
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// The volume serial number and the file index. A file system that keeps 128-bit file
// ids (ReFS) reports no index; its id is folded into the 64 bits.
std::optional<FileIdentity> identityOf(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info)) return std::nullopt;
    FileIdentity id{info.dwVolumeSerialNumber,
                    (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    FILE_ID_INFO wide{};
    if (id.inode == 0 && ::GetFileInformationByHandleEx(h, FileIdInfo, &wide, sizeof wide)) {
        unsigned long long halves[2] = {};
        std::memcpy(halves, wide.FileId.Identifier, sizeof halves);
        id = FileIdentity{wide.VolumeSerialNumber, halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15ULL)};
    }
    return id;
}

bool isFolder(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Six letters or digits no other name of this process has had, from a counter mixed
// with the process id and the clock.
std::string uniqueLetters() {
    static std::atomic<unsigned long long> serial{0};
    constexpr std::string_view kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned long long x = ::GetTickCount64() * 0x9E3779B97F4A7C15ULL ^ (++serial * 0xBF58476D1CE4E5B9ULL) ^
                           (static_cast<unsigned long long>(::GetCurrentProcessId()) << 20);
    std::string out;
    for (int i = 0; i < 6; ++i, x /= kChars.size())
        out += kChars[x % kChars.size()];
    return out;
}

struct ErrnoCode {
    int err;
    int code;
};
// The C runtime's errno values (of the few calls outside this layer) as Windows codes.
constexpr std::array<ErrnoCode, 29> kErrnoToDos = {{
    {ENOENT, 2},      {ENOTDIR, 3},        {EMFILE, 4},  {ENFILE, 4},   {EACCES, 5},   {EPERM, 5},
    {EISDIR, 5},      {EBADF, 6},          {ENOMEM, 8},  {EROFS, 19},   {ENODEV, 20},  {ENXIO, 21},
    {ESPIPE, 25},     {EIO, 30},           {EBUSY, 32},  {ETXTBSY, 32}, {EAGAIN, 33},  {ENOLCK, 33},
    {ENOSPC, 39},     {EXDEV, 17},         {ENOSYS, 1},  {EEXIST, 80},  {EINVAL, 87},  {EPIPE, 109},
    {ENOTEMPTY, 145}, {ENAMETOOLONG, 206}, {EFBIG, 223}, {EFAULT, 487}, {ELOOP, 1921},
}};

} // namespace

int dosErrorFromErrno(int err) {
    if (err == 0) return 0;
    for (const auto& [e, code] : kErrnoToDos)
        if (e == err) return code;
    return kGeneralFailure;
}

std::string systemErrorText(int code) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring w = n > 0 && text ? std::wstring(text, n) : std::wstring();
    if (text) ::LocalFree(text);
    while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L' ' || w.back() == L'.'))
        w.pop_back();
    return w.empty() ? "Unbekannter Fehler" : narrow(w);
}

std::optional<FileIdentity> fileIdentity(const std::string& path, bool followLinks) {
    // No access beyond the attributes: the file may be open or locked by anyone.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE h = ::CreateFileW(systemName(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                   OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::optional<FileIdentity> id = identityOf(h);
    ::CloseHandle(h);
    return id;
}

int SystemFile::open(const std::string& path, FileMode mode) {
    close();
    const DWORD access = (mode.read ? GENERIC_READ : 0) | (mode.write ? GENERIC_WRITE : 0);
    DWORD disposition = OPEN_EXISTING;
    if (mode.create && mode.exclusive)
        disposition = CREATE_NEW;
    else if (mode.create)
        disposition = mode.truncate ? CREATE_ALWAYS : OPEN_ALWAYS;
    else if (mode.truncate)
        disposition = TRUNCATE_EXISTING;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (mode.noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE h =
        ::CreateFileW(systemName(path).c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lastError();
    if (mode.noFollow) {
        // A link made there in the meantime.
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
            (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            ::CloseHandle(h);
            return ERROR_CANT_RESOLVE_FILENAME;
        }
    }
    if (isFolder(h)) {
        ::CloseHandle(h);
        return ERROR_ACCESS_DENIED;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return 0;
}

int SystemFile::createUnique(const std::string& prefix, std::string& path) {
    close();
    int code = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = prefix + uniqueLetters();
        code = open(path, FileMode{.read = true, .write = true, .create = true, .exclusive = true});
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return code;
    }
    return code;
}

bool SystemFile::regular() const {
    return isOpen() && ::GetFileType(native(handle_)) == FILE_TYPE_DISK;
}

std::optional<FileIdentity> SystemFile::identity() const {
    return isOpen() ? identityOf(native(handle_)) : std::nullopt;
}

namespace {

// Places a read or write at `offset`, leaving the handle's position aside.
OVERLAPPED placedAt(long long offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    return at;
}

// The bytes one call reads or writes: at most 1 GiB, the rest in further calls.
DWORD oneCall(std::size_t n) {
    return n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
}

} // namespace

long long SystemFile::readAt(long long offset, void* dst, std::size_t n, int& error) const {
    OVERLAPPED at = placedAt(offset);
    DWORD got = 0;
    const DWORD want = oneCall(n);
    error = 0;
    if (!::ReadFile(native(handle_), dst, want, &got, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
        error = lastError();
        return -1;
    }
    return got;
}

long long SystemFile::writeAt(long long offset, const void* src, std::size_t n, int& error) {
    OVERLAPPED at = placedAt(offset);
    DWORD put = 0;
    const DWORD want = oneCall(n);
    error = 0;
    if (!::WriteFile(native(handle_), src, want, &put, &at)) {
        error = lastError();
        return -1;
    }
    return put;
}

int SystemFile::append(std::string_view data) {
    int error = 0;
    long long end = size(error);
    while (error == 0 && !data.empty()) {
        const long long put = writeAt(end, data.data(), data.size(), error);
        if (put <= 0) return error != 0 ? error : kGeneralFailure;
        data.remove_prefix(static_cast<std::size_t>(put));
        end += put;
    }
    return error;
}

long long SystemFile::size(int& error) const {
    LARGE_INTEGER n{};
    if (!::GetFileSizeEx(native(handle_), &n)) {
        error = lastError();
        return -1;
    }
    error = 0;
    return n.QuadPart;
}

int SystemFile::truncate(long long length) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = length;
    return ::SetFileInformationByHandle(native(handle_), FileEndOfFileInfo, &end, sizeof end) ? 0
                                                                                              : lastError();
}

int SystemFile::flush() {
    return ::FlushFileBuffers(native(handle_)) ? 0 : lastError();
}

bool SystemFile::lock(FileLock kind, bool wait) {
    if (!isOpen()) return false;
    OVERLAPPED at{};
    const DWORD flags =
        (kind == FileLock::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    return ::LockFileEx(native(handle_), flags, 0, MAXDWORD, MAXDWORD, &at);
}

int SystemFile::takePermissionsOf(const std::string& /*model*/) {
    return 0;
}

int SystemFile::close() {
    if (!isOpen()) return ERROR_INVALID_HANDLE;
    // Closing the handle also releases its locks.
    const bool ok = ::CloseHandle(native(handle_));
    handle_ = kNoHandle;
    return ok ? 0 : lastError();
}

namespace {

// The system's own form of a path (\??\C:\...), as a rename by handle takes it.
std::wstring ntName(const std::string& path) {
    std::wstring full = systemName(path);
    if (!full.starts_with(L"\\\\?\\")) {
        const DWORD need = ::GetFullPathNameW(full.c_str(), 0, nullptr, nullptr);
        if (need == 0) return {};
        std::wstring buffer(need, L'\0');
        const DWORD got = ::GetFullPathNameW(full.c_str(), need, buffer.data(), nullptr);
        if (got == 0 || got >= need) return {};
        buffer.resize(got);
        full = buffer.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + buffer.substr(2) : L"\\\\?\\" + buffer;
    }
    full[1] = L'?'; // the prefix \\?\ becomes \??\ here
    return full;
}

// Renames with the semantics of a POSIX rename: a target that is open somewhere is
// replaced too, its handles keep the former file. Windows 10 and later.
bool renameOverOpenFile(const std::string& from, const std::string& to) {
    const std::wstring target = ntName(to);
    if (target.empty()) return false;
    const HANDLE h = ::CreateFileW(systemName(from).c_str(), DELETE | SYNCHRONIZE, kShareAll, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const std::size_t bytes = target.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    // The flags take the place of ReplaceIfExists (and the padding behind it).
    const DWORD flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    std::memcpy(buffer.data(), &flags, sizeof flags);
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(bytes);
    std::memcpy(info->FileName, target.data(), bytes);
    constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22); // FileRenameInfoEx
    const bool renamed =
        ::SetFileInformationByHandle(h, kRenameInfoEx, info, static_cast<DWORD>(buffer.size()));
    ::CloseHandle(h);
    return renamed;
}

// Gives an existing file a unique name beside it; the name, or empty on failure.
std::string park(const std::string& path) {
    const std::string parked = path + ".del-" + uniqueLetters();
    return ::MoveFileExW(systemName(path).c_str(), systemName(parked).c_str(), 0) ? parked : std::string();
}

} // namespace

int replaceFile(const std::string& from, const std::string& to) {
    const std::wstring source = systemName(from);
    const std::wstring target = systemName(to);
    constexpr DWORD kReplace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (::MoveFileExW(source.c_str(), target.c_str(), kReplace)) return 0;
    const int code = lastError();
    if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) return code;
    // The target is open somewhere (with the sharing of our files): replaced with POSIX
    // semantics where the system has them, else first moved aside under a name of its
    // own, which the system removes when its last handle closes.
    if (renameOverOpenFile(from, to)) return 0;
    const std::string parked = park(to);
    if (parked.empty()) return code;
    if (!::MoveFileExW(source.c_str(), target.c_str(), kReplace)) {
        const int failed = lastError();
        ::MoveFileExW(systemName(parked).c_str(), target.c_str(), 0); // the former file back
        return failed;
    }
    ::DeleteFileW(systemName(parked).c_str());
    return 0;
}

int removeFile(const std::string& path) {
    const std::wstring name = systemName(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? 0 : lastError();
    }
    // A file that is still open somewhere keeps its name until its last handle closes.
    // Renamed first to a name of its own beside it, it frees the name at once; the
    // system removes it when the last handle closes.
    if (const std::string parked = park(path); !parked.empty()) {
        const std::wstring parkedName = systemName(parked);
        if (::DeleteFileW(parkedName.c_str())) return 0;
        const int code = lastError();
        ::MoveFileExW(parkedName.c_str(), name.c_str(), 0); // keep the file where it was
        return code;
    }
    return ::DeleteFileW(name.c_str()) ? 0 : lastError();
}

int syncFolder(const std::string& /*folder*/) {
    return 0;
}

int makeFolder(const std::string& path) {
    return ::CreateDirectoryW(systemName(path).c_str(), nullptr) ? 0 : lastError();
}

int removeFolder(const std::string& path) {
    return ::RemoveDirectoryW(systemName(path).c_str()) ? 0 : lastError();
}

int setReadOnly(const std::string& path, bool readOnly) {
    const std::wstring name = systemName(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return lastError();
    const DWORD changed = readOnly ? attributes | FILE_ATTRIBUTE_READONLY
                                   : attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    return ::SetFileAttributesW(name.c_str(), changed) ? 0 : lastError();
}

bool replaceable(const std::string& path) {
    const DWORD file = ::GetFileAttributesW(systemName(path).c_str());
    if (file != INVALID_FILE_ATTRIBUTES) {
        if ((file & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
    } else if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    const auto end = path.find_last_of(kFolderSeparators);
    const std::string folder = end == std::string::npos ? "." : path.substr(0, end == 0 ? 1 : end);
    // The read-only attribute of a folder means nothing to the files in it.
    const DWORD attributes = ::GetFileAttributesW(
        systemName(folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isSymbolicLink(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(systemName(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string resolvedPath(const std::string& path) {
    const HANDLE h = ::CreateFileW(systemName(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::wstring out(MAX_PATH, L'\0');
    DWORD n =
        ::GetFinalPathNameByHandleW(h, out.data(), static_cast<DWORD>(out.size()), FILE_NAME_NORMALIZED);
    if (n >= out.size()) {
        out.resize(n + 1);
        n = ::GetFinalPathNameByHandleW(h, out.data(), static_cast<DWORD>(out.size()), FILE_NAME_NORMALIZED);
    }
    ::CloseHandle(h);
    if (n == 0 || n >= out.size()) return {};
    out.resize(n);
    // The plain name where it fits; a long one keeps its prefix.
    if (out.starts_with(L"\\\\?\\") && out.size() < MAX_PATH && !out.starts_with(L"\\\\?\\UNC\\"))
        out.erase(0, 4);
    return narrow(out);
}

} // namespace arti::platform
