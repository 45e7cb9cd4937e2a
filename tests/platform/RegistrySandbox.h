// Test helpers: environment variables set for one test, and a registry of its own (both
// hives in a fresh folder through ARTISCOPE_REGISTRY_DIR).
#pragma once

#include "platform/Registry.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arti::test {

// Sets (or with nullopt unsets) one environment variable and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
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

inline void makeReadOnly(const std::string& path) {
    ::chmod(path.c_str(), 0555);
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

} // namespace arti::test
