#include "platform/Registry.h"

#include "platform/OsInfo.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/SystemRegistry.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace arti::platform {

namespace {

constexpr std::string_view kVolatileEnvironment = "Volatile Environment";
constexpr std::string_view kUserEnvironment = "Environment";
constexpr std::string_view kMachineEnvironment =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr std::string_view kWindowsVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
// The same values as a 32-bit program sees them on a 64-bit Windows; answered only on a
// 64-bit system, so that the about box names the system's word size.
constexpr std::string_view kWindowsVersion64 = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion";

struct VirtualKey {
    RegHive hive;
    std::string_view path;
};
constexpr VirtualKey kVirtualKeys[] = {
    {RegHive::CurrentUser, kVolatileEnvironment}, {RegHive::CurrentUser, kUserEnvironment},
    {RegHive::LocalMachine, kMachineEnvironment}, {RegHive::LocalMachine, kWindowsVersion},
    {RegHive::LocalMachine, kWindowsVersion64},
};

bool isVirtualKey(RegHive hive, std::string_view path) {
    for (const VirtualKey& k : kVirtualKeys)
        if (k.hive == hive && equalsIgnoreCase(k.path, path)) return true;
    return false;
}

// `inner` lies below `outer` (outer is a proper ancestor; the root is everyone's).
bool isBelow(std::string_view inner, std::string_view outer) {
    if (outer.empty()) return !inner.empty();
    return inner.size() > outer.size() && inner[outer.size()] == '\\' &&
           equalsIgnoreCase(inner.substr(0, outer.size()), outer);
}

bool isVirtualAncestor(RegHive hive, std::string_view path) {
    for (const VirtualKey& k : kVirtualKeys)
        if (k.hive == hive && isBelow(k.path, path)) return true;
    return false;
}

std::optional<std::string> virtualValue(RegHive hive, std::string_view path, std::string_view name) {
    if (hive == RegHive::CurrentUser) {
        if (equalsIgnoreCase(path, kVolatileEnvironment) && equalsIgnoreCase(name, "APPDATA"))
            return userConfigFolder();
        if (equalsIgnoreCase(path, kUserEnvironment) && equalsIgnoreCase(name, "TEMP"))
            return userTempFolder();
        return std::nullopt;
    }
    if (equalsIgnoreCase(path, kMachineEnvironment) && equalsIgnoreCase(name, "TEMP"))
        return systemTempFolder();
    if (equalsIgnoreCase(path, kWindowsVersion) ||
        (equalsIgnoreCase(path, kWindowsVersion64) && osWordSize() == 64)) {
        const OsVersion v = osVersion();
        if (equalsIgnoreCase(name, "ProductName")) return v.productName;
        if (equalsIgnoreCase(name, "ReleaseID")) return v.releaseId;
        if (equalsIgnoreCase(name, "BuildLab")) return v.buildLab;
    }
    return std::nullopt;
}

// The key path as the hive file names it: without trailing backslashes. A leading
// backslash or an empty name between two backslashes is a bad path, a name that cannot
// head a profile section an invalid parameter.
RegStatus normalizePath(std::string_view subKey, std::string& path) {
    while (!subKey.empty() && subKey.back() == '\\')
        subKey.remove_suffix(1);
    if (!subKey.empty() && subKey.front() == '\\') return kRegBadPathname;
    if (subKey.find("\\\\") != std::string_view::npos) return kRegBadPathname;
    if (!ProfileDocument::validSectionName(subKey)) return kRegInvalidParameter;
    path = std::string(subKey);
    return kRegSuccess;
}

bool keyExists(const ProfileDocument& doc, RegHive hive, std::string_view path) {
    if (path.empty() || isVirtualKey(hive, path) || isVirtualAncestor(hive, path) || doc.hasSection(path))
        return true;
    for (const std::string& s : doc.sectionNames())
        if (isBelow(s, path)) return true;
    return false;
}

// Creates the hive's folder when it is missing (the user's folder on a first start) and
// tells whether the hive file can be replaced.
bool hiveWritable(RegHive hive) {
    const std::string file = hiveFile(hive);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    return profileFileWritable(file);
}

// A profile file trims blanks around a value and drops quotes around it; such values
// are stored in quotes so that they read back exactly.
std::string protectValue(std::string_view text) {
    if (text.empty()) return {};
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted =
        text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
    if (blank(text.front()) || blank(text.back()) || quoted) return "\"" + std::string(text) + "\"";
    return std::string(text);
}

RegStatus createHiveKey(RegHive hive, const std::string& path) {
    const std::string file = hiveFile(hive);
    ProfileDocument doc;
    if (doc.load(file) == ProfileDocument::LoadStatus::Unreadable) return kRegCorrupt;
    if (!hiveWritable(hive)) return kRegAccessDenied;
    if (!keyExists(doc, hive, path)) {
        if (!doc.addSection(path)) return kRegInvalidParameter;
        if (!doc.save(file)) return kRegIoFailed;
    }
    return kRegSuccess;
}

// The keys of Windows itself come from its registry where there is one. A program whose
// keys are in hive files (ARTISCOPE_REGISTRY_DIR) takes its folders from its environment
// there too, as on a system without a registry, so that the folders of a test or of a
// sandboxed run follow their variables; the version keys stay the system's.
std::optional<std::string> systemValue(RegHive hive, const std::string& path, std::string_view name) {
    const bool versionKey =
        equalsIgnoreCase(path, kWindowsVersion) || equalsIgnoreCase(path, kWindowsVersion64);
    if (!sysreg::exists() || (!sysreg::inUse() && !versionKey)) return virtualValue(hive, path, name);
    std::string key = path;
    // The 32-bit view of the version key names the same system; not every Windows (nor
    // wine) fills it, so it is answered from the key itself, on a 64-bit system only.
    if (equalsIgnoreCase(path, kWindowsVersion64)) {
        if (osWordSize() != 64) return std::nullopt;
        key = kWindowsVersion;
    }
    std::string text;
    if (sysreg::queryValue(hive, key, name, text) != kRegSuccess) return std::nullopt;
    return text;
}

} // namespace

