// The figures of the running system that the about box shows: the memory status (as
// Windows' GlobalMemoryStatus gives it), the allocator's own figures, the volume of a
// folder and the version texts of the runtime and the kernel; and the system figures
// service on them, the default of services().resources.
#pragma once

#include "core/Services.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace arti::platform {

MemoryStatus memoryStatus();
// The value of a "Name:   1234 kB" line of /proc/meminfo or /proc/self/status in bytes;
// false when the text has no such line.
bool kbValue(std::string_view text, std::string_view name, std::uint64_t& bytes);
// The memory status from the text of /proc/meminfo and the mapped size of the process
// (VmSize of /proc/self/status, in bytes) within an address space of `addressSpace` bytes.
MemoryStatus memoryStatusFrom(std::string_view meminfo, std::uint64_t mappedBytes,
                              std::uint64_t addressSpace);

AllocatorStatus allocatorStatus();

// The volume that holds `folder` (a path of the file system): on Windows its name, serial
// number and file system as the volume reports them.
VolumeInfo volumeInfo(const std::string& folder);
// The mount table line (of /proc/self/mounts) whose mount point is the longest prefix of
// `path`: its device and file-system type. Octal escapes (\040) are resolved.
struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string type;
};
MountEntry mountOf(std::string_view mounts, std::string_view path);

// "GCC 12.2.0, glibc 2.36" or "GCC 12-posix, MinGW-w64 10.0": the compiler of the
// program and the C library it runs on.
std::string runtimeVersion();
// "Linux 6.1.0-18-amd64 x86_64" from uname; "Windows 10.0.19045" from the kernel's version.
std::string kernelDescription();

// The system figures service on the functions above.
class SystemResources final : public IResourceMeter {
public:
    // There is no pool of window and graphics resources on this system that could run
    // short like that of old Windows: the share is always reported as ample.
    int freePercent() const override { return 100; }
    MemoryStatus memory() const override { return memoryStatus(); }
    AllocatorStatus allocator() const override { return allocatorStatus(); }
    // C++ has no garbage collector: no collection has ever run.
    std::uint64_t collections() const override { return 0; }
    VolumeInfo currentVolume() const override;
    std::string runtimeVersion() const override { return platform::runtimeVersion(); }
    std::string systemDescription() const override { return kernelDescription(); }
};

} // namespace arti::platform

namespace arti {

// The system figures in effect: those installed in services(), else the system's.
const IResourceMeter& resourceMeter();

} // namespace arti
