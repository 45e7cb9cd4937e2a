// The program artiscope-check as a user runs it: exit codes, options, the summary, the
// logs of several files, DATANORM files refused, the user's settings left alone.
#include "core/Text.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <vector>

using namespace arti;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

class Program : public ::testing::Test {
protected:
    // Runs the checker in the test's folder with its own settings store. With a
    // `fileLimit` no file it writes may grow beyond so many bytes, as on a full disk.
    Outcome check(const std::string& args, std::size_t fileLimit = 0) {
        const std::string out = dir_.folder() + "stdout.txt";
        const std::string err = dir_.folder() + "stderr.txt";
        const std::string run = "ARTISCOPE_REGISTRY_DIR='" + registry_.folder() + "' " + ARTI_CHECK_EXE +
                                " " + args + " > '" + out + "' 2> '" + err + "'";
        const std::string cmd =
            "cd '" + dir_.folder() + "' && " +
            // The shell's ulimit -f counts blocks of 512 bytes.
            (fileLimit > 0 ? "( ulimit -f " + std::to_string(fileLimit / 512) + "; " + run + " )" : run);
        const int status = std::system(cmd.c_str());
        Outcome r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = test::readBytes(out);
        r.err = test::readBytes(err);
        return r;
    }
    std::string generated(const std::string& name, gen::Version v, gen::Fault f = gen::Fault::None,
                          std::uint64_t records = 300) {
        gen::FileRecipe s;
        s.version = v;
        s.records = records;
        s.fault = f;
        const std::string path = dir_.folder() + name;
        gen::Report r;
        std::string error;
        EXPECT_TRUE(gen::generateFile(s, path, r, error)) << error;
        return path;
    }
    static constexpr const char* kWide = "--datum-von 01.01.2000 --datum-bis 31.12.2099 ";

    test::TempDir dir_;
    test::TempDir registry_;
};

} // namespace

