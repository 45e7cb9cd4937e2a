#include "settings/Registry.h"

#include "core/AppState.h"
#include "core/Dates.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "settings/Probes.h"
#include "settings/Settings.h"

#include <filesystem>
#include <optional>

namespace arti {

using namespace arti::literals;
using platform::kRegSuccess;
using platform::RegAccess;
using platform::RegHive;
using platform::RegKey;

namespace {

// The user data folder as stored. One below the user's home ("~/ARTISCOPE/"), as a
// machine-wide installation for many users names it, gets the home put in and is made
// with its source folder on first use: the program cannot start without it.
std::string userDataFolder(const std::string& stored) {
    if (stored.rfind("~/", 0) != 0) return stored;
    std::string folder = platform::homeFolder() + stored.substr(1);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(folder) / "ArtiImport", ec);
    return folder;
}

// The date window is stored as "dd.mm.yyyy", which the settings window writes. A slot of
// 10 takes at most 8 characters, so a stored window would never be read back and would
// be replaced by today's default at every start: the date slots are wide enough for it.
constexpr std::size_t kDateSlot = 12;

// Single reads take a buffer of 255 characters: the text, its NUL and one spare byte.
constexpr std::size_t kSingleReadCapacity = 254;

// "HKCU" and "HKLM" are the only hive texts the program accepts.
std::optional<RegHive> hiveOf(std::string_view hive) {
    if (hive == "HKCU") return RegHive::CurrentUser;
    if (hive == "HKLM") return RegHive::LocalMachine;
    return std::nullopt;
}

std::string keyOrDefault(std::string_view subKey) {
    return subKey.empty() ? defaultKey() : std::string(subKey);
}

// A slot of `width` blanks reads with a capacity of width - 1 bytes, terminator included.
std::size_t slotCapacity(const std::string& slot) {
    return slot.empty() ? 0 : slot.size() - 1;
}

void readInto(const RegKey& key, ValueList& list) {
    for (RegValue& v : list) {
        std::string text;
        if (platform::regQueryValue(key, v.name, slotCapacity(v.text), text) == kRegSuccess)
            v.text = trim(text);
    }
}

// GETREG_EINZELWERT, telling also whether the value was read at all (an empty value and
// a failed read give the same text).
std::string readSingle(Owner owner, std::string_view hive, std::string_view subKey, std::string_view name,
                       bool showErrors, bool& ok) {
    ok = false;
    const auto h = hiveOf(hive);
    if (!h) {
        box().info(owner, "Registry Einzelwert auslesen", "Ungültiger Key"_ansi);
        return {};
    }
    const std::string key = keyOrDefault(subKey);
    const std::string caption = "Registry auslesen " + std::string(hive);
    RegKey k;
    if (platform::regOpenKey(*h, key, RegAccess::Read, k) != kRegSuccess) {
        if (showErrors)
            box().info(owner, caption, "der Subkey\r\n" + key + "\r\nkonnte nicht gelesen werden.");
        return {};
    }
    std::string text;
    const bool read = platform::regQueryValue(k, name, kSingleReadCapacity, text) == kRegSuccess;
    platform::regCloseKey(k);
    if (!read) {
        if (showErrors)
            box().info(owner, caption,
                       "der Schlüssel\r\n"_ansi + std::string(name) + "\r\nkonnte unter dem Subkey\r\n" +
                           key + "\r\nnicht gelesen werden.");
        return {};
    }
    ok = true;
    return trim(text);
}

// The seeding message's list: one "name|text" line per pair.
std::string pairLines(const ValueList& list) {
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += list[i].name + "|" + trim(list[i].text);
    }
    return out;
}

bool logicOn(std::string_view text, std::string_view word) {
    return startsWith(upper(trim(text)), word);
}

} // namespace

ValueList makeValueList(std::initializer_list<std::pair<const char*, std::size_t>> slots) {
    ValueList list;
    list.reserve(slots.size());
    for (const auto& [name, width] : slots)
        list.push_back(RegValue{name, std::string(width, ' ')});
    return list;
}

std::string valueOf(const ValueList& list, std::string_view name) {
    for (const RegValue& v : list)
        if (v.name == name) return v.text;
    return {};
}

std::string defaultKey() {
    return "Software\\MERIX\\" + appState().shortName + "\\INIFolder";
}

