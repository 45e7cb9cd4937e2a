#include "platform/OsInfo.h"

#include "platform/Paths.h"
#include "platform/ProfileFile.h"

#include <fstream>
#include <sys/utsname.h>

namespace arti::platform {

namespace {

// One value of an os-release file (KEY=value, the value optionally quoted).
std::string osReleaseValue(std::string_view key) {
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(file);
        if (!in) continue;
        std::string line;
        while (std::getline(in, line)) {
            if (line.size() <= key.size() || line.compare(0, key.size(), key) != 0 || line[key.size()] != '=')
                continue;
            std::string v = line.substr(key.size() + 1);
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return v;
        }
        return {};
    }
    return {};
}

} // namespace

OsVersion osVersion() {
    OsVersion v;
    v.productName = osReleaseValue("PRETTY_NAME");
    v.releaseId = osReleaseValue("VERSION_ID");
    utsname u{};
    if (::uname(&u) == 0) v.buildLab = std::string(u.sysname) + " " + u.release + " " + u.machine;
    return v;
}

int osWordSize() {
    utsname u{};
    if (::uname(&u) != 0) return static_cast<int>(sizeof(void*) * 8);
    const std::string_view machine = u.machine;
    const bool wide = machine.find("64") != std::string_view::npos || machine == "s390x";
    return wide ? 64 : 32;
}

std::string windowsEnvironmentValue(std::string_view name) {
    if (equalsIgnoreCase(name, "USERPROFILE")) return homeFolder();
    if (equalsIgnoreCase(name, "SYSTEMROOT")) return "/";
    return {};
}

} // namespace arti::platform