std::string hiveFile(RegHive hive) {
    return hive == RegHive::CurrentUser ? userRegistryFolder() + kPathSeparator + "HKCU.ini"
                                        : machineFolder() + kPathSeparator + "HKLM.ini";
}

RegStatus regOpenKey(RegHive hive, std::string_view subKey, RegAccess access, RegKey& key) {
    key = RegKey{};
    std::string path;
    if (const RegStatus s = normalizePath(subKey, path); s != kRegSuccess) return s;
    if (sysreg::inUse()) {
        if (access == RegAccess::All && isVirtualKey(hive, path)) return kRegAccessDenied;
        if (const RegStatus s = sysreg::openKey(hive, path, access); s != kRegSuccess) return s;
    } else {
        ProfileDocument doc;
        doc.load(hiveFile(hive));
        if (!keyExists(doc, hive, path)) return kRegFileNotFound;
        if (access == RegAccess::All && (isVirtualKey(hive, path) || !hiveWritable(hive)))
            return kRegAccessDenied;
    }
    key.open_ = true;
    key.hive_ = hive;
    key.path_ = std::move(path);
    key.access_ = access;
    return kRegSuccess;
}

RegStatus regCreateKey(RegHive hive, std::string_view subKey, RegKey& key) {
    key = RegKey{};
    std::string path;
    if (const RegStatus s = normalizePath(subKey, path); s != kRegSuccess) return s;
    if (isVirtualKey(hive, path)) return kRegAccessDenied;
    if (sysreg::inUse()) {
        if (const RegStatus s = sysreg::createKey(hive, path); s != kRegSuccess) return s;
    } else if (const RegStatus s = createHiveKey(hive, path); s != kRegSuccess) {
        return s;
    }
    key.open_ = true;
    key.hive_ = hive;
    key.path_ = std::move(path);
    key.access_ = RegAccess::All;
    return kRegSuccess;
}

