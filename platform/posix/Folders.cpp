#include "platform/Paths.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arti::platform {

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string withSeparator(std::string s) {
    if (!s.empty() && s.back() != kPathSeparator) s += kPathSeparator;
    return s;
}

std::string withoutSeparator(std::string s) {
    while (s.size() > 1 && s.back() == kPathSeparator)
        s.pop_back();
    return s;
}

} // namespace

std::string homeFolder() {
    std::string h = env("HOME");
    if (!h.empty()) return withoutSeparator(h);
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return withoutSeparator(pw->pw_dir);
    return "/";
}

std::string userConfigFolder() {
    const std::string x = env("XDG_CONFIG_HOME");
    return x.empty() ? homeFolder() + "/.config" : withoutSeparator(x);
}

std::string userTempFolder() {
    const std::string t = env("TMPDIR");
    return t.empty() ? "/tmp" : withoutSeparator(t);
}

std::string systemTempFolder() {
    return "/tmp";
}

std::string executableFolder() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return currentFolder();
    std::string p(buf, static_cast<std::size_t>(n));
    return p.substr(0, p.rfind(kPathSeparator) + 1);
}

std::string currentFolder() {
    char buf[PATH_MAX];
    if (!getcwd(buf, sizeof buf)) return {};
    return withSeparator(buf);
}

bool changeCurrentFolder(const std::string& folder) {
    return !folder.empty() && chdir(folder.c_str()) == 0;
}

std::string userRegistryFolder() {
    const std::string o = env("ARTISCOPE_REGISTRY_DIR");
    return o.empty() ? userConfigFolder() + "/artiscope" : withoutSeparator(o);
}

std::string machineFolder() {
    const std::string o = env("ARTISCOPE_REGISTRY_DIR");
    if (!o.empty()) return withoutSeparator(o);
    std::string dirs = env("XDG_CONFIG_DIRS");
    std::string first = dirs.substr(0, dirs.find(':'));
    if (first.empty()) first = "/etc/xdg";
    return withoutSeparator(first) + "/artiscope";
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace arti::platform
