// The registry of this system, with the model and the calls of the Windows registry
// (RegOpenKeyEx, RegCreateKeyEx, RegQueryValueEx, RegSetValueEx, RegDeleteValue,
// RegCloseKey) and their error codes. Two hives: the user's (HKEY_CURRENT_USER) and the
// machine's (HKEY_LOCAL_MACHINE). A key is a path of names separated by backslashes,
// relative to its hive; values are strings (REG_SZ). Key and value names are matched
// without regard to case.
//
// Each hive is a profile file: one section per key path, one entry per value. The
// user's hive is userRegistryFolder()/HKCU.ini, the machine's machineFolder()/HKLM.ini.
// Every call reads the file afresh and every change rewrites it whole through a
// temporary file. A hive file that cannot be read reads as a hive without keys and is
// never overwritten; a read-only hive file or folder makes key creation and writes fail
// with "access denied".
//
// On Windows the calls go to the registry of Windows (HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE) unless ARTISCOPE_REGISTRY_DIR names a folder for the hive files,
// as the tests and the command-line checker's private settings do. There a value is set
// on its own (a save of several values may be cut between two of them), and a machine
// key may be opened for all access only by an administrator.
//
// The keys the program reads from Windows itself are read-only. On Windows they come
// from its registry; elsewhere they are answered from this system:
//   HKCU "Volatile Environment"  APPDATA = userConfigFolder()
//   HKCU "Environment"           TEMP    = userTempFolder()
//   HKLM "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"  TEMP = systemTempFolder()
//   HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion"  ProductName, ReleaseID, BuildLab
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace arti::platform {

enum class RegHive { CurrentUser, LocalMachine };
enum class RegAccess {
    Read, // KEY_READ
    All,  // KEY_ALL_ACCESS
};

// The Windows error codes the calls return.
using RegStatus = long;
inline constexpr RegStatus kRegSuccess = 0;           // ERROR_SUCCESS
inline constexpr RegStatus kRegFileNotFound = 2;      // ERROR_FILE_NOT_FOUND: no such key or value
inline constexpr RegStatus kRegAccessDenied = 5;      // ERROR_ACCESS_DENIED
inline constexpr RegStatus kRegInvalidHandle = 6;     // ERROR_INVALID_HANDLE: key not open
inline constexpr RegStatus kRegInvalidParameter = 87; // ERROR_INVALID_PARAMETER
inline constexpr RegStatus kRegBadPathname = 161;     // ERROR_BAD_PATHNAME
inline constexpr RegStatus kRegMoreData = 234;        // ERROR_MORE_DATA: buffer too small
inline constexpr RegStatus kRegCorrupt = 1015;        // ERROR_REGISTRY_CORRUPT: hive file unreadable
inline constexpr RegStatus kRegIoFailed = 1016;       // ERROR_REGISTRY_IO_FAILED: hive file not written

// An open key (HKEY). It holds no system resource; regCloseKey marks it closed.
class RegKey {
public:
    RegKey() = default;
    bool isOpen() const { return open_; }
    RegHive hive() const { return hive_; }
    const std::string& path() const { return path_; } // without trailing backslash
    RegAccess access() const { return access_; }

private:
    friend RegStatus regOpenKey(RegHive, std::string_view, RegAccess, RegKey&);
    friend RegStatus regCreateKey(RegHive, std::string_view, RegKey&);
    friend RegStatus regCloseKey(RegKey&);
    bool open_ = false;
    RegHive hive_ = RegHive::CurrentUser;
    std::string path_;
    RegAccess access_ = RegAccess::Read;
};

// RegOpenKeyEx: opens an existing key. A key exists when it was created or when a key
// below it was. Opening for all access fails with kRegAccessDenied on a read-only hive
// and on the keys answered from the system.
RegStatus regOpenKey(RegHive hive, std::string_view subKey, RegAccess access, RegKey& key);
// RegCreateKeyEx (KEY_ALL_ACCESS, non-volatile): opens the key, creating it when missing.
RegStatus regCreateKey(RegHive hive, std::string_view subKey, RegKey& key);
// RegQueryValueEx of a REG_SZ value into a buffer of `capacity` bytes: the stored text
// takes its length + 1 bytes (the terminating NUL), so a text of capacity or more
// characters fails with kRegMoreData and leaves `text` unchanged.
RegStatus regQueryValue(const RegKey& key, std::string_view name, std::size_t capacity, std::string& text);
// RegSetValueEx(REG_SZ, text length + 1). Needs a key opened for all access. Texts with
// CR, LF or NUL and names that a profile file cannot hold (empty, with '=', with line
// ends, beginning with '[' or ';', with blanks around) fail with kRegInvalidParameter.
RegStatus regSetValue(const RegKey& key, std::string_view name, std::string_view text);
// Several RegSetValueEx of one key as one change of the hive: the hive file is rewritten
// once, so a crash leaves all of the values or none of them. Each value gets the status
// that its own regSetValue would give; when the rewrite fails, every value that could be
// set fails with kRegIoFailed.
struct RegNamedText {
    std::string_view name;
    std::string_view text;
};
std::vector<RegStatus> regSetValues(const RegKey& key, std::span<const RegNamedText> values);
// RegDeleteValue. Needs a key opened for all access.
RegStatus regDeleteValue(const RegKey& key, std::string_view name);
// RegCloseKey.
RegStatus regCloseKey(RegKey& key);

// The file that holds a hive.
std::string hiveFile(RegHive hive);

} // namespace arti::platform
