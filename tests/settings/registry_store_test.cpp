#include "core/AppState.h"
#include "platform/Paths.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

using namespace arti;
using arti::platform::RegHive;
using arti::test::FileRewrites;
using arti::test::readBytes;
using arti::test::RegistrySandbox;

namespace {

// The separator that ends the program's folder texts.
const std::string kSep(1, platform::kPathSeparator);

// A path as the system reads it: Windows takes '/' and '\\' alike.
std::filesystem::path normal(const std::string& path) {
    return platform::fsPath(path).lexically_normal();
}

const char* const kStartValues[] = {
    "InstallMode", "InstallPath", "Setup",  "Update",   "DateiVersion", "DateiEXE",   "Proxy",
    "ProxyName",   "ProxyPW",     "URL",    "URLMerix", "Visual",       "ARTIQuelle", "Waehrung",
    "LCode",       "NKS",         "UDatum", "ODatum",   "StartDlg",     "Intervall",  "PRGUpdate"};

class SettingsStore : public arti::test::ServicesFixture {
protected:
    SettingsStore() {
        settings() = Settings{};
        appState() = AppState{};
    }

    static void user(const std::string& name, const std::string& text) {
        ASSERT_TRUE(RegistrySandbox::put(RegHive::CurrentUser, defaultKey(), name, text));
    }
    static void machine(const std::string& name, const std::string& text) {
        ASSERT_TRUE(RegistrySandbox::put(RegHive::LocalMachine, defaultKey(), name, text));
    }
    static std::optional<std::string> userValue(const std::string& name) {
        return RegistrySandbox::get(RegHive::CurrentUser, defaultKey(), name);
    }
    void expectBox(const char* caption, const std::string& text) {
        ASSERT_FALSE(box_.shown.empty());
        EXPECT_EQ(box_.shown.front().kind, BoxKind::Info);
        EXPECT_EQ(box_.shown.front().caption, caption);
        EXPECT_EQ(box_.shown.front().text, text);
        box_.shown.erase(box_.shown.begin());
    }

    RegistrySandbox reg_;
};

} // namespace

TEST_F(SettingsStore, FirstStartSeedsTheUserFromTheMachineAndWritesDefaults) {
    machine("InstallMode", "ADMIN");
    machine("InstallPath", "/data/arti/");
    machine("Setup", "23/01/30");
    machine("URLMerix", "https://update.example/ARTI");
    machine("PRGUpdate", "FALSE");
    machine("Waehrung", "CHF");
    box_.expect(BoxButton::Ok);

    REGDATENAUSLESEN(nullptr);

    std::string pairs;
    for (const char* name : kStartValues) {
        const auto v = RegistrySandbox::get(RegHive::LocalMachine, defaultKey(), name);
        pairs += std::string(pairs.empty() ? "" : "\r\n") + name + "|" + v.value_or("");
    }
    expectBox("Hinweis nach der Installation", "Die Admin-Installationswerte der HKLM \r\n\r\n" + pairs +
                                                   "\r\n wurden für den Benutzer HKCU übernommen.");
    EXPECT_NE(pairs.find("\r\nUpdate|\r\n"), std::string::npos); // blank pairs are listed too

    EXPECT_EQ(userValue("URLMerix"), "https://update.example/ARTI");
    EXPECT_EQ(userValue("Proxy"), ""); // stored empty, not as 255 blanks
    EXPECT_EQ(userValue("PRGUpdate"), "FALSE");
    // Defaults for what the machine did not give.
    EXPECT_EQ(userValue("ARTIQuelle"), "/data/arti/ArtiImport" + kSep);
    EXPECT_EQ(userValue("Waehrung"), "CHF");
    EXPECT_EQ(userValue("LCode"), "DE");
    EXPECT_EQ(userValue("NKS"), "2");
    EXPECT_EQ(userValue("UDatum"), "08.11.2026");
    EXPECT_EQ(userValue("ODatum"), "07.01.2027");
    EXPECT_EQ(userValue("Intervall"), "0");

    const Settings& s = settings();
    EXPECT_TRUE(s.adminInstall);
    EXPECT_EQ(s.installPath, "/data/arti/");
    EXPECT_EQ(s.artiQuelle, "/data/arti/ArtiImport" + kSep);
    EXPECT_EQ(s.waehrung, "CHF");
    EXPECT_EQ(s.nks, 2);
    EXPECT_EQ(s.uDatum, (std::chrono::year{2026} / 11 / 8));
    EXPECT_EQ(s.oDatum, (std::chrono::year{2027} / 1 / 7));
    EXPECT_TRUE(s.startDlg);
    EXPECT_FALSE(s.visual);

    // The next start reads the user's values only.
    machine("Waehrung", "USD");
    machine("Visual", "TRUE");
    REGDATENAUSLESEN(nullptr);
    EXPECT_EQ(settings().waehrung, "CHF");
    EXPECT_FALSE(settings().visual);
}

