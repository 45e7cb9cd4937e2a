// Where things live on this system: the stand-ins for the Windows folders the program
// asks for (application data, temporary folder, the machine-wide configuration).
#pragma once

#include "platform/SystemFile.h"

#include <optional>
#include <string>

namespace arti::platform {

// The path separator that ends every folder text of the program.
inline constexpr char kPathSeparator = '/';

std::string homeFolder();       // $HOME, or the password entry's home
std::string userConfigFolder(); // $XDG_CONFIG_HOME or ~/.config (APPDATA)
std::string userTempFolder();   // $TMPDIR or /tmp (the user's TEMP)
std::string systemTempFolder(); // /tmp (the machine's TEMP)
std::string executableFolder(); // folder of the running program, ending in '/'
std::string currentFolder();    // working directory, ending in '/'
bool changeCurrentFolder(const std::string& folder);

// The registry hives and win.ini: $ARTISCOPE_REGISTRY_DIR when set, otherwise the
// user's config folder + "/artiscope" for HKCU and $XDG_CONFIG_DIRS' first entry
// (default /etc/xdg) + "/artiscope" for the machine-wide values.
std::string userRegistryFolder();
std::string machineFolder();

bool fileExists(const std::string& path);
// sameFile() and fileIdentity() come from the file layer.
bool folderExists(const std::string& path);

} // namespace arti::platform