RegStatus regQueryValue(const RegKey& key, std::string_view name, std::size_t capacity, std::string& text) {
    if (!key.isOpen()) return kRegInvalidHandle;
    std::optional<std::string> value;
    if (isVirtualKey(key.hive(), key.path())) {
        value = systemValue(key.hive(), key.path(), name);
    } else if (sysreg::inUse()) {
        std::string stored;
        const RegStatus s = sysreg::queryValue(key.hive(), key.path(), name, stored);
        if (s != kRegSuccess && s != kRegFileNotFound) return s;
        if (s == kRegSuccess) value = std::move(stored);
    } else if (ProfileDocument::validKeyName(name)) {
        ProfileDocument doc;
        doc.load(hiveFile(key.hive()));
        value = doc.get(key.path(), name);
    }
    if (!value) return kRegFileNotFound;
    if (value->size() + 1 > capacity) return kRegMoreData;
    text = std::move(*value);
    return kRegSuccess;
}

RegStatus regSetValue(const RegKey& key, std::string_view name, std::string_view text) {
    const RegNamedText value{name, text};
    return regSetValues(key, std::span(&value, 1)).front();
}

namespace {

// The valid ones of `values` (status success) set in the system's registry.
std::vector<RegStatus> setSystemValues(const RegKey& key, std::span<const RegNamedText> values,
                                       std::vector<RegStatus> status) {
    std::vector<RegNamedText> valid;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (status[i] == kRegSuccess) valid.push_back(values[i]);
    const std::vector<RegStatus> set = sysreg::setValues(key.hive(), key.path(), valid);
    for (std::size_t i = 0, j = 0; i < values.size(); ++i)
        if (status[i] == kRegSuccess) status[i] = set[j++];
    return status;
}

} // namespace

std::vector<RegStatus> regSetValues(const RegKey& key, std::span<const RegNamedText> values) {
    std::vector<RegStatus> status(values.size(), kRegSuccess);
    // What fails for the key fails for every value.
    const auto all = [&](RegStatus s) {
        std::fill(status.begin(), status.end(), s);
        return status;
    };
    if (!key.isOpen()) return all(kRegInvalidHandle);
    if (key.access() != RegAccess::All || isVirtualKey(key.hive(), key.path())) return all(kRegAccessDenied);
    bool anyValid = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool valid =
            ProfileDocument::validKeyName(values[i].name) && ProfileDocument::validValue(values[i].text);
        if (!valid) status[i] = kRegInvalidParameter;
        anyValid = anyValid || valid;
    }
    if (!anyValid) return status;

    // From here on only the values that are valid can fail.
    const auto fail = [&](RegStatus s) {
        for (RegStatus& st : status)
            if (st == kRegSuccess) st = s;
        return status;
    };
    if (sysreg::inUse()) return setSystemValues(key, values, status);
    const std::string file = hiveFile(key.hive());
    ProfileDocument doc;
    if (doc.load(file) == ProfileDocument::LoadStatus::Unreadable) return fail(kRegCorrupt);
    if (!hiveWritable(key.hive())) return fail(kRegAccessDenied);
    bool changed = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (status[i] != kRegSuccess) continue;
        if (doc.set(key.path(), values[i].name, protectValue(values[i].text)))
            changed = true;
        else
            status[i] = kRegInvalidParameter;
    }
    if (changed && !doc.save(file)) return fail(kRegIoFailed);
    return status;
}

RegStatus regDeleteValue(const RegKey& key, std::string_view name) {
    if (!key.isOpen()) return kRegInvalidHandle;
    if (key.access() != RegAccess::All || isVirtualKey(key.hive(), key.path())) return kRegAccessDenied;
    if (sysreg::inUse()) return sysreg::deleteValue(key.hive(), key.path(), name);
    const std::string file = hiveFile(key.hive());
    ProfileDocument doc;
    if (doc.load(file) == ProfileDocument::LoadStatus::Unreadable) return kRegCorrupt;
    if (!ProfileDocument::validKeyName(name) || !doc.get(key.path(), name)) return kRegFileNotFound;
    if (!hiveWritable(key.hive())) return kRegAccessDenied;
    doc.removeEntry(key.path(), name);
    return doc.save(file) ? kRegSuccess : kRegIoFailed;
}

RegStatus regCloseKey(RegKey& key) {
    if (!key.isOpen()) return kRegInvalidHandle;
    key = RegKey{};
    return kRegSuccess;
}

} // namespace arti::platform