TEST_F(SettingsStore, ADataFolderBelowTheHomeIsEachUsersOwnAndMadeOnFirstUse) {
    const test::TempDir home;
#ifdef _WIN32
    const test::ScopedEnv env("USERPROFILE", home.path().string());
#else
    const test::ScopedEnv env("HOME", home.path().string());
#endif
    machine("InstallPath", "~/ARTISCOPE/");
    box_.expect(BoxButton::Ok);
    REGDATENAUSLESEN(nullptr);
    EXPECT_EQ(userValue("InstallPath"), "~/ARTISCOPE/"); // seeded as the machine names it
    EXPECT_EQ(normal(settings().installPath), normal(home.folder() + "ARTISCOPE/"));
    EXPECT_EQ(normal(settings().artiQuelle), normal(home.folder() + "ARTISCOPE/ArtiImport/"));
    EXPECT_TRUE(std::filesystem::is_directory(home.folder() + "ARTISCOPE/ArtiImport"));
}

TEST_F(SettingsStore, UserValuesAreNeverFilledFromTheMachineButSetup) {
    user("InstallPath", "/home/u/arti"); // without the separator
    user("Setup", "22/05/01");
    machine("Setup", "23/01/30");
    machine("Proxy", "proxy.example:8080");

    ValueList list = makeValueList({{"Setup", 20}, {"Proxy", 255}});
    GETREGISTRY(nullptr, "", list);
    EXPECT_EQ(list[0].text, "22/05/01"); // the returned pair keeps the user's text
    EXPECT_EQ(list[1].text, std::string(255, ' '));
    EXPECT_EQ(userValue("Setup"), "23/01/30");
    EXPECT_EQ(userValue("Proxy"), std::nullopt);
    EXPECT_EQ(window_.pumps, 1);

    REGDATENAUSLESEN(nullptr);
    EXPECT_EQ(userValue("ARTIQuelle"), "/home/u/arti" + kSep + "ArtiImport" + kSep);
    EXPECT_EQ(userValue("PRGUpdate"), "TRUE");
}

TEST_F(SettingsStore, SetupIsRefreshedOnlyWhenItDiffersFromTheProgram) {
    // The machine has no "Setup": any look at it would show an error box.
    machine("URL", "x");
    for (const char* setup : {"23/01/30", "", "  "}) {
        user("Setup", setup);
        ValueList list = makeValueList({{"Setup", 20}});
        GETREGISTRY(nullptr, "", list);
        EXPECT_TRUE(box_.shown.empty()) << "Setup '" << setup << "'";
    }

    // A failed read of the machine's value leaves the user's value alone.
    user("Setup", "22/05/01");
    box_.expect(BoxButton::Ok);
    ValueList list = makeValueList({{"Setup", 20}});
    GETREGISTRY(nullptr, "", list);
    expectBox("Registry auslesen HKLM", "der Schlüssel\r\nSetup\r\nkonnte unter dem "
                                        "Subkey\r\nSoftware\\MERIX\\ARTISCOPE\\INIFolder\r\nnicht gelesen "
                                        "werden.");
    EXPECT_EQ(userValue("Setup"), "22/05/01");
}