void REGDATENAUSLESEN(Owner owner) {
    ValueList list =
        makeValueList({{"InstallMode", 10},   {"InstallPath", 255},  {"Setup", 20},     {"Update", 20},
                       {"DateiVersion", 20},  {"DateiEXE", 20},      {"Proxy", 255},    {"ProxyName", 255},
                       {"ProxyPW", 255},      {"URL", 255},          {"URLMerix", 255}, {"Visual", 10},
                       {"ARTIQuelle", 255},   {"Waehrung", 10},      {"LCode", 10},     {"NKS", 10},
                       {"UDatum", kDateSlot}, {"ODatum", kDateSlot}, {"StartDlg", 10},  {"Intervall", 10},
                       {"PRGUpdate", 10}});
    GETREGISTRY(owner, defaultKey(), list);
    const auto text = [&](std::string_view name) { return trim(valueOf(list, name)); };

    Settings& s = settings();
    const std::string mode = upper(text("InstallMode"));
    s.adminInstall = mode.empty() || startsWith(mode, "ADMIN");
    s.installPath = userDataFolder(text("InstallPath"));
    s.artiQuelle = text("ARTIQuelle");
    s.waehrung = text("Waehrung");
    s.lCode = text("LCode");
    s.nks = static_cast<int>(toNumber(text("NKS")));
    s.uDatum = parseDate(text("UDatum"));
    s.oDatum = parseDate(text("ODatum"));
    const std::string visual = text("Visual");
    s.visual = !visual.empty() && !logicOn(visual, "FALSE");
    const std::string startDlg = text("StartDlg");
    s.startDlg = startDlg.empty() || logicOn(startDlg, "TRUE");

    ValueList defaults;
    // The source folder lies inside the data folder; without a data folder there is no
    // sensible default (a bare "ArtiImport/" would be relative to wherever the program
    // runs, and once stored it would never be replaced).
    if (s.artiQuelle.empty() && !s.installPath.empty()) {
        s.artiQuelle = BACKSLASH2PFAD(BACKSLASH2PFAD(s.installPath) + "ArtiImport");
        defaults.push_back({"ARTIQuelle", s.artiQuelle});
    }
    if (s.waehrung.empty()) {
        s.waehrung = "EUR";
        defaults.push_back({"Waehrung", s.waehrung});
    }
    if (s.lCode.empty()) {
        s.lCode = "DE";
        defaults.push_back({"LCode", s.lCode});
    }
    if (s.nks == 0) {
        s.nks = 2;
        defaults.push_back({"NKS", "2"});
    }
    // An empty or unreadable date text leaves no date; both get the default.
    if (!s.uDatum) {
        s.uDatum = addDays(clock().today(), -30);
        defaults.push_back({"UDatum", formatDate(*s.uDatum)});
    }
    if (!s.oDatum) {
        s.oDatum = addDays(clock().today(), 30);
        defaults.push_back({"ODatum", formatDate(*s.oDatum)});
    }
    if (text("Intervall").empty()) defaults.push_back({"Intervall", "0"});
    if (text("PRGUpdate").empty()) defaults.push_back({"PRGUpdate", "TRUE"});
    if (!defaults.empty()) SAVEREGISTRY(owner, "HKCU", defaultKey(), defaults, false);
}

ValueList& GETREGISTRY(Owner owner, std::string_view subKey, ValueList& list) {
    const std::string key = keyOrDefault(subKey);
    RegKey k;
    if (platform::regOpenKey(RegHive::CurrentUser, key, RegAccess::Read, k) == kRegSuccess) {
        readInto(k, list);
        if (list.empty()) {
            platform::regCloseKey(k);
            box().info(owner, "Hinweis GetRegistry",
                       "Es sind keine Einträge in der BenutzerHKCU enthalten."_ansi);
        } else {
            for (const RegValue& v : list) {
                if (v.name != "Setup") continue;
                // The setup installed for the machine may be newer than the one the user's
                // values were taken from: bring the user's "Setup" in line. A blank slot
                // (value missing or empty) is left alone.
                if (!startsWith(appState().programVersion, trim(v.text))) {
                    bool ok = false;
                    const std::string machine = readSingle(owner, "HKLM", defaultKey(), "Setup", true, ok);
                    // A failed read must not wipe the user's value.
                    if (ok) SAVEREG_EINZELWERT(owner, "HKCU", defaultKey(), "Setup", machine);
                    windowServices().processMessages();
                }
                break;
            }
            platform::regCloseKey(k);
            return list;
        }
    }
    if (platform::regOpenKey(RegHive::LocalMachine, key, RegAccess::Read, k) == kRegSuccess) {
        readInto(k, list);
        platform::regCloseKey(k);
        // Blank slots are stored empty: a slot of blanks as wide as its read would not fit
        // a later read of the same width.
        ValueList copy = list;
        for (RegValue& v : copy)
            v.text = trim(v.text);
        SAVEREGISTRY(owner, "HKCU", key, copy, true);
        box().info(owner, "Hinweis nach der Installation",
                   "Die Admin-Installationswerte der HKLM \r\n\r\n" + pairLines(list) +
                       "\r\n wurden für den Benutzer HKCU übernommen."_ansi);
    }
    return list;
}

std::string GETREG_EINZELWERT(Owner owner, std::string_view hive, std::string_view subKey,
                              std::string_view name, bool showErrors) {
    bool ok = false;
    return readSingle(owner, hive, subKey, name, showErrors, ok);
}

