#include "platform/OsInfo.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "tests/platform/RegistrySandbox.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace arti::platform;
using arti::test::readBytes;
using arti::test::RegistrySandbox;
using arti::test::ScopedEnv;
using arti::test::writeBytes;

namespace {
const std::string kKey = "Software\\MERIX\\ARTISCOPE\\INIFolder";
}

TEST(Registry, KeysAndValueNamesIgnoreCaseAndTextsRoundTrip) {
    RegistrySandbox reg;
    RegKey k;
    ASSERT_EQ(regCreateKey(RegHive::CurrentUser, kKey, k), kRegSuccess);
    const std::string texts[] = {"C:\\Daten\\Arti\\", "a,b;c=d", "M\xE4rz", "  blanks  ",
                                 "\"quoted\"",        "'",       ""};
    for (const std::string& t : texts) {
        ASSERT_EQ(regSetValue(k, "Wert", t), kRegSuccess);
        RegKey r;
        ASSERT_EQ(
            regOpenKey(RegHive::CurrentUser, "SOFTWARE\\merix\\artiscope\\inifolder\\", RegAccess::Read, r),
            kRegSuccess);
        std::string got = "unchanged";
        EXPECT_EQ(regQueryValue(r, "WERT", 1000, got), kRegSuccess);
        EXPECT_EQ(got, t);
    }
    // One section per key path, one entry per value, in the user's hive only.
    regSetValue(k, "InstallPath", "/data/arti/");
    EXPECT_NE(readBytes(reg.hkcu())
                  .find("[Software\\MERIX\\ARTISCOPE\\INIFolder]\nWert=\nInstallPath=/data/arti/\n"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(reg.hklm()));
}

TEST(Registry, QueryCapacityCountsTheTerminator) {
    RegistrySandbox reg;
    ASSERT_TRUE(RegistrySandbox::put(RegHive::CurrentUser, kKey, "Setup", "23/01/30"));
    RegKey k;
    ASSERT_EQ(regOpenKey(RegHive::CurrentUser, kKey, RegAccess::Read, k), kRegSuccess);
    std::string text = "before";
    EXPECT_EQ(regQueryValue(k, "Setup", 8, text), kRegMoreData);
    EXPECT_EQ(text, "before");
    EXPECT_EQ(regQueryValue(k, "Setup", 9, text), kRegSuccess);
    EXPECT_EQ(text, "23/01/30");
    EXPECT_EQ(regQueryValue(k, "Fehlt", 9, text), kRegFileNotFound);
}

TEST(Registry, OpenCreateAccessAndHandles) {
    RegistrySandbox reg;
    RegKey k;
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, kKey, RegAccess::Read, k), kRegFileNotFound);
    EXPECT_FALSE(k.isOpen());
    ASSERT_EQ(regCreateKey(RegHive::CurrentUser, kKey, k), kRegSuccess);
    EXPECT_EQ(regCloseKey(k), kRegSuccess);
    // The empty key exists after a reload, and so do the keys above it.
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, kKey, RegAccess::Read, k), kRegSuccess);
    RegKey parent;
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, "software\\merix", RegAccess::Read, parent), kRegSuccess);
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, "Software\\MERI", RegAccess::Read, parent), kRegFileNotFound);
    EXPECT_EQ(regOpenKey(RegHive::LocalMachine, kKey, RegAccess::Read, parent), kRegFileNotFound);

    EXPECT_EQ(regSetValue(k, "x", "1"), kRegAccessDenied); // opened for reading
    EXPECT_EQ(regDeleteValue(k, "x"), kRegAccessDenied);
    EXPECT_EQ(regCreateKey(RegHive::CurrentUser, "Software\\\\X", k), kRegBadPathname);
    ASSERT_EQ(regOpenKey(RegHive::CurrentUser, kKey, RegAccess::All, k), kRegSuccess);
    EXPECT_EQ(regSetValue(k, "Zeilen", "a\r\n[Software]\r\nb=1"), kRegInvalidParameter);
    EXPECT_EQ(regSetValue(k, "a=b", "1"), kRegInvalidParameter);
    EXPECT_EQ(regDeleteValue(k, "x"), kRegFileNotFound);
    ASSERT_EQ(regSetValue(k, "x", "1"), kRegSuccess);
    EXPECT_EQ(regDeleteValue(k, "X"), kRegSuccess);
    EXPECT_EQ(RegistrySandbox::get(RegHive::CurrentUser, kKey, "x"), std::nullopt);
}

