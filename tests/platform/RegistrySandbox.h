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
#include <sys/stat.h>

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

} // namespace arti::test