void SAVEREG_EINZELWERT(Owner owner, std::string_view hive, std::string_view subKey, std::string_view name,
                        std::string_view text, bool showErrors) {
    const auto h = hiveOf(hive);
    if (!h) {
        box().info(owner, "Registry-Einzelwert speichern", "Ungültiger Key"_ansi);
        return;
    }
    const std::string key = keyOrDefault(subKey);
    RegKey k;
    if (platform::regCreateKey(*h, key, k) != kRegSuccess) {
        if (showErrors)
            box().info(owner, "Registry Save-Einzelwert",
                       "SubKey\r\n" + key +
                           "\r\nin der Registry kann nicht geschrieben/geöffnet werden !"_ansi);
        return;
    }
    if (platform::regSetValue(k, name, text) != kRegSuccess && showErrors)
        box().info(owner, "Registry Save-Einzelwert",
                   "Wert des Eintrages\r\n" + std::string(text) + "\r\nkann nicht geschrieben werden !");
    platform::regCloseKey(k);
}

void SAVEREGISTRY(Owner owner, std::string_view hive, std::string_view subKey, const ValueList& list,
                  bool showErrors) {
    const auto h = hiveOf(hive);
    if (!h) {
        box().info(owner, "Registry speichern", "Ungültiger Key"_ansi);
        return;
    }
    const std::string key = keyOrDefault(subKey);
    RegKey k;
    if (platform::regCreateKey(*h, key, k) != kRegSuccess) {
        if (showErrors)
            box().info(owner, "Registry Schlüssel"_ansi,
                       "SubKey\r\n" + key +
                           "\r\nin der Registry kann nicht geschrieben/geöffnet werden !"_ansi);
        return;
    }
    // All pairs go into the hive at once: a crash leaves all of the new values or all of
    // the old ones. A pair that cannot be set does not keep the others from being set.
    std::vector<platform::RegNamedText> values;
    values.reserve(list.size());
    for (const RegValue& v : list)
        values.push_back({v.name, v.text});
    const std::vector<platform::RegStatus> status = platform::regSetValues(k, values);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (status[i] != kRegSuccess && showErrors)
            box().info(owner, "Registry Wert",
                       "Wert des Eintrages\r\n" + list[i].name + "\r\nkann nicht geschrieben werden !");
    platform::regCloseKey(k);
}

bool GETREG_SUBKEY(Owner owner, std::string_view hive, std::string_view subKey, bool showErrors) {
    const auto h = hiveOf(hive);
    if (!h) {
        box().info(owner, "Registry Einzelwert auslesen", "Ungültiger Key"_ansi);
        return false;
    }
    const std::string key = keyOrDefault(subKey);
    RegKey k;
    if (platform::regOpenKey(*h, key, RegAccess::Read, k) != kRegSuccess) {
        if (showErrors)
            box().info(owner, "Registry auslesen " + key,
                       "der Subkey\r\n" + key + "\r\nkonnte nicht gelesen werden.");
        return false;
    }
    platform::regCloseKey(k);
    return true;
}

void DELREG_SCHLUESSEL(Owner owner, std::string_view hive, std::string_view subKey, std::string_view name,
                       bool showErrors) {
    const auto h = hiveOf(hive);
    if (!h) {
        box().info(owner, "Registry-Einzelwert speichern", "Ungültiger Key"_ansi);
        return;
    }
    const std::string key = keyOrDefault(subKey);
    const std::string caption = "Registry Schlüssel"_ansi;
    RegKey k;
    if (platform::regOpenKey(*h, key, RegAccess::All, k) != kRegSuccess) {
        if (showErrors)
            box().info(owner, caption, "Der Subkey\r\n" + key + "\r\nkonnte nicht gelesen werden.");
        return;
    }
    // Whether the value exists does not depend on its length: a long text that does not
    // fit a buffer still exists and is deleted.
    std::string text;
    const platform::RegStatus read = platform::regQueryValue(k, name, 0, text);
    if (read != kRegSuccess && read != platform::kRegMoreData) {
        if (showErrors)
            box().info(owner, caption,
                       "Der Schlüssel\r\n"_ansi + std::string(name) + "\r\nkonnte unter dem Subkey\r\n" +
                           key + "\r\nnicht gelesen werden.");
    } else if (platform::regDeleteValue(k, name) != kRegSuccess && showErrors) {
        box().info(owner, caption,
                   "Der Schlüssel\r\n"_ansi + std::string(name) + "\r\nkonnte nicht gelöscht werden."_ansi);
    }
    platform::regCloseKey(k);
}

std::string GETUSERPROFILEPATH(Owner owner) {
    return GETREG_EINZELWERT(owner, "HKCU", "Volatile Environment", "APPDATA", false);
}

} // namespace arti
