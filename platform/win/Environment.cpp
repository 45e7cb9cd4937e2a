#include "platform/Environment.h"

#include "platform/Unicode.h"

#include <cstdlib>
#include <random>
#include <windows.h>

namespace arti::platform {

std::optional<std::string> environmentValue(const std::string& name) {
    const std::wstring n = wide(name);
    std::wstring buf(256, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD len = GetEnvironmentVariableW(n.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
        if (len == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (len < buf.size()) return narrow(std::wstring_view(buf.data(), len));
        buf.resize(len);
    }
}

// Both the process environment (programs started later, GetEnvironmentVariableW) and the
// C runtime's copy of it (getenv, _wgetenv) are changed.
bool setEnvironmentValue(const std::string& name, const std::string& value) {
    const std::wstring n = wide(name);
    const std::wstring v = wide(value);
    if (n.empty() || n.find(L'=') != std::wstring::npos) return false;
    if (!SetEnvironmentVariableW(n.c_str(), v.c_str())) return false;
    return _wputenv_s(n.c_str(), v.c_str()) == 0;
}

bool unsetEnvironmentValue(const std::string& name) {
    const std::wstring n = wide(name);
    if (n.empty() || n.find(L'=') != std::wstring::npos) return false;
    if (!SetEnvironmentVariableW(n.c_str(), nullptr) && GetLastError() != ERROR_ENVVAR_NOT_FOUND)
        return false;
    // An empty value removes the variable from the C runtime's environment.
    return _wputenv_s(n.c_str(), L"") == 0;
}

// The folder inherits the access rights of its parent: the user's temporary folder is
// the user's own.
std::string makePrivateFolder(const std::string& parent, const std::string& prefix) {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string base = parent;
    if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
    base += prefix;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = base;
        for (int i = 0; i < 6; ++i)
            path += kChars[pick(random)];
        if (CreateDirectoryW(wide(path).c_str(), nullptr)) return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

} // namespace arti::platform