TEST_F(Program, ACleanFileExitsZeroWithTheSummary) {
    generated("ARTIKEL.001", gen::Version::V0196);
    const Outcome r = check(std::string(kWide) + "ARTIKEL.001");
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(
        r.out.find("ARTIKEL.001\n  Version           01/96\n  Sätze gelesen     300\n  Meldungen         3\n"
                   "  davon Fehler      0\n"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("  Durchsatz         "), std::string::npos);
    EXPECT_NE(r.out.find("  Protokoll         " + dir_.path().string() + "/Error.log\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("  Ergebnis          in Ordnung\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir_.folder() + "Error.log"));
    EXPECT_EQ(r.err, "");
}

TEST_F(Program, ExitCodesOfFaultsAndRefusals) {
    generated("eof.001", gen::Version::V0590, gen::Fault::MissingEndMark);
    generated("order.001", gen::Version::V2000, gen::Fault::BrokenOrder);
    generated("header.001", gen::Version::V0196, gen::Fault::UnreadableHeader);
    EXPECT_EQ(check(std::string(kWide) + "eof.001").code, 1);
    const Outcome order = check(std::string(kWide) + "order.001");
    EXPECT_EQ(order.code, 1);
    EXPECT_NE(order.out.find("Ergebnis          Prüfung abgebrochen: die ReihenfolgeX"), std::string::npos)
        << order.out;
    const Outcome header = check(std::string(kWide) + "header.001");
    EXPECT_EQ(header.code, 2);
    EXPECT_NE(header.out.find("nicht prüfbar: Der Vorlaufsatz konnte nicht gelesen werden !"),
              std::string::npos);
    EXPECT_EQ(check("fehlt.001").code, 2);
    EXPECT_EQ(check("--gibtsnicht a").code, 2);
    EXPECT_EQ(check("").code, 2);
}

// No log or long-text file of a check is written over a file of the same call, whatever
// its name: the clashing file is refused and every data file keeps its bytes.
TEST_F(Program, TheCheckNeverWritesOverAFileItChecks) {
    struct Case {
        std::vector<std::string> files; // generated first, then given in this order
        std::string refused;            // the file whose check would overwrite one
        int code;
    };
    const Case cases[] = {
        {{"Error.log"}, "Error.log", 2},
        {{"a.001", "a.001.Error.log"}, "a.001", 2},
        {{"b.001", "VTEXT.DBF"}, "b.001", 2},
    };
    for (const Case& c : cases) {
        std::string args = kWide;
        std::vector<std::string> before;
        for (const std::string& f : c.files) {
            before.push_back(test::readBytes(generated(f, gen::Version::V0196, gen::Fault::None, 20)));
            args += " " + f;
        }
        const Outcome r = check(args);
        EXPECT_EQ(r.code, c.code) << r.out;
        EXPECT_NE(r.out.find(c.refused + "\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("wäre die zu prüfende Datei"), std::string::npos) << r.out;
        for (std::size_t i = 0; i < c.files.size(); ++i)
            EXPECT_EQ(test::readBytes(dir_.folder() + c.files[i]), before[i]) << c.files[i] << " was changed";
        for (const std::string& f : c.files)
            fs::remove(dir_.folder() + f);
    }
}

TEST_F(Program, SeveralFilesOneLogEachInTheLogFolder) {
    generated("A.001", gen::Version::V0590);
    generated("B.001", gen::Version::V2000);
    generated("C.001", gen::Version::V0196, gen::Fault::WrongLength);
    fs::create_directories(dir_.folder() + "sub");
    generated("sub/A.001", gen::Version::V0196);
    const Outcome r = check(std::string(kWide) + "-o logs A.001 B.001 C.001 sub/A.001");
    EXPECT_EQ(r.code, 1) << r.out;
    for (const char* log : {"A.001.Error.log", "B.001.Error.log", "C.001.Error.log", "A.001.2.Error.log"})
        EXPECT_TRUE(fs::exists(dir_.folder() + "logs/" + log)) << log;
    EXPECT_FALSE(fs::exists(dir_.folder() + "logs/Error.log"));
    EXPECT_FALSE(fs::exists(dir_.folder() + "Error.log"));
    EXPECT_NE(test::readBytes(dir_.folder() + "logs/A.001.2.Error.log")
                  .find("Datei: " + dir_.folder() + "sub/A.001"),
              std::string::npos);
    EXPECT_NE(r.out.find("Gesamt: 4 Dateien, 3 in Ordnung, 1 mit Fehlern, 0 nicht geprüft\n"),
              std::string::npos)
        << r.out;
}

TEST_F(Program, QuietLinesAndShownBoxes) {
    generated("A.001", gen::Version::V0590, gen::Fault::None, 20);
    const Outcome r = check(std::string(kWide) + "-q --meldungen A.001");
    EXPECT_EQ(r.out, "A.001: in Ordnung (20 Sätze, 0 Fehler)\n");
    EXPECT_NE(r.err.find("[Hinweis] Vermutlich ist diese ELDANORM-Datei eine Version 05/90"),
              std::string::npos)
        << r.err;
}

TEST_F(Program, HelpAndVersion) {
    Outcome r = check("--hilfe");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("Aufruf: artiscope-check [Optionen] DATEI...", 0), 0u);
    EXPECT_NE(r.out.find("--bei-laengenfehler-weiter"), std::string::npos);
    EXPECT_EQ(check("--help").out, r.out);
    r = check("--version");
    EXPECT_EQ(r.out, "artiscope-check 23/01/30\n");
}

TEST_F(Program, DatanormFilesAreRefusedCleanlyAndLeftAlone) {
    const fs::path source = fs::path(ARTI_TEST_DATA) / "datanorm";
    ASSERT_TRUE(fs::is_directory(source)) << "the DATANORM samples are missing: " << source;
    std::string args = "-q -o logs";
    std::size_t count = 0;
    for (const auto& e : fs::directory_iterator(source)) {
        const std::string name = e.path().filename().string();
        if (e.path().extension() == ".md" || name == "LICENSE" || name[0] == '.') continue;
        const std::string copy = dir_.folder() + e.path().filename().string();
        fs::copy_file(e.path(), copy);
        fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
        args += " '" + e.path().filename().string() + "'";
        ++count;
    }
    ASSERT_GT(count, 10u);
    const Outcome r = check(args);
    EXPECT_EQ(r.code, 2);
    std::size_t refused = 0;
    for (std::size_t at = r.out.find(": nicht prüfbar: "); at != std::string::npos;
         at = r.out.find(": nicht prüfbar: ", at + 1))
        ++refused;
    EXPECT_EQ(refused, count) << r.out;
    for (const auto& e : fs::directory_iterator(source)) {
        const std::string copy = dir_.folder() + e.path().filename().string();
        if (fs::exists(copy)) {
            EXPECT_EQ(test::readBytes(copy), test::readBytes(e.path().string())) << copy;
        }
    }
}

TEST_F(Program, AFullDiskIsAnIoErrorNotAPass) {
    generated("A.001", gen::Version::V0196);
    // No file may grow (ulimit -f 0) for the checker; its output goes through a pipe.
    const std::string out = dir_.folder() + "out.txt";
    const std::string cmd = "cd '" + dir_.folder() + "' && { ( ulimit -f 0; ARTISCOPE_REGISTRY_DIR='" +
                            registry_.folder() + "' exec " + ARTI_CHECK_EXE + " " + kWide +
                            "A.001 ) 2>&1; echo \"exit=$?\"; } | cat > '" + out + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string text = test::readBytes(out);
    EXPECT_NE(text.find("Ergebnis          Ein-/Ausgabefehler: Schreib-Fehler in Binär-Datei !"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("exit=2"), std::string::npos) << text;
}

TEST_F(Program, TheUsersSettingsAreLeftAlone) {
    const std::string key = "Software\\MERIX\\ARTISCOPE\\INIFolder";
    {
        test::ScopedEnv env("ARTISCOPE_REGISTRY_DIR", registry_.folder());
        ASSERT_TRUE(
            test::RegistrySandbox::put(platform::RegHive::CurrentUser, key, "ARTIQuelle", "/quelle/"));
    }
    const std::string before = test::readBytes(registry_.folder() + "HKCU.ini");
    generated("A.001", gen::Version::V2000);
    EXPECT_EQ(check(std::string(kWide) + "A.001").code, 0);
    EXPECT_EQ(test::readBytes(registry_.folder() + "HKCU.ini"), before)
        << "the file choice stored its folder";
    EXPECT_EQ(fs::directory_iterator(registry_.path()) == fs::directory_iterator(), false);
}

TEST_F(Program, ALongTextStoreThatCannotTakeTheTextsFailsTheCheckUntilItIsMadeAnew) {
    generated("A.001", gen::Version::V0196);
    generated("B.001", gen::Version::V0196, gen::Fault::None, 20000); // about 70 texts
    const std::string damaged =
        "Datei VTEXT konnte nicht geöffnet werden. Die Dateien VTEXT.DBF, VTEXT.FPT und INTEXT.CDX sind "
        "beschädigt, unvollständig oder passen nicht zusammen. Die Langtexte dieser Datei werden nicht "
        "gespeichert !";
    struct Step {
        const char* name;
        std::size_t fileLimit;
        std::function<void()> before;
        std::string args;
        int code;
        std::string fault; // the result's and the log's text; empty for "in Ordnung"
    };
    const std::vector<Step> steps = {
        {"the disk is full when the store is made",
         1024,
         {},
         "A.001",
         2,
         "Datei VTEXT konnte nicht erzeugt werden. Die Langtexte dieser Datei werden nicht gespeichert !"},
        {"the next check makes it", 0, {}, "A.001", 0, ""},
        {"a damaged store", 0, [this] { fs::resize_file(dir_.folder() + "VTEXT.FPT", 100); }, "A.001", 2,
         damaged},
        {"stays so when the question is answered no", 0, {}, "--textspeicher-neu nein A.001", 2, damaged},
        {"and is made anew when it is answered yes", 0, {}, "--textspeicher-neu ja A.001", 0, ""},
        {"the disk fills while the texts are written",
         4096,
         {},
         "B.001",
         2,
         "Datei VTEXT konnte nicht vollständig geschrieben werden. Die Textspeicherung ist unvollständig !"},
        {"what was written opens again", 0, {}, "B.001", 0, ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.before) step.before();
        const Outcome r = check(std::string(kWide) + step.args, step.fileLimit);
        EXPECT_EQ(r.code, step.code) << r.out << r.err;
        const std::string result = step.fault.empty() ? "in Ordnung" : "Ein-/Ausgabefehler: " + step.fault;
        EXPECT_NE(r.out.find("  Ergebnis          " + result + "\n"), std::string::npos) << r.out;
        const std::string log = ansiToUtf8(test::readBytes(dir_.folder() + "Error.log"));
        EXPECT_EQ(log.find(", Fehler"),
                  step.fault.empty() ? std::string::npos : log.find(", Fehler: " + step.fault))
            << log;
    }
    for (const auto& e : fs::directory_iterator(dir_.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos)
            << "left behind: " << e.path();
}
