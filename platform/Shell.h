// The shell's "open" action on this system: documents, folders and web addresses are
// handed to ShellExecuteW on Windows, to xdg-open elsewhere, which start the desktop's
// application for them. The result is given as the Windows shell gives it, so that
// callers report failures by the same codes.
#pragma once

#include "core/Services.h"

#include <chrono>
#include <string>
#include <string_view>

namespace arti::platform {

// Results of shellOpen(): greater than 32 is success, anything else a failure code.
inline constexpr long kShellSuccess = 42;
inline constexpr long kShellFileNotFound = 2;
inline constexpr long kShellPathNotFound = 3;
inline constexpr long kShellAccessDenied = 5;
inline constexpr long kShellOutOfMemory = 8;
inline constexpr long kShellBadName = 27;
inline constexpr long kShellNoAssociation = 31;
inline constexpr long kShellFailed = 4;

// Whether `target` is an address ("https://...", "mailto:...", "file:///..."): a scheme
// of at least two characters before the first ':'. One letter and a colon is a drive.
bool hasScheme(std::string_view target);

// Opens `target` (a path in the system's encoding, or an address with a scheme such as
// "https:" or "mailto:") with the verb "open" (an empty verb and "explore" mean the
// same; other verbs have no application: 31). xdg-open is started directly, without a
// shell, so nothing in the target is interpreted.
//
// A missing local file gives 2, a missing folder on its path 3, a folder on its path that
// may not be searched 5, a missing xdg-open or
// no application for the type 31, an unusable name 27, lack of memory 8, any other
// failure of xdg-open its own exit status (1 or 4) and any other failure 4. xdg-open
// may stay with the application it starts: when it has not ended after `wait`, the
// start counts as successful and the process is collected by a later call.
// On Windows a missing file or folder is found the same way; then ShellExecuteW's own
// failure code is the result (0 from it is lack of memory, 8), and `wait` is not used.
long shellOpen(const std::string& target, const std::string& verb,
               std::chrono::milliseconds wait = std::chrono::milliseconds(2000));

// The shell service on shellOpen(), which the desktop program installs. It takes no
// parameters: a document, folder or address is opened with the application the desktop
// has for it.
class DesktopShell final : public IShell {
public:
    long open(Owner owner, const std::string& target, const std::string& verb,
              const std::string& parameters) override;
};

} // namespace arti::platform