TEST_F(SettingsStore, SlotWidthBoundsWhatIsTaken) {
    user("Waehrung", "ABCDEFGHI"); // width 10 - 1: not taken, the default is written over it
    user("LCode", "ABCDEFGHIJ");   // width 10: not taken
    user("URLMerix", "ABCDEFGH");  // read below with width 10: taken
    user("ARTIQuelle", std::string(253, 'q'));
    REGDATENAUSLESEN(nullptr);
    EXPECT_EQ(settings().waehrung, "EUR");
    EXPECT_EQ(userValue("Waehrung"), "EUR");
    EXPECT_EQ(settings().lCode, "DE");
    EXPECT_EQ(settings().artiQuelle, std::string(253, 'q'));

    ValueList list = makeValueList({{"URLMerix", 10}, {"Fehlt", 10}});
    GETREGISTRY(nullptr, "", list);
    EXPECT_EQ(list[0].text, "ABCDEFGH");
    EXPECT_EQ(list[1].text, std::string(10, ' '));

    // Single reads take at most 253 characters.
    user("Lang", std::string(253, 'x'));
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", "", "Lang", false), std::string(253, 'x'));
    user("Lang", std::string(254, 'x'));
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", "", "Lang", false), "");
}

TEST_F(SettingsStore, AStoredDateWindowSurvivesTheNextStart) {
    user("UDatum", "01.10.2026");
    user("ODatum", "31.12.2026");
    REGDATENAUSLESEN(nullptr);
    EXPECT_EQ(settings().uDatum, (std::chrono::year{2026} / 10 / 1));
    EXPECT_EQ(settings().oDatum, (std::chrono::year{2026} / 12 / 31));
    EXPECT_EQ(userValue("UDatum"), "01.10.2026");
    EXPECT_EQ(userValue("ODatum"), "31.12.2026");
}

TEST_F(SettingsStore, StartValuesAreInterpreted) {
    struct Case {
        const char* nks;
        int nksExpected;
        const char* visual;
        bool visualOn;
        const char* startDlg;
        bool startDlgOn;
        const char* mode;
        bool admin;
    };
    const Case cases[] = {
        {"0", 2, "false", false, "true", true, "", true},
        {"abc", 2, "no", true, "FALSE", false, "admin-x", true},
        {"3", 3, nullptr, false, nullptr, true, "USER", false},
        {" 4 ", 4, " TRUE ", true, "no", false, "Admin", true},
    };
    for (const Case& c : cases) {
        RegistrySandbox fresh;
        user("NKS", c.nks);
        if (c.visual) user("Visual", c.visual);
        if (c.startDlg) user("StartDlg", c.startDlg);
        user("InstallMode", c.mode);
        user("UDatum", "31.02.2026"); // no date: default
        user("ODatum", "1.1.27");
        REGDATENAUSLESEN(nullptr);
        const Settings& s = settings();
        EXPECT_EQ(s.nks, c.nksExpected) << c.nks;
        EXPECT_EQ(userValue("NKS"), c.nksExpected == 2 ? "2" : c.nks);
        EXPECT_EQ(s.visual, c.visualOn) << (c.visual ? c.visual : "missing");
        EXPECT_EQ(s.startDlg, c.startDlgOn) << (c.startDlg ? c.startDlg : "missing");
        EXPECT_EQ(s.adminInstall, c.admin) << c.mode;
        EXPECT_EQ(userValue("UDatum"), "08.11.2026");
        EXPECT_EQ(userValue("ODatum"), "1.1.27");
        EXPECT_EQ(s.oDatum, (std::chrono::year{2027} / 1 / 1));
        // Without a data folder no source folder is made up.
        EXPECT_EQ(userValue("ARTIQuelle"), std::nullopt);
    }
}

