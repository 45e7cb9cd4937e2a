#include "platform/SystemInfo.h"

#include "platform/Paths.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
// glibc names its version; other C libraries (the web build's) do not.
#if __has_include(<gnu/libc-version.h>)
#include <gnu/libc-version.h>
#define ARTI_HAVE_GLIBC_VERSION 1
#endif
#include <malloc.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>

namespace arti::platform {

namespace {

std::string readWhole(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The value of a "Name:   1234 kB" line in bytes, or nothing.
bool kbValue(std::string_view text, std::string_view name, std::uint64_t& bytes) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ':')
            continue;
        std::uint64_t value = 0;
        bool digits = false;
        for (char c : line.substr(name.size() + 1)) {
            if (c >= '0' && c <= '9') {
                value = value * 10 + static_cast<std::uint64_t>(c - '0');
                digits = true;
            } else if (digits) {
                break;
            }
        }
        if (!digits) return false;
        bytes = line.find("kB") != std::string_view::npos ? value * 1024 : value;
        return true;
    }
    return false;
}

// The user part of the address space: a finite RLIMIT_AS, or what the architecture
// gives a process (47 bits on 64-bit x86 and ARM Linux, 3 GiB on 32-bit).
std::uint64_t addressSpace() {
    rlimit r{};
    if (::getrlimit(RLIMIT_AS, &r) == 0 && r.rlim_cur != RLIM_INFINITY) return r.rlim_cur;
    return sizeof(void*) >= 8 ? (std::uint64_t{1} << 47) : (std::uint64_t{3} << 30);
}

// The mount table escapes blanks, tabs, line ends and backslashes as \ooo.
std::string unescapeOctal(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && s.size() - i >= 4) {
            const std::string_view oct = s.substr(i + 1, 3);
            if (oct.size() == 3 && oct.find_first_not_of("01234567") == std::string_view::npos) {
                out += static_cast<char>(((oct[0] - '0') << 6) | ((oct[1] - '0') << 3) | (oct[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// udev's names in /dev/disk/by-label escape unsafe characters as \xHH.
std::string unescapeHex(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && s.size() - i >= 4 && s[i + 1] == 'x') {
            const std::string hex(s.substr(i + 2, 2));
            if (std::isxdigit(static_cast<unsigned char>(hex[0])) &&
                std::isxdigit(static_cast<unsigned char>(hex[1]))) {
                const long v = std::strtol(hex.c_str(), nullptr, 16);
                out += static_cast<char>(v);
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

bool underMountPoint(std::string_view path, std::string_view mountPoint) {
    if (mountPoint == "/") return !path.empty() && path.front() == '/';
    if (path.size() < mountPoint.size() || path.substr(0, mountPoint.size()) != mountPoint) return false;
    return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

std::string labelOf(const std::string& device) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec) return {};
    for (fs::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ec2;
        if (fs::canonical(it->path(), ec2) == target && !ec2)
            return unescapeHex(it->path().filename().string());
    }
    return {};
}

} // namespace

MemoryStatus memoryStatusFrom(std::string_view meminfo, std::uint64_t mappedBytes, std::uint64_t space) {
    MemoryStatus m;
    std::uint64_t total = 0, available = 0, swapTotal = 0, swapFree = 0;
    kbValue(meminfo, "MemTotal", total);
    if (!kbValue(meminfo, "MemAvailable", available)) {
        // Kernels before 3.14 know no MemAvailable: free memory and the page cache.
        std::uint64_t free = 0, cached = 0, buffers = 0;
        kbValue(meminfo, "MemFree", free);
        kbValue(meminfo, "Cached", cached);
        kbValue(meminfo, "Buffers", buffers);
        available = free + cached + buffers;
    }
    if (available > total) available = total;
    kbValue(meminfo, "SwapTotal", swapTotal);
    kbValue(meminfo, "SwapFree", swapFree);
    if (swapFree > swapTotal) swapFree = swapTotal;
    m.totalPhysical = total;
    m.availablePhysical = available;
    m.loadPercent = total == 0 ? 0 : static_cast<int>(((total - available) * 100 + total / 2) / total);
    m.totalPageFile = total + swapTotal;
    m.availablePageFile = available + swapFree;
    m.totalVirtual = space;
    m.availableVirtual = mappedBytes < space ? space - mappedBytes : 0;
    return m;
}

MemoryStatus memoryStatus() {
    std::uint64_t mapped = 0;
    kbValue(readWhole("/proc/self/status"), "VmSize", mapped);
    return memoryStatusFrom(readWhole("/proc/meminfo"), mapped, addressSpace());
}

AllocatorStatus allocatorStatus() {
#ifdef ARTI_HAVE_GLIBC_VERSION
    const struct mallinfo2 mi = ::mallinfo2();
#else
    const struct mallinfo mi = ::mallinfo(); // 32-bit counts, as the older call gives them
#endif
    AllocatorStatus a;
    a.reserved = mi.arena + mi.hblkhd;
    a.used = mi.uordblks + mi.hblkhd;
    return a;
}

MountEntry mountOf(std::string_view mounts, std::string_view path) {
    MountEntry best;
    std::size_t pos = 0;
    while (pos < mounts.size()) {
        std::size_t end = mounts.find('\n', pos);
        if (end == std::string_view::npos) end = mounts.size();
        std::istringstream line{std::string(mounts.substr(pos, end - pos))};
        pos = end + 1;
        std::string device, mountPoint, type;
        if (!(line >> device >> mountPoint >> type)) continue;
        mountPoint = unescapeOctal(mountPoint);
        // The last of equally long mount points is the one on top.
        if (underMountPoint(path, mountPoint) && mountPoint.size() >= best.mountPoint.size())
            best = {unescapeOctal(device), mountPoint, type};
    }
    return best;
}

VolumeInfo volumeInfo(const std::string& folder) {
    VolumeInfo v;
    std::error_code ec;
    const std::string path = std::filesystem::weakly_canonical(folder.empty() ? "." : folder, ec).string();
    struct statvfs st {};
    if (ec || ::statvfs(path.c_str(), &st) != 0) return v;
    const MountEntry mount = mountOf(readWhole("/proc/self/mounts"), path);
    v.known = true;
    v.serial = st.f_fsid;
    v.fileSystem = mount.type;
    if (!mount.device.empty() && mount.device.front() == '/') v.label = labelOf(mount.device);
    return v;
}

std::string runtimeVersion() {
    std::string compiler;
#if defined(__clang__)
    compiler = "Clang " __clang_version__;
#elif defined(__GNUC__)
    compiler = "GCC " __VERSION__;
#else
    compiler = "C++";
#endif
#ifdef ARTI_HAVE_GLIBC_VERSION
    return compiler + ", glibc " + ::gnu_get_libc_version();
#else
    return compiler;
#endif
}

std::string kernelDescription() {
    utsname u{};
    if (::uname(&u) != 0) return {};
    return std::string(u.sysname) + " " + u.release + " " + u.machine;
}

VolumeInfo SystemResources::currentVolume() const {
    return volumeInfo(currentFolder());
}

} // namespace arti::platform

namespace arti {

const IResourceMeter& resourceMeter() {
    static const platform::SystemResources system;
    const IResourceMeter* installed = services().resources;
    return installed ? *installed : system;
}

} // namespace arti
