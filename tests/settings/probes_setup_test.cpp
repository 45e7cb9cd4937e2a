#include "core/AppState.h"
#include "platform/Unicode.h"
#include "settings/Probes.h"
#include "settings/Registry.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/GtestFakes.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace arti;
using arti::platform::RegHive;
using arti::test::readBytes;
using arti::test::RegistrySandbox;
using arti::test::ScopedEnv;
using arti::test::TempDir;

namespace {

// The variables the system takes the user's temporary and home folder from.
#ifdef _WIN32
constexpr const char* kTempVariable = "TMP";
constexpr const char* kHomeVariable = "USERPROFILE";
#else
constexpr const char* kTempVariable = "TMPDIR";
constexpr const char* kHomeVariable = "HOME";
#endif

class Probes : public arti::test::ServicesFixture {
protected:
    Probes() { appState() = AppState{}; }

    static void user(const std::string& name, const std::string& text) {
        ASSERT_TRUE(RegistrySandbox::put(RegHive::CurrentUser, defaultKey(), name, text));
    }
    static void machine(const std::string& name, const std::string& text) {
        ASSERT_TRUE(RegistrySandbox::put(RegHive::LocalMachine, defaultKey(), name, text));
    }
    static std::optional<std::string> userValue(const std::string& name) {
        return RegistrySandbox::get(RegHive::CurrentUser, defaultKey(), name);
    }
    arti::test::ShownBox onlyBox() const {
        EXPECT_EQ(box_.shown.size(), 1u);
        return box_.shown.empty() ? arti::test::ShownBox{} : box_.shown.back();
    }

    RegistrySandbox reg_;
    TempDir temp_; // the user's TEMP folder
    ScopedEnv tmpdir_{kTempVariable, temp_.path().string()};
};

} // namespace

TEST(FolderText, EndsInTheSeparator) {
    const std::string separator(1, arti::platform::kPathSeparator);
    EXPECT_EQ(BACKSLASH2PFAD("  /data/arti  "), "/data/arti" + separator);
    EXPECT_EQ(BACKSLASH2PFAD("/data/arti/"), "/data/arti/");
    EXPECT_EQ(BACKSLASH2PFAD("   "), "");
}

TEST_F(Probes, StoredTempFolderIsTakenAsItIs) {
    TempDir stored;
    user("TempPath", arti::platform::pathText(stored.path())); // without the separator
    EXPECT_EQ(TEMPPATHREG(nullptr), stored.folder());
    EXPECT_EQ(userValue("TempPath"),
              arti::platform::pathText(stored.path())); // begins the result: not rewritten
    EXPECT_FALSE(std::filesystem::exists(stored.path() / "TEST.TXT"));

    // Without a stored folder the user's TEMP is taken and nothing is written.
    user("TempPath", "");
    EXPECT_EQ(TEMPPATHREG(nullptr), temp_.folder());
    EXPECT_EQ(userValue("TempPath"), "");
}

TEST_F(Probes, AVanishedTempFolderIsReplacedAndTheUserTold) {
    user("TempPath", temp_.folder() + "weg");
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(TEMPPATHREG(nullptr), temp_.folder());
    EXPECT_EQ(userValue("TempPath"), temp_.folder());
    EXPECT_EQ(onlyBox().caption, "Hinweis");
    EXPECT_EQ(onlyBox().text,
              "Für die Zusammenstellung von Daten benötigt das Programm ein temporäres Verzeichnis "
              "(Ordner) auf Ihrer Festplatte.\r\nEs wurde der nachfolgende Ordner aus dem Betriebssystem "
              "ermittelt.\r\n" +
                  temp_.folder());
}

TEST_F(Probes, UserProfileInTheTempValueIsExpanded) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows expands the variables of its TEMP value itself";
#endif
    TempDir home;
    std::filesystem::create_directory(home.path() / "tmpx");
    ScopedEnv homeEnv(kHomeVariable, home.path().string());
    ScopedEnv temp(kTempVariable, "%UserProfile%/tmpx");
    EXPECT_EQ(TEMPPATHREG(nullptr), home.folder() + "tmpx" + arti::platform::kPathSeparator);
}

