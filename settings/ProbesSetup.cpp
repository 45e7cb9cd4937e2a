// The probes that look at the installation: a writable temporary folder, the installed
// setup and update versions, the installation mode, and the folder-text rule they share.
#include "settings/Probes.h"

#include "core/AppState.h"
#include "core/Text.h"
#include "platform/OsInfo.h"
#include "platform/Paths.h"
#include "platform/SystemFile.h"
#include "settings/Registry.h"

namespace arti {

using namespace arti::literals;

namespace {

constexpr std::string_view kMachineEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

// Replaces the first "%NAME%" (in any case) by the environment value NAME and makes a
// folder text of the result; a text without it stays as it is.
std::string expandVariable(const std::string& text, std::string_view name) {
    const std::string variable = "%" + std::string(name) + "%";
    const auto pos = upper(text).find(variable);
    if (pos == std::string::npos) return text;
    std::string out = text;
    out.replace(pos, variable.size(), platform::windowsEnvironmentValue(name));
    return BACKSLASH2PFAD(out);
}

// Creates TEST.TXT in the folder and removes it again. A symbolic link of that name (in a
// folder shared with other users, such as /tmp) is not followed, so the test can never
// truncate a file elsewhere.
bool folderWritable(const std::string& folder) {
    const std::string file = folder + "TEST.TXT";
    platform::SystemFile test;
    if (test.open(file,
                  platform::FileMode{
                      .read = false, .write = true, .create = true, .truncate = true, .noFollow = true}) != 0)
        return false;
    test.close();
    if (!platform::fileExists(file)) return false;
    platform::removeFile(file);
    return true;
}

// A version text yy/mm/dd as a number: its first 8 characters without the slashes.
long long versionNumber(std::string_view version) {
    std::string digits;
    for (char c : version.substr(0, 8))
        if (c != '/') digits += c;
    return toNumber(digits);
}

} // namespace

std::string BACKSLASH2PFAD(std::string_view path) {
    std::string out = trim(path);
    if (!out.empty() && !platform::isPathSeparator(out.back())) out += platform::kPathSeparator;
    return out;
}

std::string TEMPPATHREG(Owner owner) {
    const std::string stored = GETREG_EINZELWERT(owner, "HKCU", "", "TempPath", false);
    const std::string userTemp = GETREG_EINZELWERT(owner, "HKCU", "Environment", "TEMP", true);
    const std::string machineTemp = GETREG_EINZELWERT(owner, "HKLM", kMachineEnvironmentKey, "TEMP", true);

    const std::string candidates[] = {stored, expandVariable(userTemp, "USERPROFILE"),
                                      expandVariable(machineTemp, "SYSTEMROOT")};
    std::string found;
    for (const std::string& candidate : candidates) {
        if (candidate.empty()) continue;
        const std::string folder = BACKSLASH2PFAD(candidate);
        if (folderWritable(folder)) {
            found = folder;
            break;
        }
    }

    if (!found.empty()) {
        if (!startsWith(found, stored)) {
            SAVEREG_EINZELWERT(owner, "HKCU", "", "TempPath", found);
            box().info(
                owner, "Hinweis",
                "Für die Zusammenstellung von Daten benötigt das Programm ein temporäres Verzeichnis "
                "(Ordner) "
                "auf Ihrer Festplatte.\r\nEs wurde der nachfolgende Ordner aus dem Betriebssystem ermittelt.\r\n"_ansi +
                    found);
        }
        return found;
    }

    box().info(
        owner, "Temporärer-Datenpfad"_ansi,
        "Das Programm benötigt ein Verzeichnis für die Zusammenstellung temporärer Daten.\r\n"
        "es wurden die Verzeichnisse\r\nEintrag in Registry: "_ansi +
            stored + "\r\nUSERPROFILE-Temp: " + userTemp + "\r\nSYSTEMROOT-Temp: " + machineTemp +
            "\r\ngetestet. Ein temporärer beschreibbarer Pfad konnte hier nicht gefunden werden!\r\n\r\n"
            "Wählen Sie einen Ihnen bekannten beschreibbaren Temporärpfad in den Systemeinstellungen des "
            "Programmes."_ansi);
    return {};
}

bool GUELTIGEVERSION(Owner owner) {
    const AppState& app = appState();
    ValueList list = makeValueList({{"Setup", 20}, {"Update", 20}});
    GETREGISTRY(owner, "", list);
    const std::string setup = trim(valueOf(list, "Setup"));
    const std::string update = trim(valueOf(list, "Update"));

    if (setup.empty()) {
        box().info(owner, "Registry",
                   "Der Setup-Versions-Eintrag ist nicht in der Registry enthalten.\r\n"
                   "Vermutlich verwenden Sie eine alte Programmversion !\r\n"
                   "Schauen Sie nach einer aktuellen Version.");
        return false;
    }
    if (!startsWith(app.requiredSetupVersion, setup)) {
        box().info(
            owner, "UPDATE-Versionskonflikt",
            "Diese UPDATE-Version " + app.programVersion +
                " kann nur über die letzte\r\ngültige SETUP-Version "_ansi + setup +
                " installiert werden.\r\n"
                "Sichern Sie Ihre Daten, laden Sie das letzte gültige Setup von unserer Internetseite,\r\n"
                "installieren Sie dieses, machen Sie erneut das Update, starten Sie das Programm erneut."_ansi);
        return false;
    }
    if (versionNumber(app.programVersion) < versionNumber(update)) {
        box().info(
            owner, "UPDATE-Versionskonflikt",
            "Diese UPDATE-Version " + app.programVersion + " ist älter als die\r\nletzte Version "_ansi +
                update +
                "\r\nSichern Sie Ihre Daten, laden Sie das letzte gültige Setup oder Update von unserer "
                "Internetseite,\r\ninstallieren Sie dieses und starten Sie das Programm erneut."_ansi);
        return false;
    }
    if (update != app.programVersion) SAVEREG_EINZELWERT(owner, "HKCU", "", "Update", app.programVersion);
    return true;
}

bool GETISADMIN(Owner owner, bool show) {
    std::string mode = GETREG_EINZELWERT(owner, "HKCU", "", "InstallMode", false);
    if (mode.empty()) mode = GETREG_EINZELWERT(owner, "HKLM", "", "InstallMode", false);
    // The installation writes "ADMIN"; the word is recognised in any case, as the
    // start-up read of the settings does.
    const bool admin = startsWith(upper(mode), "ADMIN");
    if (show) box().info(owner, "Installlations-Modus", "Die Installation erfolgte im Modus > " + mode);
    return admin;
}

} // namespace arti
