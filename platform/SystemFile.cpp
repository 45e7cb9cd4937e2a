#include "platform/SystemFile.h"

namespace arti::platform {

bool sameFile(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> ia = fileIdentity(a);
    return ia && ia == fileIdentity(b);
}

} // namespace arti::platform
