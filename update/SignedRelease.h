// What an installer's signature vouches for. A valid signature proves only that the
// site's key signed the file; its trusted comment (covered by the signature) also names
// the installer's file name and date, so that an older installer, however validly
// signed, cannot be served as a newer one, nor one installer in place of another.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arti {

// The tokens "file:<name>" and "date:<yyyymmdd>" of a trusted comment, among any others,
// separated by blanks or tabs; the first of each kind counts.
struct SignedRelease {
    std::string file;       // empty when the comment names none
    std::uint32_t date = 0; // 0 when it names none, or not as eight digits
};
SignedRelease signedRelease(std::string_view trustedComment);

enum class ReleaseFault {
    None,
    Unnamed,   // the comment lacks the file or the date
    OtherFile, // it names another file (compared without regard to case)
    OtherDate, // another date than the version file announced
    NotNewer,  // a date that is not newer than the program's own version
};

// Whether the signed release is the installer `fileName` of the `announced` date, newer
// than the `program` version (both yyyymmdd as numbers).
ReleaseFault releaseFault(const SignedRelease& release, std::string_view fileName, std::uint32_t announced,
                          std::uint32_t program);

// The reason for the user why the signature does not vouch for the installer.
std::string releaseRefusal(ReleaseFault fault, const SignedRelease& release, std::uint32_t announced,
                           const std::string& programVersion);

// A version date (yy/mm/dd or yyyymmdd) as the number yyyymmdd; 0 when it is no date.
std::uint32_t versionNumber(std::string_view text);

} // namespace arti