TEST_F(SettingsStore, HiveTextsOtherThanHkcuAndHklmAreRejected) {
    for (int i = 0; i < 5; ++i)
        box_.expect(BoxButton::Ok);
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKEY_CURRENT_USER", "", "Setup", false), "");
    SAVEREG_EINZELWERT(nullptr, "hkcu", "", "Setup", "1");
    SAVEREGISTRY(nullptr, "HKCR", "", {{"Setup", "1"}});
    EXPECT_FALSE(GETREG_SUBKEY(nullptr, "", "", false));
    DELREG_SCHLUESSEL(nullptr, "HKU", "", "Setup");
    expectBox("Registry Einzelwert auslesen", "Ungültiger Key");
    expectBox("Registry-Einzelwert speichern", "Ungültiger Key");
    expectBox("Registry speichern", "Ungültiger Key");
    expectBox("Registry Einzelwert auslesen", "Ungültiger Key");
    expectBox("Registry-Einzelwert speichern", "Ungültiger Key");
    EXPECT_FALSE(std::filesystem::exists(reg_.hkcu()));
}

TEST_F(SettingsStore, ReadFailuresAreReportedOnRequest) {
    const std::string key = "Software\\MERIX\\ARTISCOPE\\INIFolder";
    box_.expect(BoxButton::Ok).expect(BoxButton::Ok).expect(BoxButton::Ok);
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKLM", "", "Setup"), "");
    expectBox("Registry auslesen HKLM", "der Subkey\r\n" + key + "\r\nkonnte nicht gelesen werden.");
    EXPECT_FALSE(GETREG_SUBKEY(nullptr, "HKCU", "Software\\Fehlt"));
    expectBox("Registry auslesen Software\\Fehlt",
              "der Subkey\r\nSoftware\\Fehlt\r\nkonnte nicht gelesen werden.");
    user("Setup", "  23/01/30 ");
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", "", "Setup"), "23/01/30");
    EXPECT_TRUE(GETREG_SUBKEY(nullptr, "HKCU", ""));
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", "", "Update"), "");
    expectBox("Registry auslesen HKCU",
              "der Schlüssel\r\nUpdate\r\nkonnte unter dem Subkey\r\n" + key + "\r\nnicht gelesen werden.");
    // Quiet reads stay quiet.
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", "Fehlt", "Setup", false), "");
    EXPECT_FALSE(GETREG_SUBKEY(nullptr, "HKLM", "", false));
    EXPECT_EQ(GETUSERPROFILEPATH(nullptr), platform::userConfigFolder());

    // A list without pairs: the hint, then the machine's key (missing here).
    box_.expect(BoxButton::Ok);
    ValueList empty;
    GETREGISTRY(nullptr, "", empty);
    expectBox("Hinweis GetRegistry", "Es sind keine Einträge in der BenutzerHKCU enthalten.");
}