TEST_F(Probes, ALinkNamedLikeTheTestFileIsNotFollowed) {
    // Someone placed TEST.TXT as a link to another file into the user's TEMP.
    TempDir elsewhere;
    const std::string victim = arti::platform::pathText(elsewhere.path() / "wichtig.txt");
    arti::test::writeBytes(victim, "Inhalt");
    std::error_code ec;
    std::filesystem::create_symlink(victim, temp_.path() / "TEST.TXT", ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    const std::string result = TEMPPATHREG(nullptr); // falls through to the machine's TEMP
    EXPECT_EQ(readBytes(victim), "Inhalt");
    EXPECT_NE(result, temp_.folder());
}

TEST_F(Probes, NoWritableTempFolderIsReported) {
    // The machine's TEMP is /tmp; a dangling link TEST.TXT there makes it unusable for the
    // test (and for nothing else: links are not followed).
    const std::filesystem::path link = "/tmp/TEST.TXT";
    std::error_code ec;
    if (std::filesystem::symlink_status(link, ec).type() != std::filesystem::file_type::not_found)
        GTEST_SKIP() << "/tmp/TEST.TXT exists";
    std::filesystem::create_symlink("/nonexistent/arti-test", link, ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    struct RemoveLink {
        std::filesystem::path p;
        ~RemoveLink() { std::filesystem::remove(p); }
    } removeLink{link};

    user("TempPath", "/nonexistent/stored");
    ScopedEnv temp("TMPDIR", "/nonexistent/user");
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(TEMPPATHREG(nullptr), "");
    EXPECT_EQ(onlyBox().caption, "Temporärer-Datenpfad");
    EXPECT_EQ(
        onlyBox().text,
        "Das Programm benötigt ein Verzeichnis für die Zusammenstellung temporärer Daten.\r\nes wurden die "
        "Verzeichnisse\r\nEintrag in Registry: /nonexistent/stored\r\nUSERPROFILE-Temp: /nonexistent/user\r\n"
        "SYSTEMROOT-Temp: /tmp\r\ngetestet. Ein temporärer beschreibbarer Pfad konnte hier nicht gefunden "
        "werden!\r\n\r\nWählen Sie einen Ihnen bekannten beschreibbaren Temporärpfad in den "
        "Systemeinstellungen "
        "des Programmes.");
    EXPECT_EQ(userValue("TempPath"), "/nonexistent/stored");
}

TEST_F(Probes, InstalledVersionsDecideWhetherTheProgramRuns) {
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(GUELTIGEVERSION(nullptr));
    EXPECT_EQ(onlyBox().caption, "Registry");
    EXPECT_EQ(onlyBox().text,
              "Der Setup-Versions-Eintrag ist nicht in der Registry enthalten.\r\nVermutlich verwenden "
              "Sie eine alte Programmversion !\r\nSchauen Sie nach einer aktuellen Version.");

    box_.shown.clear();
    machine("Setup", "22/05/01");
    user("Setup", "22/05/01");
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(GUELTIGEVERSION(nullptr));
    EXPECT_EQ(onlyBox().caption, "UPDATE-Versionskonflikt");
    EXPECT_EQ(
        onlyBox().text,
        "Diese UPDATE-Version 23/01/30 kann nur über die letzte\r\ngültige SETUP-Version 22/05/01 "
        "installiert "
        "werden.\r\nSichern Sie Ihre Daten, laden Sie das letzte gültige Setup von unserer Internetseite,\r\n"
        "installieren Sie dieses, machen Sie erneut das Update, starten Sie das Programm erneut.");

    box_.shown.clear();
    machine("Setup", "23/01/30");
    user("Setup", "23/01/30");
    user("Update", "23/02/01");
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(GUELTIGEVERSION(nullptr));
    EXPECT_EQ(onlyBox().caption, "UPDATE-Versionskonflikt");
    EXPECT_EQ(onlyBox().text, "Diese UPDATE-Version 23/01/30 ist älter als die\r\nletzte Version "
                              "23/02/01\r\nSichern Sie Ihre Daten, "
                              "laden Sie das letzte gültige Setup oder Update von unserer "
                              "Internetseite,\r\ninstallieren Sie dieses und "
                              "starten Sie das Programm erneut.");

    box_.shown.clear();
    user("Update", "");
    EXPECT_TRUE(GUELTIGEVERSION(nullptr));
    EXPECT_EQ(userValue("Update"), "23/01/30");
    EXPECT_TRUE(GUELTIGEVERSION(nullptr)); // equal: nothing to write
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(Probes, InstallationModeComesFromTheUserThenTheMachine) {
    EXPECT_FALSE(GETISADMIN(nullptr));
    machine("InstallMode", "ADMIN");
    EXPECT_TRUE(GETISADMIN(nullptr));
    user("InstallMode", "USER");
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(GETISADMIN(nullptr, true));
    EXPECT_EQ(onlyBox().caption, "Installlations-Modus");
    EXPECT_EQ(onlyBox().text, "Die Installation erfolgte im Modus > USER");
}
