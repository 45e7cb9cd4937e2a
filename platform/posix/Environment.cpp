#include "platform/Environment.h"

#include <cstdlib>

namespace arti::platform {

std::optional<std::string> environmentValue(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    return v ? std::optional<std::string>(v) : std::nullopt;
}

bool setEnvironmentValue(const std::string& name, const std::string& value) {
    return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool unsetEnvironmentValue(const std::string& name) {
    return ::unsetenv(name.c_str()) == 0;
}

std::string makePrivateFolder(const std::string& parent, const std::string& prefix) {
    std::string pattern = parent;
    if (!pattern.empty() && pattern.back() != '/') pattern += '/';
    pattern += prefix + "XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

} // namespace arti::platform