TEST_F(SettingsStore, WriteFailuresAreReportedOnRequest) {
    const std::string key = "Software\\MERIX\\ARTISCOPE\\INIFolder";
    // Values that cannot be set: one box per failing pair, the others are written.
    box_.expect(BoxButton::Ok).expect(BoxButton::Ok);
    SAVEREGISTRY(nullptr, "HKCU", "", {{"Gut", "1"}, {"Schlecht", "a\r\nb"}, {"Auch", "2"}}, true);
    expectBox("Registry Wert", "Wert des Eintrages\r\nSchlecht\r\nkann nicht geschrieben werden !");
    EXPECT_EQ(userValue("Gut"), "1");
    EXPECT_EQ(userValue("Auch"), "2");
    SAVEREG_EINZELWERT(nullptr, "HKCU", "", "Name", "a\nb", true);
    expectBox("Registry Save-Einzelwert", "Wert des Eintrages\r\na\nb\r\nkann nicht geschrieben werden !");

    // A read-only hive: the key cannot be opened for writing.
    const std::string before = readBytes(reg_.hkcu());
    arti::test::makeReadOnly(reg_.hkcu());
    SAVEREGISTRY(nullptr, "HKCU", "", {{"Gut", "3"}}); // quiet by default
    SAVEREG_EINZELWERT(nullptr, "HKCU", "", "Gut", "3");
    DELREG_SCHLUESSEL(nullptr, "HKCU", "", "Gut");
    EXPECT_TRUE(box_.shown.empty());
    box_.expect(BoxButton::Ok).expect(BoxButton::Ok).expect(BoxButton::Ok);
    SAVEREGISTRY(nullptr, "HKCU", "", {{"Gut", "3"}}, true);
    SAVEREG_EINZELWERT(nullptr, "HKCU", "", "Gut", "3", true);
    DELREG_SCHLUESSEL(nullptr, "HKCU", "", "Gut", true);
    const std::string refused =
        "SubKey\r\n" + key + "\r\nin der Registry kann nicht geschrieben/geöffnet werden !";
    expectBox("Registry Schlüssel", refused);
    expectBox("Registry Save-Einzelwert", refused);
    expectBox("Registry Schlüssel", "Der Subkey\r\n" + key + "\r\nkonnte nicht gelesen werden.");
    EXPECT_EQ(readBytes(reg_.hkcu()), before);
}

TEST_F(SettingsStore, DeleteRemovesOneExistingValue) {
    user("Lang", std::string(400, 'x')); // longer than any read buffer
    user("Kurz", "1");
    DELREG_SCHLUESSEL(nullptr, "HKCU", "", "lang", true);
    EXPECT_EQ(userValue("Lang"), std::nullopt);
    EXPECT_EQ(userValue("Kurz"), "1");

    box_.expect(BoxButton::Ok).expect(BoxButton::Ok);
    DELREG_SCHLUESSEL(nullptr, "HKCU", "", "Lang", true);
    expectBox("Registry Schlüssel", "Der Schlüssel\r\nLang\r\nkonnte unter dem Subkey\r\n"
                                    "Software\\MERIX\\ARTISCOPE\\INIFolder\r\nnicht gelesen werden.");
    DELREG_SCHLUESSEL(nullptr, "HKLM", "Fehlt", "Lang", true);
    expectBox("Registry Schlüssel", "Der Subkey\r\nFehlt\r\nkonnte nicht gelesen werden.");
}

