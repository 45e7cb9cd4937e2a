#include "platform/OsInfo.h"

#include "platform/Environment.h"
#include "platform/ProfileFile.h"
#include "platform/SystemInfo.h"
#include "platform/Unicode.h"

#include <windows.h>

namespace arti::platform {

namespace {

// A text value of HKLM's CurrentVersion key, as the 64-bit view holds it; empty when it
// is missing.
std::string currentVersionValue(const wchar_t* name) {
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    DWORD size = 0;
    const DWORD flags = RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, flags, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::wstring buf(size / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, flags, nullptr, buf.data(), &size) != ERROR_SUCCESS)
        return {};
    buf.resize(wcslen(buf.c_str()));
    return narrow(buf);
}

} // namespace

OsVersion osVersion() {
    OsVersion v;
    v.productName = currentVersionValue(L"ProductName");
    v.releaseId = currentVersionValue(L"ReleaseId");
    v.buildLab = currentVersionValue(L"BuildLab");
    if (v.buildLab.empty()) v.buildLab = kernelDescription();
    return v;
}

// A 32-bit program on a 64-bit Windows runs under WOW64.
int osWordSize() {
    if (sizeof(void*) >= 8) return 64;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? 64 : 32;
}

std::string windowsEnvironmentValue(std::string_view name) {
    if (!equalsIgnoreCase(name, "USERPROFILE") && !equalsIgnoreCase(name, "SYSTEMROOT")) return {};
    return environmentValue(std::string(name)).value_or(std::string());
}

} // namespace arti::platform
