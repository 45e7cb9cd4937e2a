// What the program would read about Windows itself, answered from this system: the
// product name and version of the operating system and the environment values that
// folder texts in the registry may name.
#pragma once

#include <string>
#include <string_view>

namespace arti::platform {

struct OsVersion {
    std::string productName; // os-release PRETTY_NAME, e.g. "Debian GNU/Linux 12 (bookworm)"
    std::string releaseId;   // os-release VERSION_ID, e.g. "12"
    std::string buildLab;    // kernel name, release and machine from uname
};
OsVersion osVersion();
// The word size of the operating system, 64 or 32, from the machine uname names (a
// 64-bit system runs 32-bit programs too, so the program's own size does not tell).
int osWordSize();

// The Windows environment values a TEMP entry may be written with: USERPROFILE is the
// home folder, SYSTEMROOT the root folder "/". Names are matched without regard to case;
// any other name gives an empty text.
std::string windowsEnvironmentValue(std::string_view name);

} // namespace arti::platform
