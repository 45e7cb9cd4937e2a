#include "platform/Paths.h"

#include <sys/stat.h>

namespace arti::platform {

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{static_cast<unsigned long long>(st.st_dev),
                        static_cast<unsigned long long>(st.st_ino)};
}

bool sameFile(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> ia = fileIdentity(a);
    return ia && ia == fileIdentity(b);
}

} // namespace arti::platform
