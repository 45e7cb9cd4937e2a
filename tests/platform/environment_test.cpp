// The process environment, private temporary folders and child processes, in UTF-8 on
// every system.
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Unicode.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <thread>

using namespace arti::platform;

namespace {

// This test program, started again as a child.
std::string self() {
    return executableFolder() + "platform_environment_test" + std::string(kProgramSuffix);
}

} // namespace

TEST(Environment, SetValuesAreSeenByTheRuntimeAndComeBackAsSet) {
    const std::string name = "ARTI_ENV_TEST";
    const std::string values[] = {"eins", "C:\\Daten\\Müller & Söhne\\", "a=b;c", " blanks "};
    for (const std::string& v : values) {
        SCOPED_TRACE(v);
        ASSERT_TRUE(setEnvironmentValue(name, v));
        EXPECT_EQ(environmentValue(name), v);
        // The C runtime's getenv sees the same variable (in its own code page on Windows).
        EXPECT_NE(std::getenv(name.c_str()), nullptr);
    }
    EXPECT_TRUE(unsetEnvironmentValue(name));
    EXPECT_EQ(environmentValue(name), std::nullopt);
    EXPECT_EQ(std::getenv(name.c_str()), nullptr);
    EXPECT_TRUE(unsetEnvironmentValue(name)); // not set: nothing to do
    EXPECT_FALSE(setEnvironmentValue("", "x"));
    EXPECT_FALSE(setEnvironmentValue("A=B", "x"));
}

TEST(Environment, PrivateFoldersAreNewEachTime) {
    const arti::test::TempDir parent;
    const std::string base = pathText(parent.path());
    std::set<std::string> made;
    for (int i = 0; i < 20; ++i) {
        const std::string folder = makePrivateFolder(base, "prüf ");
        ASSERT_FALSE(folder.empty());
        EXPECT_TRUE(folderExists(folder)) << folder;
        EXPECT_EQ(fsPath(folder).parent_path(), parent.path());
        EXPECT_EQ(pathText(fsPath(folder).filename()).rfind("prüf ", 0), 0u) << folder;
        EXPECT_TRUE(made.insert(folder).second) << folder;
    }
    EXPECT_EQ(makePrivateFolder(base + "/fehlt/auch", "x"), "");
}

// Run only as the child of the test below: waits to be killed.
TEST(Environment, DISABLED_WaitsToBeKilled) {
    std::this_thread::sleep_for(std::chrono::seconds(60));
}

TEST(Environment, ChildProcessesEndByThemselvesOrAreKilled) {
    {
        ChildProcess child;
        ASSERT_TRUE(child.start(self(), {"--gtest_list_tests", "--gtest_filter=Environment.*"}));
        const std::string out = child.readOutput();
        EXPECT_NE(out.find("PrivateFoldersAreNewEachTime"), std::string::npos) << out;
        const ChildProcess::Ending end = child.wait();
        EXPECT_FALSE(end.killed);
        EXPECT_EQ(end.exitCode, 0);
    }
    {
        ChildProcess child;
        ASSERT_TRUE(child.start(self(), {"--gtest_also_run_disabled_tests",
                                         "--gtest_filter=Environment.DISABLED_WaitsToBeKilled"}));
        const auto started = std::chrono::steady_clock::now();
        child.kill();
        EXPECT_TRUE(child.wait().killed);
        child.readOutput();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    }
    ChildProcess missing;
    EXPECT_FALSE(missing.start(executableFolder() + "fehlt" + std::string(kProgramSuffix), {}));
}

TEST(Folders, NamesWithUmlautsAndBlanksWorkAsUtf8) {
    const arti::test::TempDir dir;
    const std::string base = pathText(dir.path());
    const std::filesystem::path before = std::filesystem::current_path();
    for (const std::string name : {"ä", "Prüf Ordner", "Größe € 2"}) {
        SCOPED_TRACE(name);
        const std::string folder = base + kPathSeparator + name;
        std::filesystem::create_directory(fsPath(folder));
        std::ofstream(fsPath(folder + kPathSeparator + "Error.log")) << "x";
        EXPECT_TRUE(folderExists(folder));
        EXPECT_FALSE(fileExists(folder));
        EXPECT_TRUE(fileExists(folder + kPathSeparator + "Error.log"));
        EXPECT_FALSE(folderExists(folder + kPathSeparator + "Error.log"));
        ASSERT_TRUE(changeCurrentFolder(folder));
        const std::string current = currentFolder();
        std::filesystem::current_path(before);
        EXPECT_EQ(fsPath(current), fsPath(folder + kPathSeparator)) << current;
    }
    EXPECT_FALSE(changeCurrentFolder(base + kPathSeparator + "fehlt"));
    EXPECT_FALSE(changeCurrentFolder(""));
    // The program's own folder ends in the separator and holds the program.
    const std::string program = executableFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), kPathSeparator);
    EXPECT_TRUE(fileExists(program + "platform_environment_test" + std::string(kProgramSuffix)));
    // The system's folders are named without a separator at their end (but a root).
    for (const std::string& folder :
         {homeFolder(), userConfigFolder(), userTempFolder(), systemTempFolder()}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_FALSE(folder.size() > 3 && isPathSeparator(folder.back())) << folder;
    }
    EXPECT_TRUE(folderExists(userTempFolder()));
}
