#include "platform/SystemInfo.h"

#include "platform/Paths.h"

#include <sstream>

namespace arti::platform {

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

namespace {

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

bool underMountPoint(std::string_view path, std::string_view mountPoint) {
    if (mountPoint == "/") return !path.empty() && path.front() == '/';
    if (path.size() < mountPoint.size() || path.substr(0, mountPoint.size()) != mountPoint) return false;
    return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
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
