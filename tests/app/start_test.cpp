// The start sequence and the close handling, driven through a fake window system.
#include "app/Start.h"
#include "core/AppState.h"
#include "settings/Probes.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/support/FakeViewers.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace arti;
using namespace arti::test;

namespace {

class FakeView final : public HeadlessPruefView {
public:
    void setCaption(const std::string& c) override { caption = c; }
    WindowRect geometry() const override { return rect; }
    void moveTo(int x, int y) override {
        rect.x = x;
        rect.y = y;
        moved = true;
    }
    void bringToTop() override {}
    void showModal(bool c) override {
        shownModal = true;
        centred = c;
        if (whileShown) whileShown();
    }
    void requestClose() override {
        ++closeRequests;
        if (logic && logic->QUERYCLOSE()) logic->markClosed();
    }

    PRUEF_WND* logic = nullptr;
    std::string caption;
    WindowRect rect{0, 0, 1000, 720};
    bool moved = false;
    bool shownModal = false;
    bool centred = false;
    int closeRequests = 0;
    std::function<void()> whileShown;
};

class FakeShell final : public IAppShell {
public:
    explicit FakeShell(std::string folder) : folder_(std::move(folder)) {}
    std::string programFolder() const override { return folder_; }
    void enableVisualStyles() override { visualStyles = true; }
    bool loadLanguageModule(const std::string& f) override {
        return std::filesystem::exists(f + "German.qm");
    }
    IPruefView& createMainWindow(PRUEF_WND& w) override {
        view.logic = &w;
        window = &w;
        return view;
    }
    void wait(unsigned) override {}

    FakeView view;
    PRUEF_WND* window = nullptr;
    bool visualStyles = false;

private:
    std::string folder_;
};

class StartTest : public ServicesFixture {
protected:
    StartTest() : shell_(program_.folder()) {
        setenv("ARTISCOPE_REGISTRY_DIR", registry_.path().c_str(), 1);
        setenv("TMPDIR", temp_.path().c_str(), 1);
        std::ofstream(program_.path() / "German.qm") << "module";
        std::filesystem::create_directory(data_.path() / "ArtiImport");
        fakes_.screen.m = {1920, 1080, 1920, 1080};
        appState() = AppState{};
        settings() = Settings{};
    }
    ~StartTest() override {
        unsetenv("ARTISCOPE_REGISTRY_DIR");
        unsetenv("TMPDIR");
        std::filesystem::current_path(cwd_);
    }

    // The user's own values, as after an earlier start.
    void writeUserValues(const std::string& installPath) {
        SAVEREGISTRY(nullptr, "HKCU", "",
                     {{"InstallMode", "ADMIN"},
                      {"InstallPath", installPath},
                      {"Setup", "23/01/30"},
                      {"Update", "23/01/30"},
                      {"PRGUpdate", "FALSE"},
                      {"StartDlg", "FALSE"}});
    }
    std::string user(const char* name) { return GETREG_EINZELWERT(nullptr, "HKCU", "", name, false); }

    TempDir registry_, program_, data_, temp_;
    FakeShell shell_;
    std::filesystem::path cwd_ = std::filesystem::current_path();
};

} // namespace

TEST_F(StartTest, RefusalsEndTheWindowBeforeItIsShownWithoutAsking) {
    writeUserValues("");
    box_.expect(BoxButton::Ok);
    APP_START(shell_);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].caption, "Benutzer-Datenpfad");
    EXPECT_EQ(box_.shown[0].text,
              "Fehlender Eintrag des Datenpfades in der Registry. Abbruch des Programmes.");
    EXPECT_FALSE(shell_.view.shownModal);

    writeUserValues(data_.folder() + "gibt-es-nicht/");
    box_.expect(BoxButton::Ok);
    APP_START(shell_);
    EXPECT_EQ(box_.shown.back().text,
              "es konnte nicht auf  " + data_.folder() + "gibt-es-nicht/ gewechselt werden !");
    EXPECT_FALSE(shell_.view.shownModal);
}

TEST_F(StartTest, MissingLanguageModuleRefusesToStart) {
    writeUserValues(data_.folder());
    std::filesystem::remove(program_.path() / "German.qm");
    box_.expect(BoxButton::Ok);
    APP_START(shell_);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].kind, BoxKind::Error);
    EXPECT_EQ(box_.shown[0].text, "Nationalitäts-Modul GERMAN.DLL konnte nicht geladen werden !");
    EXPECT_FALSE(shell_.view.shownModal);
    // The start had already written the last session before it refused.
    EXPECT_EQ(user("LastSession"), "08.12.2026 10:15");
}

TEST_F(StartTest, MissingSetupVersionEndsTheStart) {
    SAVEREGISTRY(nullptr, "HKCU", "", {{"InstallPath", data_.folder()}});
    box_.expect(BoxButton::Ok);
    APP_START(shell_);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].caption, "Registry");
    EXPECT_FALSE(shell_.view.shownModal);
}

