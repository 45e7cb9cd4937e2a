#include "platform/Shell.h"

#include "core/Text.h"

#include "platform/Unicode.h"

#include <string_view>
#include <windows.h>
// ShellExecuteW (after windows.h, which it needs).
#include <shellapi.h>

namespace arti::platform {

namespace {

// 0 when the local target exists, else the code ShellExecuteW gives for it; asked before
// the shell so that a missing file never starts anything.
long checkLocalTarget(const std::wstring& target) {
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) return 0;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
        return kShellFileNotFound;
    case ERROR_PATH_NOT_FOUND:
        return kShellPathNotFound;
    case ERROR_ACCESS_DENIED:
        return kShellAccessDenied;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_PATHNAME:
        return kShellBadName;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return kShellOutOfMemory;
    default:
        return kShellFailed;
    }
}

} // namespace

// ShellExecuteW's result is a number in a handle: greater than 32 for success (reported
// as kShellSuccess), 0 when the system is out of memory or resources, otherwise the
// failure codes the constants name.
long shellOpen(const std::string& target, const std::string& verb, std::chrono::milliseconds) {
    if (!verb.empty() && verb != "open" && verb != "explore") return kShellNoAssociation;
    if (target.empty() || target.find('\0') != std::string::npos) return kShellBadName;
    const std::wstring file = wide(target);
    if (!hasScheme(target)) {
        if (const long failure = checkLocalTarget(file); failure != 0) return failure;
    }
    const std::wstring action = wide(verb);
    const HINSTANCE h = ShellExecuteW(nullptr, action.empty() ? nullptr : action.c_str(), file.c_str(),
                                      nullptr, nullptr, SW_SHOWNORMAL);
    const auto result = reinterpret_cast<INT_PTR>(h);
    if (result > 32) return kShellSuccess;
    return result == 0 ? kShellOutOfMemory : static_cast<long>(result);
}

long DesktopShell::open(Owner, const std::string& target, const std::string& verb, const std::string&) {
    return shellOpen(systemPath(target), verb);
}

} // namespace arti::platform
