// Where things live on this system: the stand-ins for the Windows folders the program
// asks for (application data, temporary folder, the machine-wide configuration).
#pragma once

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
// Both paths exist and name the same file (same device and inode: also through another
// name, a hard link or a symbolic link).
bool sameFile(const std::string& a, const std::string& b);
// What tells a file apart whatever its name: its device and inode; none when the path
// names no file.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> fileIdentity(const std::string& path);
bool folderExists(const std::string& path);

} // namespace arti::platform
