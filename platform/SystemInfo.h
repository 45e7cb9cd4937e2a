// The figures of the running system that the about box shows: the memory status (as
// Windows' GlobalMemoryStatus gives it), the allocator's own figures, the volume of a
// folder and the version texts of the runtime and the kernel.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arti::platform {

// All sizes in bytes.
struct MemoryStatus {
    int loadPercent = 0;            // share of physical memory in use, 0 to 100
    std::uint64_t totalPhysical = 0;
    std::uint64_t availablePhysical = 0;
    std::uint64_t totalPageFile = 0;     // physical memory plus swap (the commit limit)
    std::uint64_t availablePageFile = 0; // available physical memory plus free swap
    std::uint64_t totalVirtual = 0;      // address space of this process
    std::uint64_t availableVirtual = 0;  // of it not yet mapped
};
MemoryStatus memoryStatus();
// The memory status from the text of /proc/meminfo and the mapped size of the process
// (VmSize of /proc/self/status, in bytes) within an address space of `addressSpace` bytes.
MemoryStatus memoryStatusFrom(std::string_view meminfo, std::uint64_t mappedBytes, std::uint64_t addressSpace);

// What the program's allocator has taken from the system and what of it is in use.
struct AllocatorStatus {
    std::uint64_t reserved = 0;
    std::uint64_t used = 0;
};
AllocatorStatus allocatorStatus();

struct VolumeInfo {
    bool known = false;        // false: the folder's volume could not be found
    std::string label;         // file-system label, empty when it has none
    std::uint64_t serial = 0;  // file-system id
    std::string fileSystem;    // type from the mount table, e.g. "ext4"
};
// The volume that holds `folder` (a path of the file system).
VolumeInfo volumeInfo(const std::string& folder);
// The mount table line (of /proc/self/mounts) whose mount point is the longest prefix of
// `path`: its device and file-system type. Octal escapes (\040) are resolved.
struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string type;
};
MountEntry mountOf(std::string_view mounts, std::string_view path);

// "GCC 12.2.0, glibc 2.36": the compiler of the program and the C library it runs on.
std::string runtimeVersion();
// "Linux 6.1.0-18-amd64 x86_64" from uname.
std::string kernelDescription();

} // namespace arti::platform
