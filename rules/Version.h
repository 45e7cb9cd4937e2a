// The ELDANORM versions the checker tells apart, and the texts the main window shows
// for them.
#pragma once

#include <string_view>

namespace arti {

enum class Version {
    None,    // no file recognised yet
    V0590,   // "0590"
    V0196,   // "0196"
    V2000,   // "2000A"
    Unknown, // a header that names another version ("????", or what a later V record says)
};

// "0590", "0196", "2000A", "????" (Unknown) or "" (None).
std::string_view versionText(Version v);
// The version a shown text stands for; any other text is Unknown, the empty one None.
Version versionOf(std::string_view shown);

} // namespace arti
