#include "platform/SystemFile.h"

#include <utility>

namespace arti::platform {

SystemFile::~SystemFile() {
    close();
}

SystemFile::SystemFile(SystemFile&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}

SystemFile& SystemFile::operator=(SystemFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kNoHandle);
    }
    return *this;
}

bool sameFile(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> ia = fileIdentity(a);
    return ia && ia == fileIdentity(b);
}

} // namespace arti::platform