TEST_F(SettingsStore, ASaveOfSeveralValuesChangesTheHiveOnce) {
    struct Case {
        const char* what;
        std::function<void()> save;
        std::vector<std::pair<const char*, const char*>> stored;
    };
    const Case cases[] = {
        {"the settings window's values",
         [] {
             SAVEREGISTRY(nullptr, "HKCU", "",
                          {{"WAEHRUNG", "CHF"},
                           {"LCODE", "AT"},
                           {"NKS", "3"},
                           {"UDatum", "01.07.2021"},
                           {"ODatum", "30.06.2022"}});
         },
         {{"Waehrung", "CHF"},
          {"LCode", "AT"},
          {"NKS", "3"},
          {"UDatum", "01.07.2021"},
          {"ODatum", "30.06.2022"}}},
        {"a pair that cannot be set among others",
         [] {
             SAVEREGISTRY(nullptr, "HKCU", "", {{"Gut", "1"}, {"Schlecht", "a\r\nb"}, {"Auch", "2"}});
         },
         {{"Gut", "1"}, {"Auch", "2"}}},
        {"the defaults of the start",
         [] { REGDATENAUSLESEN(nullptr); },
         {{"Waehrung", "EUR"}, {"NKS", "2"}, {"ODatum", "07.01.2027"}, {"PRGUpdate", "TRUE"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegistrySandbox fresh;
        user("Setup", "23/01/30"); // the key exists, as after the first start
        FileRewrites rewrites(fresh.hkcu());
        c.save();
        EXPECT_EQ(rewrites.take(), 1);
        for (const auto& [name, text] : c.stored)
            EXPECT_EQ(userValue(name), text) << name;
        EXPECT_EQ(userValue("Setup"), "23/01/30");
    }
}

#ifdef _WIN32
// ---- The registry of Windows itself -------------------------------------------------------
//
// Without ARTISCOPE_REGISTRY_DIR the settings go to the registry of Windows. The test
// works under a key of its own (a program name nobody else uses) and removes it in both
// hives afterwards.

namespace {

class WindowsRegistry : public SettingsStore {
protected:
    WindowsRegistry() {
        appState().shortName = "ARTISCOPE-Test-" + std::to_string(GetCurrentProcessId());
        removeKeys();
    }
    ~WindowsRegistry() override { removeKeys(); }

    std::wstring programKey() const { return platform::wide("Software\\MERIX\\" + appState().shortName); }
    void removeKeys() const {
        RegDeleteTreeW(HKEY_CURRENT_USER, programKey().c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, programKey().c_str());
    }
    // A value as Windows itself reads it; nullopt when it is missing.
    std::optional<std::wstring> stored(HKEY hive, const wchar_t* name) const {
        const std::wstring key = programKey() + L"\\INIFolder";
        wchar_t buf[512];
        DWORD size = sizeof buf;
        if (RegGetValueW(hive, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(buf);
    }
    // What an administrator writes with the registry editor.
    bool administratorSets(const wchar_t* name, const std::wstring& text) const {
        HKEY k = nullptr;
        const std::wstring key = programKey() + L"\\INIFolder";
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                            nullptr) != ERROR_SUCCESS)
            return false;
        const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        const bool ok = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                       bytes) == ERROR_SUCCESS;
        RegCloseKey(k);
        return ok;
    }

    arti::test::ScopedEnv noHiveFolder_{"ARTISCOPE_REGISTRY_DIR", std::nullopt};
};

} // namespace

TEST_F(WindowsRegistry, SettingsRoundTripThroughTheUsersRegistry) {
    struct Case {
        const char* name;
        std::string text;     // as the program holds it (Windows-1252)
        std::wstring windows; // as Windows stores it
    };
    const Case cases[] = {
        {"Waehrung", "CHF", L"CHF"},
        {"InstallPath", "C:\\Daten\\M\xFCller & S\xF6hne\\", L"C:\\Daten\\M\u00FCller & S\u00F6hne\\"},
        {"Proxy", "", L""},
    };
    ValueList list;
    for (const Case& c : cases)
        list.push_back({c.name, c.text});
    SAVEREGISTRY(nullptr, "HKCU", defaultKey(), list, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(stored(HKEY_CURRENT_USER, platform::wide(c.name).c_str()), c.windows);
        EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", defaultKey(), c.name), c.text);
    }
    EXPECT_FALSE(std::filesystem::exists(platform::hiveFile(RegHive::CurrentUser)));

    DELREG_SCHLUESSEL(nullptr, "HKCU", defaultKey(), "Proxy", true);
    EXPECT_EQ(stored(HKEY_CURRENT_USER, L"Proxy"), std::nullopt);
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(WindowsRegistry, AMachineWideValueOfTheAdministratorIsHonoured) {
    ASSERT_TRUE(administratorSets(L"InstallMode", L"ADMIN"));
    ASSERT_TRUE(administratorSets(L"PRGUpdate", L"FALSE"));
    ASSERT_TRUE(administratorSets(L"Waehrung", L"CHF"));
    box_.expect(BoxButton::Ok);

    REGDATENAUSLESEN(nullptr);

    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown.front().caption, "Hinweis nach der Installation");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, L"PRGUpdate"), L"FALSE");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, L"Waehrung"), L"CHF");
    EXPECT_EQ(settings().waehrung, "CHF");
    // The machine's values stay the administrator's.
    EXPECT_EQ(stored(HKEY_LOCAL_MACHINE, L"Waehrung"), L"CHF");
}
#endif
