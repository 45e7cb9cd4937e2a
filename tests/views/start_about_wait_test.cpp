// The start hints window, the about box, the wait box and the window factory.
#include "platform/OsInfo.h"
#include "views/HelpAbout.h"
#include "views/StartWnd.h"
#include "views/WarteWnd.h"

#include "core/AppState.h"
#include "settings/Registry.h"
#include "tests/views/ViewsTestSupport.h"

#include <map>

using namespace arti;
using namespace arti::test;
using namespace arti::literals;

namespace {

class ProgramFolder {
public:
    ProgramFolder() : saved_(appState().programFolder) { appState().programFolder = dir_.folder(); }
    ~ProgramFolder() { appState().programFolder = saved_; }
    std::string file(const std::string& name) const { return (dir_.path() / name).string(); }

private:
    TempDir dir_;
    std::string saved_;
};

// ---------------------------------------------------------------- start hints

class FakeStartView final : public IStartView {
public:
    void setHints(const std::string& t) override { hints = t; }
    void setChecked(bool on) override { checked = on; }
    void endDialog() override { ++ended; }
    std::string hints;
    bool checked = false;
    int ended = 0;
};

class StartHints : public WindowFixture {
protected:
    StartHints() { wnd_.attachView(&view_); }
    ProgramFolder program_;
    FakeStartView view_;
    START_WND wnd_;
};

TEST_F(StartHints, ShowsInfoTxtOfTheProgramFolder) {
    const std::string text = "Willkommen\r\nBitte prüfen Sie zuerst eine Kopie.\r\n"_ansi;
    writeBytes(program_.file("info.txt"), text);
    ASSERT_TRUE(wnd_.SETUP());
    EXPECT_EQ(view_.hints, text); // Windows-1252 bytes, CR LF kept
    EXPECT_FALSE(view_.checked);  // hints are on
}

TEST_F(StartHints, MissingFileShowsTheFixedTextWithoutABox) {
    settings().startDlg = false;
    ASSERT_TRUE(wnd_.SETUP());
    EXPECT_EQ(view_.hints, ",Info.txt' Datei nicht gefunden");
    EXPECT_TRUE(view_.checked);
}

TEST_F(StartHints, TheCheckBoxWritesStartDlgAtOnce) {
    wnd_.SETUP();
    wnd_.BUTTONCLICK(true);
    EXPECT_EQ(userValue("StartDlg"), "FALSE");
    EXPECT_FALSE(settings().startDlg);
    wnd_.BUTTONCLICK(false);
    EXPECT_EQ(userValue("StartDlg"), "TRUE");
    EXPECT_TRUE(settings().startDlg);
    wnd_.PSHCANCEL();
    EXPECT_EQ(view_.ended, 1);
}

// ---------------------------------------------------------------- about box

class FakeAboutView final : public IAboutView {
public:
    void setText(AboutCtl c, const std::string& t) override {
        texts[c] = ansiToUtf8(t);
        ++changes;
    }
    void endDialog() override { ++ended; }
    std::map<AboutCtl, std::string> texts;
    int changes = 0;
    int ended = 0;
};

// The figures come from the fake screen and system figures of the fixture.
class AboutBox : public WindowFixture {
protected:
    AboutBox() {
        fakes_.screen.m = {3840, 1080, 1920, 1080, 2};
        system_.mem = {
            75, 16ull << 30, 4ull << 30, 18ull << 30, 5ull << 30, 1ull << 47, (1ull << 47) - (1ull << 30)};
        system_.alloc = {3ull << 20, 1572864};
        system_.volume = {true, std::string("DATEN\0\0 ", 8), 4711, "ext4"};
        system_.runtime = "GCC 12.2.0, glibc 2.36";
        system_.system = "Linux 6.1.0 x86_64";
        wnd_.attachView(&view_);
    }
    ProgramFolder program_;
    FakeAboutView view_;
    FixedResources& system_ = fakes_.resources;
    HELPABOUT wnd_{&main_};
};

TEST_F(AboutBox, InformationTextInItsOrder) {
    settings().adminInstall = true;
    wnd_.POSTINIT();
    EXPECT_EQ(
        view_.texts[AboutCtl::TEXT1],
        "\rARTISCOPE-Inspector\rVersion 23/01/30\rInstallationsmodus >ADMIN\r© 2026 MERIX Software GmbH\r"
        "Telefon: +49 (0)30 23125 000\rE-Mail: info@merix.invalid");
    EXPECT_EQ(view_.texts[AboutCtl::TXTEMAIL], "info@merix.invalid");

    settings().adminInstall = false;
    HELPABOUT user(&main_);
    user.POSTINIT();
    EXPECT_NE(user.text(AboutCtl::TEXT1).find("\rInstallationsmodus >USER\r"), std::string::npos);
}

TEST_F(AboutBox, SystemLinesAndFigures) {
    wnd_.POSTINIT();
    EXPECT_EQ(view_.texts[AboutCtl::TXT12], "GCC 12.2.0, glibc 2.36");
    EXPECT_EQ(view_.texts[AboutCtl::TXT13], "DATEN 4711 ext4"); // label trimmed, NULs gone
    EXPECT_EQ(view_.texts[AboutCtl::TXT14], appState().programFolder);
    EXPECT_EQ(view_.texts[AboutCtl::TXT1], "16384,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT2], "4096,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT3], "75");
    EXPECT_EQ(view_.texts[AboutCtl::TXT4], "18432,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT5], "5120,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT6], "134217728,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT7], "134216704,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT21], "  3,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT22], "  1,500");
    EXPECT_EQ(view_.texts[AboutCtl::TXT23], "100");
    EXPECT_EQ(view_.texts[AboutCtl::TXT24], "0");
    EXPECT_EQ(view_.texts[AboutCtl::TXT25], "1920 x 1080");
    EXPECT_EQ(view_.texts[AboutCtl::TXT26], "2");
    EXPECT_EQ(view_.texts[AboutCtl::TXT27], "3840 x 1080");

    EXPECT_EQ(HELPABOUT::megabytes(0), "  0,000");
    EXPECT_EQ(HELPABOUT::megabytes(1), "  0,000");
    EXPECT_EQ(HELPABOUT::megabytes(1048576 + 524), "  1,000");
    EXPECT_EQ(HELPABOUT::megabytes(1048576 + 525), "  1,001"); // rounded to the nearest thousandth
}

