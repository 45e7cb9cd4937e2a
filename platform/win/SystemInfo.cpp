#include "platform/SystemInfo.h"

#include "platform/Paths.h"
#include "platform/Unicode.h"

#include <malloc.h>
#include <windows.h>

// The version of the MinGW-w64 runtime the program was built with.
#include <_mingw.h>

namespace arti::platform {

namespace {

// The root of the volume that holds a path ("C:\", "\\server\share\", a mount point).
std::wstring volumeRoot(const std::string& folder) {
    std::wstring path = wide(folder.empty() ? currentFolder() : folder);
    std::wstring root(path.size() + MAX_PATH, L'\0');
    if (!GetVolumePathNameW(path.c_str(), root.data(), static_cast<DWORD>(root.size()))) return {};
    root.resize(wcslen(root.c_str()));
    return root;
}

} // namespace

MemoryStatus memoryStatus() {
    MEMORYSTATUSEX s{};
    s.dwLength = sizeof s;
    MemoryStatus m;
    if (!GlobalMemoryStatusEx(&s)) return m;
    m.loadPercent = static_cast<int>(s.dwMemoryLoad);
    m.totalPhysical = s.ullTotalPhys;
    m.availablePhysical = s.ullAvailPhys;
    m.totalPageFile = s.ullTotalPageFile;
    m.availablePageFile = s.ullAvailPageFile;
    m.totalVirtual = s.ullTotalVirtual;
    m.availableVirtual = s.ullAvailVirtual;
    return m;
}

// The C runtime's heap: the blocks it holds (used or free) and those in use. A heap that
// cannot be walked leaves the figures at what was counted.
AllocatorStatus allocatorStatus() {
    AllocatorStatus a;
    _HEAPINFO info{};
    while (_heapwalk(&info) == _HEAPOK) {
        a.reserved += info._size;
        if (info._useflag == _USEDENTRY) a.used += info._size;
    }
    return a;
}

VolumeInfo volumeInfo(const std::string& folder) {
    VolumeInfo v;
    // The volume path is found from the text alone: a folder that is not there has none.
    if (!folderExists(folder.empty() ? currentFolder() : folder)) return v;
    const std::wstring root = volumeRoot(folder);
    if (root.empty()) return v;
    wchar_t label[MAX_PATH + 1] = {};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    DWORD serial = 0;
    if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr, fileSystem,
                               MAX_PATH + 1))
        return v;
    v.known = true;
    v.label = narrow(label);
    v.serial = serial;
    v.fileSystem = narrow(fileSystem);
    return v;
}

std::string runtimeVersion() {
    return "GCC " __VERSION__ ", MinGW-w64 " __MINGW64_VERSION_STR;
}

// The kernel's own version: RtlGetVersion tells it whatever the program's manifest says
// (GetVersionEx answers 6.2 to a program that declares no newer Windows).
std::string kernelDescription() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return "Windows";
    const auto fn =
        reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!fn || fn(&info) != 0) return "Windows";
    return "Windows " + std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) +
           "." + std::to_string(info.dwBuildNumber);
}

} // namespace arti::platform