TEST_F(StartTest, FirstStartSeedsTheUserShowsCentredAndAsksBeforeClosing) {
    SAVEREGISTRY(nullptr, "HKLM", "",
                 {{"InstallMode", "ADMIN"},
                  {"InstallPath", data_.folder()},
                  {"Setup", "23/01/30"},
                  {"PRGUpdate", "FALSE"},
                  {"Visual", "TRUE"}});
    std::ofstream(temp_.path() / "ASSetup.exe") << "old setup";
    // The folder an earlier update started its installer from, and one not of ours.
    std::filesystem::create_directories(temp_.path() / "artiscope-update-AbC123");
    std::filesystem::create_directories(temp_.path() / "artiscope-other");
    std::ofstream(temp_.path() / "artiscope-update-AbC123" / "ASSetup.exe") << "started setup";
    struct Hints final : ISecondaryWindows {
        void settingsWindow(Owner, IMainWindowLink*) override {}
        void aboutBox(Owner, IMainWindowLink*) override {}
        void startHints(Owner) override { ++shown; }
        std::unique_ptr<IWaitBox> waitBox(Owner, const std::string&) override { return nullptr; }
        int shown = 0;
    } hints;
    ServicesScope windows(Services{.secondary = &hints});
    shell_.view.whileShown = [&] {
        // The start timer is pending; firing it runs the deferred tasks once.
        ASSERT_EQ(window_.timers.size(), 1u);
        EXPECT_EQ(window_.timers.begin()->second.ms, 500u);
        window_.fire(window_.timers.begin()->first);
        EXPECT_TRUE(window_.timers.empty());
        shell_.view.rect.x = 120;
        shell_.view.rect.y = 80;
        shell_.window->PSHCANCEL(); // "No": the window stays
        EXPECT_FALSE(shell_.window->ended());
        shell_.window->PSHCANCEL(); // "Yes"
    };
    box_.expect(BoxButton::Ok).expect(BoxButton::No).expect(BoxButton::Yes);
    APP_START(shell_);

    ASSERT_EQ(box_.shown.size(), 3u);
    EXPECT_EQ(box_.shown[0].caption, "Hinweis nach der Installation");
    EXPECT_EQ(box_.shown[1].caption, "Anfrage");
    EXPECT_EQ(box_.shown[1].text, "Möchten Sie die Anwendung wirklich beenden ?");
    EXPECT_EQ(box_.shown[1].kind, BoxKind::YesNo);
    EXPECT_TRUE(shell_.view.shownModal);
    EXPECT_TRUE(shell_.view.centred);
    EXPECT_FALSE(shell_.view.moved);
    EXPECT_TRUE(shell_.visualStyles);
    EXPECT_EQ(hints.shown, 1);
    EXPECT_EQ(shell_.view.caption,
              "ARTISCOPE-Inspector * Version 23/01/30 * aktueller Pfad = " + program_.folder());
    EXPECT_FALSE(std::filesystem::exists(temp_.path() / "ASSetup.exe"));
    EXPECT_FALSE(std::filesystem::exists(temp_.path() / "artiscope-update-AbC123"));
    EXPECT_TRUE(std::filesystem::exists(temp_.path() / "artiscope-other"));
    EXPECT_EQ(user("OriginX"), "120");
    EXPECT_EQ(user("OriginY"), "80");
    EXPECT_EQ(user("LastSession"), "08.12.2026 10:15");
    EXPECT_EQ(appState().tempFolder, temp_.folder());
}

TEST_F(StartTest, StoredPositionIsRestoredAndAnUnusableOneCentres) {
    writeUserValues(data_.folder());
    SAVEREGISTRY(nullptr, "HKCU", "", {{"OriginX", "300"}, {"OriginY", "5000"}});
    shell_.view.whileShown = [&] { shell_.window->PSHCANCEL(); };
    box_.expect(BoxButton::Yes);
    APP_START(shell_);
    EXPECT_TRUE(shell_.view.moved);
    EXPECT_FALSE(shell_.view.centred);
    EXPECT_EQ(shell_.view.rect.x, 300);
    EXPECT_EQ(shell_.view.rect.y, 1080 - 720); // moved up onto the screen

    SAVEREGISTRY(nullptr, "HKCU", "", {{"OriginX", "3000"}, {"OriginY", "10"}});
    shell_.view = FakeView{};
    shell_.view.whileShown = [&] { shell_.window->PSHCANCEL(); };
    box_.expect(BoxButton::Yes);
    APP_START(shell_);
    EXPECT_FALSE(shell_.view.moved);
    EXPECT_TRUE(shell_.view.centred);
    EXPECT_EQ(window_.beeps.back(), (std::pair<unsigned, unsigned>{800, 2}));
}

TEST_F(StartTest, QuitDuringARunStopsTheRunAndAnUpdateCloseAsksNothing) {
    writeUserValues(data_.folder());
    FakeUpdateService update;
    update.installerStarted = true;
    ServicesScope installed(Services{.update = &update});
    shell_.view.whileShown = [&] {
        PRUEF_WND& w = *shell_.window;
        w.run.LTURN_ = true;
        w.run.stopRequest = false;
        w.PSHCANCEL();
        EXPECT_TRUE(w.run.stopRequest);
        EXPECT_FALSE(w.run.LTURN_);
        EXPECT_FALSE(w.ended());
        // The update check has started an installer: the window closes without a question.
        window_.fire(w.startTimer());
        EXPECT_TRUE(appState().closeWithoutAsking);
        EXPECT_TRUE(w.ended());
    };
    APP_START(shell_);
    EXPECT_EQ(shell_.view.closeRequests, 1);
}

TEST_F(StartTest, AnInstallerStartedFromTheSettingsEndsTheProgramWithoutAsking) {
    writeUserValues(data_.folder());
    struct ManualUpdate final : ISecondaryWindows {
        void settingsWindow(Owner, IMainWindowLink*) override { appState().closeWithoutAsking = true; }
        void aboutBox(Owner, IMainWindowLink*) override {}
        void startHints(Owner) override {}
        std::unique_ptr<IWaitBox> waitBox(Owner, const std::string&) override { return nullptr; }
    } windows;
    ServicesScope installed(Services{.secondary = &windows});
    shell_.view.whileShown = [&] {
        shell_.window->PSHSYSTEM();
        EXPECT_TRUE(shell_.window->ended());
    };
    APP_START(shell_);
    EXPECT_TRUE(box_.shown.empty());
}