TEST(Registry, ReadOnlyHiveRefusesChangesButReads) {
    RegistrySandbox reg;
    ASSERT_TRUE(RegistrySandbox::put(RegHive::CurrentUser, kKey, "Setup", "23/01/30"));
    const std::string before = readBytes(reg.hkcu());
    ::chmod(reg.hkcu().c_str(), 0444);
    RegKey k;
    EXPECT_EQ(regCreateKey(RegHive::CurrentUser, kKey, k), kRegAccessDenied);
    EXPECT_EQ(regCreateKey(RegHive::CurrentUser, "Neu", k), kRegAccessDenied);
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, kKey, RegAccess::All, k), kRegAccessDenied);
    EXPECT_EQ(RegistrySandbox::get(RegHive::CurrentUser, kKey, "setup"), "23/01/30");
    EXPECT_EQ(readBytes(reg.hkcu()), before);
    ::chmod(reg.hkcu().c_str(), 0644);

    // A read-only folder without a hive file in it.
    ::chmod(reg.folder().c_str(), 0555);
    EXPECT_EQ(regCreateKey(RegHive::LocalMachine, kKey, k), kRegAccessDenied);
    ::chmod(reg.folder().c_str(), 0755);
    EXPECT_FALSE(std::filesystem::exists(reg.hklm()));
}

TEST(Registry, UnreadableHiveHasNoKeysAndIsKeptForInspection) {
    RegistrySandbox reg;
    static const char raw[] = "[Software\\MERIX\\ARTISCOPE\\INIFolder]\nSetup=23\0\0";
    const std::string damaged(raw, sizeof raw - 1);
    writeBytes(reg.hkcu(), damaged);
    RegKey k;
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, kKey, RegAccess::Read, k), kRegFileNotFound);
    EXPECT_EQ(regCreateKey(RegHive::CurrentUser, kKey, k), kRegCorrupt);
    EXPECT_EQ(readBytes(reg.hkcu()), damaged);
}

TEST(Registry, KeysOfWindowsAreAnsweredFromTheSystemReadOnly) {
    RegistrySandbox reg;
    ScopedEnv config("XDG_CONFIG_HOME", "/home/anna/.config");
    ScopedEnv temp("TMPDIR", "/var/tmp/anna");
    const auto value = [](RegHive h, const char* key, const char* name) {
        return RegistrySandbox::get(h, key, name);
    };
    EXPECT_EQ(value(RegHive::CurrentUser, "volatile environment", "appdata"), "/home/anna/.config");
    EXPECT_EQ(value(RegHive::CurrentUser, "Environment", "TEMP"), "/var/tmp/anna");
    EXPECT_EQ(value(RegHive::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                    "Temp"),
              "/tmp");
    EXPECT_EQ(value(RegHive::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName"),
              osVersion().productName);
    EXPECT_FALSE(osVersion().buildLab.empty());
    EXPECT_EQ(value(RegHive::CurrentUser, "Environment", "PATH"), std::nullopt);

    RegKey k;
    EXPECT_EQ(regOpenKey(RegHive::LocalMachine, "system\\currentcontrolset", RegAccess::Read, k),
              kRegSuccess);
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, "Environment", RegAccess::All, k), kRegAccessDenied);
    EXPECT_EQ(regCreateKey(RegHive::CurrentUser, "Volatile Environment", k), kRegAccessDenied);
    EXPECT_FALSE(std::filesystem::exists(reg.hkcu()));

    ScopedEnv home("HOME", "/home/anna");
    EXPECT_EQ(windowsEnvironmentValue("UserProfile"), "/home/anna");
    EXPECT_EQ(windowsEnvironmentValue("SYSTEMROOT"), "/");
    EXPECT_EQ(windowsEnvironmentValue("WINDIR"), "");
}
