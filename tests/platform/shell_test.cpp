// The shell's "open" through xdg-open, with a stand-in xdg-open script on PATH that
// records its arguments and ends with the exit status the test asks for.
#include "core/Services.h"
#include "platform/Shell.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

using namespace arti;
using namespace arti::platform;
using namespace arti::test;

namespace {

class ShellOpenTest : public ::testing::Test {
protected:
    ShellOpenTest()
        : path_("PATH", dir_.folder() + "bin"), out_("XDG_TEST_OUT", dir_.folder() + "args"),
          exit_("XDG_TEST_EXIT", "0") {
        std::filesystem::create_directories(dir_.path() / "bin");
        // The script lets go of the test's output at once, so that a script still asleep
        // does not hold up whoever reads it.
        writeBytes(script(), "#!/bin/sh\n"
                             "exec >/dev/null 2>&1\n"
                             "printf '%s\\n' \"$@\" > \"$XDG_TEST_OUT\"\n"
                             "[ -n \"$XDG_TEST_SLEEP\" ] && /bin/sleep \"$XDG_TEST_SLEEP\"\n"
                             "exit \"$XDG_TEST_EXIT\"\n");
        std::filesystem::permissions(script(), std::filesystem::perms::owner_all);
        writeBytes(document(), "log");
    }
    std::string script() const { return dir_.folder() + "bin/xdg-open"; }
    std::string document() const { return dir_.folder() + "Error.log"; }
    // What the script was given, one argument a line; empty when it did not run.
    std::string received() const { return readBytes(dir_.folder() + "args"); }
    long openWithExit(const std::string& status) {
        exit_.set(status);
        return shellOpen(document(), "open");
    }

    TempDir dir_;
    ScopedEnv path_;
    ScopedEnv out_;
    ScopedEnv exit_;
};

#ifndef _WIN32 // what xdg-open is given and how its exit status is read
TEST_F(ShellOpenTest, ExistingDocumentIsHandedToXdgOpen) {
    EXPECT_EQ(shellOpen(document(), "open"), kShellSuccess);
    EXPECT_EQ(received(), document() + "\n");
    // Through the services, as the program installs it.
    DesktopShell desktop;
    ServicesScope scope({.shell = &desktop});
    EXPECT_GT(shell().open(nullptr, document(), "open", ""), 32);
}
#endif

TEST_F(ShellOpenTest, MissingFileOrFolderIsReportedWithoutStartingAnything) {
    EXPECT_EQ(shellOpen(dir_.folder() + "gone.log", "open"), kShellFileNotFound);
    EXPECT_EQ(shellOpen(dir_.folder() + "nofolder/gone.log", "open"), kShellPathNotFound);
    EXPECT_EQ(shellOpen("", "open"), kShellBadName);
    EXPECT_EQ(shellOpen(document(), "print"), kShellNoAssociation);
    // The same through the services, as the program installs the shell.
    DesktopShell desktop;
    ServicesScope scope({.shell = &desktop});
    EXPECT_EQ(shell().open(nullptr, dir_.folder() + "fehlt.html", "open", ""), kShellFileNotFound);
    EXPECT_EQ(shell().open(nullptr, dir_.folder() + "nicht/da/fehlt.html", "open", ""), kShellPathNotFound);
    EXPECT_EQ(shell().open(nullptr, dir_.folder(), "print", ""), kShellNoAssociation);
    EXPECT_EQ(received(), "");
}

#ifdef _WIN32
// What ShellExecuteW refuses comes back with its own code: an address of a scheme and a
// file of a type that no application takes.
TEST_F(ShellOpenTest, FailuresOfTheWindowsShellKeepTheirCodes) {
    const std::string odd = dir_.folder() + "Bericht.arti-unbekannt";
    writeBytes(odd, "");
    const std::string targets[] = {"unbekannt-arti:abc", odd};
    for (const std::string& target : targets)
        EXPECT_EQ(shellOpen(target, "open"), kShellNoAssociation) << target;
}
#endif

#ifndef _WIN32 // xdg-open itself
TEST_F(ShellOpenTest, ExitStatusOfXdgOpenBecomesAShellResult) {
    EXPECT_EQ(openWithExit("2"), kShellFileNotFound);
    EXPECT_EQ(openWithExit("3"), kShellNoAssociation);
    EXPECT_EQ(openWithExit("1"), 1);
    EXPECT_EQ(openWithExit("4"), 4);
    EXPECT_EQ(openWithExit("77"), 4); // never mistaken for success
}

TEST_F(ShellOpenTest, MissingXdgOpenMeansNoApplication) {
    std::filesystem::remove(script());
    EXPECT_EQ(shellOpen(document(), "open"), kShellNoAssociation);
}

TEST_F(ShellOpenTest, TargetIsPassedAsOneArgumentAndNeverInterpreted) {
    const std::string odd = dir_.folder() + "a;b $(touch pwned) `touch pwned2` 'x\" & y.log";
    writeBytes(odd, "");
    EXPECT_EQ(shellOpen(odd, "open"), kShellSuccess);
    EXPECT_EQ(received(), odd + "\n");
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    EXPECT_FALSE(std::filesystem::exists(dir_.folder() + "pwned"));

    // A relative name that starts with '-' is not taken for an option.
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    writeBytes("-v", "");
    const long dash = shellOpen("-v", "");
    std::filesystem::current_path(cwd);
    EXPECT_EQ(dash, kShellSuccess);
    EXPECT_EQ(received(), "./-v\n");

    // Addresses go as they are, without a look at the file system.
    EXPECT_EQ(shellOpen("https://example.org/a?b=1&c=2", "open"), kShellSuccess);
    EXPECT_EQ(received(), "https://example.org/a?b=1&c=2\n");
}

TEST_F(ShellOpenTest, XdgOpenThatStaysWithItsApplicationCountsAsStarted) {
    const ScopedEnv slow("XDG_TEST_SLEEP", "3");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(shellOpen(document(), "open", std::chrono::milliseconds(100)), kShellSuccess);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
#endif

} // namespace
