// Test helpers: environment variables set for one test, and a registry of its own (both
// hives in a fresh folder through ARTISCOPE_REGISTRY_DIR).
#pragma once

#include "platform/Environment.h"
#include "platform/Registry.h"
#include "platform/Unicode.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace arti::test {

// Sets (or with nullopt unsets) one environment variable and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value)
        : name_(name), old_(platform::environmentValue(name)) {
        set(value);
    }
    ~ScopedEnv() { set(old_); }
    void set(const std::optional<std::string>& value) const {
        if (value)
            platform::setEnvironmentValue(name_, *value);
        else
            platform::unsetEnvironmentValue(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A file or folder nobody may change (on Windows the read-only attribute of a file: a
// folder's attribute does not keep files from being made in it).
inline void makeReadOnly(const std::string& path) {
#ifdef _WIN32
    SetFileAttributesW(platform::wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
#else
    ::chmod(path.c_str(), 0555);
#endif
}

// Undoes makeReadOnly() for the owner.
inline void makeWritable(const std::string& path) {
#ifdef _WIN32
    SetFileAttributesW(platform::wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    ::chmod(path.c_str(), std::filesystem::is_directory(path) ? 0755 : 0644);
#endif
}

class RegistrySandbox {
public:
    RegistrySandbox() : env_("ARTISCOPE_REGISTRY_DIR", dir_.path().string()) {}

    std::string folder() const { return dir_.path().string(); }
    std::string hkcu() const { return platform::hiveFile(platform::RegHive::CurrentUser); }
    std::string hklm() const { return platform::hiveFile(platform::RegHive::LocalMachine); }

    // Writes one value straight through the registry layer; false when that failed.
    static bool put(platform::RegHive hive, const std::string& key, const std::string& name,
                    const std::string& text) {
        platform::RegKey k;
        return platform::regCreateKey(hive, key, k) == platform::kRegSuccess &&
               platform::regSetValue(k, name, text) == platform::kRegSuccess;
    }
    // The stored value, or nullopt when the key or the value is missing.
    static std::optional<std::string> get(platform::RegHive hive, const std::string& key,
                                          const std::string& name) {
        platform::RegKey k;
        std::string text;
        if (platform::regOpenKey(hive, key, platform::RegAccess::Read, k) != platform::kRegSuccess)
            return std::nullopt;
        if (platform::regQueryValue(k, name, 1 << 20, text) != platform::kRegSuccess) return std::nullopt;
        return text;
    }

private:
    TempDir dir_;
    ScopedEnv env_;
};

// Counts how often a file is replaced from now on: every save renames a new file over it,
// which the folder's change notifications report.
#ifdef _WIN32
class FileRewrites {
public:
    explicit FileRewrites(const std::string& path)
        : folder_(CreateFileW(platform::fsPath(path).parent_path().wstring().c_str(), FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr)),
          name_(platform::fsPath(path).filename().wstring()) {
        done_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        watch();
    }
    ~FileRewrites() {
        CancelIo(folder_);
        DWORD ignored = 0;
        GetOverlappedResult(folder_, &done_, &ignored, TRUE);
        CloseHandle(done_.hEvent);
        CloseHandle(folder_);
    }
    FileRewrites(const FileRewrites&) = delete;
    FileRewrites& operator=(const FileRewrites&) = delete;

    // The replacements since the last call: a file renamed to the name, or the name's
    // file removed and made anew (as MoveFileEx over an existing file may be reported).
    int take() {
        int n = 0;
        DWORD got = 0;
        while (WaitForSingleObject(done_.hEvent, 200) == WAIT_OBJECT_0 &&
               GetOverlappedResult(folder_, &done_, &got, FALSE)) {
            for (DWORD at = 0; got > 0;) {
                const auto* e = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
                const std::wstring name(e->FileName, e->FileNameLength / sizeof(wchar_t));
                if (name == name_ &&
                    (e->Action == FILE_ACTION_RENAMED_NEW_NAME || e->Action == FILE_ACTION_ADDED))
                    ++n;
                if (e->NextEntryOffset == 0) break;
                at += e->NextEntryOffset;
            }
            watch();
        }
        return n;
    }

private:
    void watch() {
        ResetEvent(done_.hEvent);
        ReadDirectoryChangesW(folder_, buffer_, sizeof buffer_, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                              &done_, nullptr);
    }

    HANDLE folder_;
    std::wstring name_;
    OVERLAPPED done_{};
    alignas(DWORD) char buffer_[16384];
};
#else
class FileRewrites {
public:
    explicit FileRewrites(const std::string& path)
        : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          name_(std::filesystem::path(path).filename().string()) {
        inotify_add_watch(fd_, std::filesystem::path(path).parent_path().c_str(), IN_MOVED_TO);
    }
    ~FileRewrites() { ::close(fd_); }
    FileRewrites(const FileRewrites&) = delete;
    FileRewrites& operator=(const FileRewrites&) = delete;

    // The replacements since the last call.
    int take() {
        int n = 0;
        alignas(inotify_event) char buf[8192];
        for (ssize_t len; (len = ::read(fd_, buf, sizeof buf)) > 0;)
            for (ssize_t at = 0; at < len;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
                if (e->len > 0 && name_ == e->name) ++n;
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        return n;
    }

private:
    int fd_;
    std::string name_;
};
#endif

} // namespace arti::test
