// Where things live on this system: the folders the program asks for (application data,
// temporary folder, the machine-wide configuration), on Linux their stand-ins. Every path
// is a UTF-8 text.
#pragma once

#include "platform/SystemFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace arti::platform {

// The path separator that ends every folder text of the program: the one users of the
// system read. Windows accepts '/' as well, so a name is split at either of
// kPathSeparators (the file layer's folder separators) there.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
inline constexpr std::string_view kPathSeparators = kFolderSeparators;
inline bool isPathSeparator(char c) {
    return kPathSeparators.find(c) != std::string_view::npos;
}

// Linux                               Windows
std::string homeFolder();       // $HOME or the password entry's    %USERPROFILE% or the profile folder
std::string userConfigFolder(); // $XDG_CONFIG_HOME or ~/.config    %APPDATA% or the roaming application data
std::string userTempFolder();   // $TMPDIR or /tmp                  GetTempPath (TMP, TEMP, ...)
std::string systemTempFolder(); // /tmp                             the Windows folder's Temp
std::string executableFolder(); // folder of the running program, ending in kPathSeparator
std::string currentFolder();    // working directory, ending in kPathSeparator
bool changeCurrentFolder(const std::string& folder);

// The registry hives and win.ini: $ARTISCOPE_REGISTRY_DIR when set, otherwise the
// user's config folder + "/artiscope" for HKCU and, on Linux, $XDG_CONFIG_DIRS' first
// entry (default /etc/xdg) + "/artiscope" for the machine-wide values, on Windows the
// program data folder + "\\artiscope". (Without the variable, Windows keeps the hives in
// its own registry: see Registry.h.)
std::string userRegistryFolder();
std::string machineFolder();

bool fileExists(const std::string& path);
// sameFile() and fileIdentity() come from the file layer.
bool folderExists(const std::string& path);

} // namespace arti::platform
