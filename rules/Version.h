// The ELDANORM version of the file at hand, as the main window names it in its version
// display.
#pragma once

#include <string_view>

namespace arti {

enum class Version {
    None,    // no file chosen yet
    V0590,   // fixed 128-character records
    V0196,   // fixed 128-character records
    V2000,   // fields split at the separator the header names
    Unknown, // a file whose header names another version
};

// The text of the version display: "0590", "0196", "2000A", "????", and "" for None.
constexpr std::string_view versionText(Version v) {
    switch (v) {
    case Version::V0590:
        return "0590";
    case Version::V0196:
        return "0196";
    case Version::V2000:
        return "2000A";
    case Version::Unknown:
        return "????";
    case Version::None:
        break;
    }
    return "";
}

// The version a display text names; any text the display never shows reads as Unknown.
constexpr Version versionOf(std::string_view shown) {
    for (const Version v : {Version::None, Version::V0590, Version::V0196, Version::V2000})
        if (shown == versionText(v)) return v;
    return Version::Unknown;
}

static_assert(versionOf(versionText(Version::None)) == Version::None &&
              versionOf(versionText(Version::V0590)) == Version::V0590 &&
              versionOf(versionText(Version::V0196)) == Version::V0196 &&
              versionOf(versionText(Version::V2000)) == Version::V2000 &&
              versionOf(versionText(Version::Unknown)) == Version::Unknown &&
              versionOf("2000") == Version::Unknown);

} // namespace arti
