#include "platform/OsInfo.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
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
    arti::test::makeReadOnly(reg.hkcu());
    RegKey k;
    EXPECT_EQ(regCreateKey(RegHive::CurrentUser, kKey, k), kRegAccessDenied);
    EXPECT_EQ(regCreateKey(RegHive::CurrentUser, "Neu", k), kRegAccessDenied);
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, kKey, RegAccess::All, k), kRegAccessDenied);
    EXPECT_EQ(RegistrySandbox::get(RegHive::CurrentUser, kKey, "setup"), "23/01/30");
    EXPECT_EQ(readBytes(reg.hkcu()), before);
    arti::test::makeWritable(reg.hkcu());

#ifndef _WIN32 // a folder's read-only attribute does not keep Windows from making files in it
    // A read-only folder without a hive file in it.
    arti::test::makeReadOnly(reg.folder());
    EXPECT_EQ(regCreateKey(RegHive::LocalMachine, kKey, k), kRegAccessDenied);
    arti::test::makeWritable(reg.folder());
    EXPECT_FALSE(std::filesystem::exists(reg.hklm()));
#endif
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
#ifndef _WIN32 // Windows answers from its own registry, whatever the environment says
    ScopedEnv config("XDG_CONFIG_HOME", "/home/anna/.config");
    ScopedEnv temp("TMPDIR", "/var/tmp/anna");
#endif
    struct Case {
        RegHive hive;
        const char* key;
        const char* name;
        std::string expected; // the folder of this system that the value names
    };
    const Case cases[] = {
        {RegHive::CurrentUser, "volatile environment", "appdata", userConfigFolder()},
        {RegHive::CurrentUser, "Environment", "TEMP", userTempFolder()},
        {RegHive::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "Temp",
         systemTempFolder()},
        {RegHive::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName",
         osVersion().productName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.name);
        const std::optional<std::string> got = RegistrySandbox::get(c.hive, c.key, c.name);
        ASSERT_TRUE(got.has_value());
        // Windows names its folders in any case.
        EXPECT_TRUE(equalsIgnoreCase(*got, c.expected)) << *got << " vs " << c.expected;
    }
    EXPECT_FALSE(osVersion().buildLab.empty());
    // The 32-bit view of the version key: there on a 64-bit system only.
    const auto product64 = RegistrySandbox::get(
        RegHive::LocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion", "ProductName");
    EXPECT_EQ(product64, osWordSize() == 64 ? std::optional(osVersion().productName) : std::nullopt);
    EXPECT_EQ(RegistrySandbox::get(RegHive::CurrentUser, "Environment", "PATH"), std::nullopt);

    RegKey k;
    EXPECT_EQ(regOpenKey(RegHive::LocalMachine, "system\\currentcontrolset", RegAccess::Read, k),
              kRegSuccess);
    EXPECT_EQ(regOpenKey(RegHive::CurrentUser, "Environment", RegAccess::All, k), kRegAccessDenied);
    EXPECT_EQ(regCreateKey(RegHive::CurrentUser, "Volatile Environment", k), kRegAccessDenied);
    EXPECT_FALSE(std::filesystem::exists(reg.hkcu()));

    // USERPROFILE is the home folder, SYSTEMROOT the system's root; nothing else.
#ifdef _WIN32
    const ScopedEnv home("USERPROFILE", "C:\\Users\\anna");
    const ScopedEnv root("SystemRoot", "C:\\Windows");
    const std::pair<const char*, const char*> names[] = {
        {"UserProfile", "C:\\Users\\anna"}, {"SYSTEMROOT", "C:\\Windows"}, {"WINDIR", ""}};
#else
    const ScopedEnv home("HOME", "/home/anna");
    const std::pair<const char*, const char*> names[] = {
        {"UserProfile", "/home/anna"}, {"SYSTEMROOT", "/"}, {"WINDIR", ""}};
#endif
    for (const auto& [name, value] : names)
        EXPECT_EQ(windowsEnvironmentValue(name), value) << name;
}
