#include "rules/Version.h"

namespace arti {

std::string_view versionText(Version v) {
    switch (v) {
    case Version::V0590: return "0590";
    case Version::V0196: return "0196";
    case Version::V2000: return "2000A";
    case Version::Unknown: return "????";
    case Version::None: break;
    }
    return {};
}

Version versionOf(std::string_view shown) {
    if (shown == "0196") return Version::V0196;
    if (shown == "0590") return Version::V0590;
    if (shown == "2000A") return Version::V2000;
    return shown.empty() ? Version::None : Version::Unknown;
}

} // namespace arti
