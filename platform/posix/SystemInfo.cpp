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

// The user part of the address space: a finite RLIMIT_AS, or what the architecture
// gives a process (47 bits on 64-bit x86 and ARM Linux, 3 GiB on 32-bit).
std::uint64_t addressSpace() {
    rlimit r{};
    if (::getrlimit(RLIMIT_AS, &r) == 0 && r.rlim_cur != RLIM_INFINITY) return r.rlim_cur;
    return sizeof(void*) >= 8 ? (std::uint64_t{1} << 47) : (std::uint64_t{3} << 30);
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

} // namespace arti::platform