TEST_F(AboutBox, FiguresAreRefreshedEverySecondUntilTheBoxCloses) {
    wnd_.POSTINIT();
    ASSERT_NE(wnd_.timer(), 0u);
    ASSERT_EQ(window_.timers.size(), 1u);
    EXPECT_EQ(window_.timers.begin()->second.ms, 1000u);
    EXPECT_FALSE(window_.timers.begin()->second.oneShot);

    system_.mem.availablePhysical = 2ull << 30;
    system_.alloc.used = 2ull << 20;
    fakes_.screen.m.monitors = 1;
    ASSERT_TRUE(window_.fire(wnd_.timer()));
    EXPECT_EQ(view_.texts[AboutCtl::TXT2], "2048,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT22], "  2,000");
    EXPECT_EQ(view_.texts[AboutCtl::TXT26], "1");
    // Unchanged figures are not written again.
    const int changes = view_.changes;
    ASSERT_TRUE(window_.fire(wnd_.timer()));
    EXPECT_EQ(view_.changes, changes);

    wnd_.PSHCANCEL();
    EXPECT_EQ(view_.ended, 1);
    EXPECT_TRUE(window_.timers.empty());
    EXPECT_EQ(wnd_.timer(), 0u);
}

TEST_F(AboutBox, ABoxThatGoesAwayStopsItsTimer) {
    {
        HELPABOUT box(&main_);
        box.POSTINIT();
        EXPECT_EQ(window_.timers.size(), 1u);
    }
    EXPECT_TRUE(window_.timers.empty());
}

TEST_F(AboutBox, OperatingSystemLineNamesTheSystemsWordSize) {
    // This system answers both keys itself (os-release and uname); the 64-bit key only
    // on a 64-bit system, which the about box then names.
    const std::string product = GETREG_EINZELWERT(
        nullptr, "HKLM", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName", false);
    ASSERT_FALSE(product.empty());
    const std::string bits = platform::osWordSize() == 64 ? " 64 " : " 32 ";
    EXPECT_EQ(HELPABOUT::GETWINOSREG(nullptr).rfind(product + bits, 0), 0u)
        << HELPABOUT::GETWINOSREG(nullptr);
    wnd_.POSTINIT();
    EXPECT_EQ(view_.texts[AboutCtl::TXT11].rfind(product + bits, 0), 0u);
    EXPECT_TRUE(box_.shown.empty()); // the reads are silent
}

TEST_F(AboutBox, EmailOpensTheMailClient) {
    wnd_.POSTINIT();
    wnd_.PSHEMAIL();
    EXPECT_EQ(main_.opened, std::vector<std::string>{"open mailto:info@merix.invalid"});
    HELPABOUT alone(nullptr);
    alone.POSTINIT();
    alone.PSHEMAIL();
    EXPECT_EQ(shell_.opened, std::vector<std::string>{"open mailto:info@merix.invalid"});
}

// ---------------------------------------------------------------- wait box

class FakeWaitView final : public IWaitView {
public:
    void setText(const std::string& t) override { text = t; }
    void endDialog() override { ++ended; }
    std::string text;
    int ended = 0;
};

TEST(WaitBox, DefaultTextOrTheCallersText) {
    FakeWaitView view;
    WARTE_WND plain;
    plain.attachView(&view);
    plain.INIT();
    plain.POSTINIT();
    EXPECT_EQ(view.text, "bitte warten, Daten werden gesucht und berechnet !");

    WARTE_WND empty("");
    empty.attachView(&view);
    empty.INIT();
    empty.POSTINIT();
    EXPECT_EQ(view.text, "bitte warten, Daten werden gesucht und berechnet !");

    WARTE_WND update("Internetverbindung\r\nPrüfung auf Updates"_ansi);
    update.attachView(&view);
    update.INIT();
    update.POSTINIT();
    EXPECT_EQ(ansiToUtf8(view.text), "Internetverbindung\r\nPrüfung auf Updates");
    update.ENDDIALOG();
    update.ENDDIALOG();
    EXPECT_EQ(view.ended, 1);
}

// ---------------------------------------------------------------- factory

TEST(SecondaryWindows, HeadlessByDefaultAndReplaceableForAScope) {
    struct Counting final : ISecondaryWindows {
        void settingsWindow(Owner, IMainWindowLink*) override { ++calls; }
        void aboutBox(Owner, IMainWindowLink*) override { ++calls; }
        void startHints(Owner) override { ++calls; }
        std::unique_ptr<IWaitBox> waitBox(Owner, const std::string&) override {
            ++calls;
            return nullptr;
        }
        int calls = 0;
    } counting;
    ISecondaryWindows& headless = secondaryWindows();
    headless.settingsWindow(nullptr, nullptr);
    auto wait = headless.waitBox(nullptr, "x");
    ASSERT_NE(wait, nullptr);
    wait->ENDDIALOG();
    {
        ServicesScope scope({.secondary = &counting});
        secondaryWindows().aboutBox(nullptr, nullptr);
        secondaryWindows().startHints(nullptr);
    }
    EXPECT_EQ(counting.calls, 2);
    EXPECT_EQ(&secondaryWindows(), &headless);
}

} // namespace
