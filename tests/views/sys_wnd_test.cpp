// The settings window's logic: filling, the rule that enables saving, the date pickers,
// the check boxes that write at once, the folder move and saving.
#include "views/SysWnd.h"

#include "core/AppState.h"
#include "platform/Paths.h"
#include "settings/Registry.h"
#include "tests/support/FakeViewers.h"
#include "tests/views/ViewsTestSupport.h"

#include <filesystem>
#include <map>

using namespace arti;
using namespace arti::test;
using std::chrono::year;

namespace {

std::string dateText(const Date& d) {
    return formatDate(d);
}

class FakeSysView final : public ISysView {
public:
    void setText(SysCtl c, const std::string& t) override { texts[c] = ansiToUtf8(t); }
    void setDate(SysCtl c, const Date& d) override { dates[c] = dateText(d); }
    void setDateRange(SysCtl c, const Date& first, const Date& last) override {
        ranges[c] = dateText(first) + " - " + dateText(last);
    }
    void setChecked(SysCtl c, bool on) override { checked[c] = on; }
    void setEnabled(SysCtl c, bool on) override { enabled[c] = on; }
    void applyVisualStyles(bool on) override { styles.push_back(on); }
    void endDialog() override { ++ended; }

    std::map<SysCtl, std::string> texts, dates, ranges;
    std::map<SysCtl, bool> checked, enabled;
    std::vector<bool> styles;
    int ended = 0;
};

class SysWindow : public WindowFixture {
protected:
    SysWindow() : wnd_(&main_) { wnd_.attachView(&view_); }

    void makeFile(const TempDir& dir, const std::string& name, const std::string& bytes) {
        writeBytes((dir.path() / name).string(), bytes);
    }

    FakeSysView view_;
    SYS_WND wnd_;
    TempDir target_;
};

TEST_F(SysWindow, SetupShowsTheSettingsWithSaveDisabled) {
    ASSERT_TRUE(wnd_.SETUP());
    EXPECT_EQ(view_.texts[SysCtl::TXT109], data_.folder());
    EXPECT_EQ(view_.texts[SysCtl::SLE1], "EUR");
    EXPECT_EQ(view_.texts[SysCtl::SLE2], "2");
    EXPECT_EQ(view_.texts[SysCtl::SLE3], "DE");
    EXPECT_EQ(view_.dates[SysCtl::DTP1], "08.11.2026");
    EXPECT_EQ(view_.dates[SysCtl::DTP2], "07.01.2027");
    // The clock says 08.12.2026: the lower bound up to today, the upper up to today + 364.
    EXPECT_EQ(view_.ranges[SysCtl::DTP1], "01.01.1990 - 08.12.2026");
    EXPECT_EQ(view_.ranges[SysCtl::DTP2], "01.01.1990 - 07.12.2027");
    EXPECT_TRUE(view_.checked[SysCtl::CHK1]);
    EXPECT_FALSE(view_.checked[SysCtl::CHK2]);
    EXPECT_FALSE(view_.enabled[SysCtl::PSHSAVE]);
    // The update settings window does not exist yet.
    EXPECT_FALSE(view_.enabled[SysCtl::PSHINTERNET]);
    EXPECT_TRUE(wnd_.parametersValid());
}

TEST_F(SysWindow, DatesOutsideThePickersRangesShowTheNearestEnd) {
    settings().uDatum = year{1985} / 3 / 1; // widened by a check to an old header date
    settings().oDatum = year{2031} / 1 / 1;
    wnd_.SETUP();
    EXPECT_EQ(view_.dates[SysCtl::DTP1], "01.01.1990");
    EXPECT_EQ(view_.dates[SysCtl::DTP2], "07.12.2027");

    settings().uDatum.reset(); // not set at all: the pickers show today
    settings().oDatum.reset();
    wnd_.SETUP();
    EXPECT_EQ(view_.dates[SysCtl::DTP1], "08.12.2026");
    EXPECT_EQ(view_.dates[SysCtl::DTP2], "08.12.2026");
}

TEST_F(SysWindow, SaveIsEnabledOnlyByValidParameters) {
    wnd_.SETUP();
    wnd_.EDITCHANGE(SysCtl::SLE1, "EURO");
    EXPECT_FALSE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.EDITCHANGE(SysCtl::SLE1, "978");
    EXPECT_TRUE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.EDITCHANGE(SysCtl::SLE2, "");
    EXPECT_FALSE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.EDITCHANGE(SysCtl::SLE2, "0");
    EXPECT_TRUE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.EDITCHANGE(SysCtl::SLE3, "A");
    EXPECT_FALSE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.EDITCHANGE(SysCtl::SLE3, "AT,CH");
    EXPECT_TRUE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.EDITCHANGE(SysCtl::SLE1, "EU");
    EXPECT_FALSE(view_.enabled[SysCtl::PSHSAVE]);
    // A date change applies the same rule.
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP1, year{2026} / 10 / 1);
    EXPECT_FALSE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.EDITCHANGE(SysCtl::SLE1, "EUR");
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP1, year{2026} / 10 / 2);
    EXPECT_TRUE(view_.enabled[SysCtl::PSHSAVE]);
}

TEST_F(SysWindow, TheBoundsFollowEachOtherAndStayInTheirRanges) {
    wnd_.SETUP();
    // Lower bound moved past the upper: the upper follows.
    settings().oDatum = year{2026} / 11 / 20;
    wnd_.SETUP();
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP1, year{2026} / 12 / 1);
    EXPECT_EQ(view_.dates[SysCtl::DTP2], "01.12.2026");
    EXPECT_EQ(wnd_.upperDate(), Date(year{2026} / 12 / 1));
    // Upper bound moved before the lower: the lower follows.
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP2, year{2026} / 6 / 30);
    EXPECT_EQ(view_.dates[SysCtl::DTP1], "30.06.2026");
    // Equal dates count as crossed: the other bound is set to the same day.
    view_.dates.clear();
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP2, year{2026} / 7 / 1);
    EXPECT_FALSE(view_.dates.count(SysCtl::DTP1));
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP1, year{2026} / 7 / 1);
    EXPECT_EQ(view_.dates[SysCtl::DTP2], "01.07.2026");

    // The lower bound cannot lie after today, the upper not beyond today + 364.
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP1, year{2026} / 12 / 9);
    EXPECT_EQ(wnd_.lowerDate(), Date(year{2026} / 12 / 8));
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP2, year{2028} / 1 / 1);
    EXPECT_EQ(wnd_.upperDate(), Date(year{2027} / 12 / 7));
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP1, year{1989} / 12 / 31);
    EXPECT_EQ(wnd_.lowerDate(), Date(year{1990} / 1 / 1));
}

TEST_F(SysWindow, CheckBoxesWriteAtOnceOnlyWhileTheParametersAreValid) {
    wnd_.SETUP();
    wnd_.EDITCHANGE(SysCtl::SLE1, "EURO");
    wnd_.BUTTONCLICK(SysCtl::CHK1, false);
    wnd_.BUTTONCLICK(SysCtl::CHK2, true);
    EXPECT_EQ(userValue("StartDlg"), std::nullopt);
    EXPECT_EQ(userValue("Visual"), std::nullopt);
    EXPECT_TRUE(settings().startDlg);
    EXPECT_FALSE(settings().visual);
    EXPECT_TRUE(view_.styles.empty());
    EXPECT_TRUE(box_.shown.empty());

    wnd_.EDITCHANGE(SysCtl::SLE1, "EUR");
    wnd_.BUTTONCLICK(SysCtl::CHK1, false);
    EXPECT_EQ(userValue("StartDlg"), "FALSE");
    EXPECT_FALSE(settings().startDlg);
    wnd_.BUTTONCLICK(SysCtl::CHK1, true);
    EXPECT_EQ(userValue("StartDlg"), "TRUE");
    EXPECT_TRUE(settings().startDlg);

    box_.expect(BoxButton::Ok);
    wnd_.BUTTONCLICK(SysCtl::CHK2, true);
    expectBox("Hinweis",
              "Die Änderungen an einigen Controls sind erst nach einem Neustart des Programmes sichtbar.");
    EXPECT_EQ(userValue("Visual"), "TRUE");
    EXPECT_TRUE(settings().visual);
    EXPECT_TRUE(appState().visualStyles);
    EXPECT_EQ(view_.styles, std::vector<bool>{true});
    box_.expect(BoxButton::Ok);
    wnd_.BUTTONCLICK(SysCtl::CHK2, false);
    expectBox("Hinweis",
              "Die Änderungen an einigen Controls sind erst nach einem Neustart des Programmes sichtbar.");
    EXPECT_EQ(userValue("Visual"), "FALSE");
    EXPECT_EQ(view_.styles, (std::vector<bool>{true, false}));
    appState().visualStyles = false;
}

TEST_F(SysWindow, DatesFromTheCheckWindowEnableSaveOnlyWithValidParameters) {
    wnd_.SETUP();
    // A check has widened the window of the main window meanwhile.
    settings().uDatum = year{2026} / 1 / 15;
    settings().oDatum = year{2027} / 3 / 31;
    wnd_.EDITCHANGE(SysCtl::SLE3, "D");
    wnd_.PSHDATE();
    EXPECT_EQ(view_.dates[SysCtl::DTP1], "15.01.2026");
    EXPECT_EQ(view_.dates[SysCtl::DTP2], "31.03.2027");
    EXPECT_FALSE(view_.enabled[SysCtl::PSHSAVE]); // an invalid country code is never saved
    wnd_.EDITCHANGE(SysCtl::SLE3, "DE");
    wnd_.PSHDATE();
    EXPECT_TRUE(view_.enabled[SysCtl::PSHSAVE]);
}

TEST_F(SysWindow, SavingWritesTheParametersAndTellsTheMainWindow) {
    ASSERT_TRUE(RegistrySandbox::put(platform::RegHive::CurrentUser, defaultKey(), "Setup", "23/01/30"));
    FileRewrites rewrites(registry_.hkcu());
    wnd_.SETUP();
    wnd_.EDITCHANGE(SysCtl::SLE1, "978");
    wnd_.EDITCHANGE(SysCtl::SLE2, "3");
    wnd_.EDITCHANGE(SysCtl::SLE3, " AT ");
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP1, year{2026} / 1 / 1);
    wnd_.DATETIMESELECTIONCHANGED(SysCtl::DTP2, year{2027} / 6 / 30);
    ASSERT_TRUE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.PSHSAVE();

    // All values in one change of the hive: a crash leaves all of them or none.
    EXPECT_EQ(rewrites.take(), 1);
    EXPECT_FALSE(view_.enabled[SysCtl::PSHSAVE]);
    EXPECT_EQ(main_.setParams, 1);
    EXPECT_EQ(settings().waehrung, "978");
    EXPECT_EQ(settings().nks, 3);
    EXPECT_EQ(settings().lCode, "AT");
    EXPECT_EQ(settings().uDatum, Date(year{2026} / 1 / 1));
    EXPECT_EQ(settings().oDatum, Date(year{2027} / 6 / 30));
    EXPECT_EQ(userValue("Waehrung"), "978");
    EXPECT_EQ(userValue("LCode"), "AT");
    EXPECT_EQ(userValue("NKS"), "3");
    EXPECT_EQ(userValue("UDatum"), "01.01.2026");
    EXPECT_EQ(userValue("ODatum"), "30.06.2027");
    // Nothing was moved.
    EXPECT_EQ(settings().installPath, data_.folder());
    EXPECT_EQ(userValue("InstallPath"), std::nullopt);
    EXPECT_TRUE(box_.shown.empty());

    // The next start reads what was saved.
    settings() = Settings{};
    REGDATENAUSLESEN(nullptr);
    EXPECT_EQ(settings().lCode, "AT");
    EXPECT_EQ(settings().waehrung, "978");
    EXPECT_EQ(settings().nks, 3);
}

TEST_F(SysWindow, CancelledFolderChoiceKeepsTheDataFolder) {
    wnd_.SETUP();
    wnd_.PSHWAHL();
    ASSERT_EQ(dialogs_.asked, std::vector<std::string>{"Pfad auswählen"});
    EXPECT_EQ(view_.texts[SysCtl::TXT109], data_.folder());
    EXPECT_TRUE(view_.enabled[SysCtl::PSHSAVE]);
    wnd_.PSHSAVE();
    EXPECT_TRUE(box_.shown.empty());
    EXPECT_EQ(settings().installPath, data_.folder());
    EXPECT_EQ(main_.setParams, 1);
}

TEST_F(SysWindow, ChoosingTheParentFolderMovesNothing) {
    makeFile(data_, "Error.log", "x");
    wnd_.SETUP();
    dialogs_.folders.push_back(data_.path().parent_path().string());
    wnd_.PSHWAHL();
    EXPECT_EQ(view_.texts[SysCtl::TXT109], data_.path().parent_path().string() + platform::kPathSeparator);
    wnd_.PSHSAVE();
    EXPECT_TRUE(box_.shown.empty());
    EXPECT_EQ(settings().installPath, data_.folder());
}

TEST_F(SysWindow, MovingCopiesTheFilesAndStoresTheNewFolder) {
    makeFile(data_, "Error.log", "log");
    makeFile(data_, "VTEXT.DBF", std::string("\x03\0\0", 3));
    std::filesystem::create_directory(data_.path() / "ArtiImport");
    makeFile(data_, "ArtiImport/a.dat", "A");
    wnd_.SETUP();
    dialogs_.folders.push_back("  " + target_.path().string() + "  ");
    wnd_.PSHWAHL();
    EXPECT_EQ(view_.texts[SysCtl::TXT109], target_.folder());
    EXPECT_EQ(wnd_.oldFolder(), data_.folder());

    box_.expect(BoxButton::Ok);
    wnd_.PSHSAVE();
    expectBox("Kopieren", "Der neue Pfad wurde angelegt und die Dateien wurden kopiert.");
    EXPECT_EQ(readBytes((target_.path() / "Error.log").string()), "log");
    EXPECT_EQ(readBytes((target_.path() / "VTEXT.DBF").string()), std::string("\x03\0\0", 3));
    EXPECT_FALSE(std::filesystem::exists(target_.path() / "ArtiImport")); // files only
    EXPECT_TRUE(std::filesystem::exists(data_.path() / "Error.log"));     // nothing deleted
    EXPECT_EQ(settings().installPath, target_.folder());
    EXPECT_EQ(userValue("InstallPath"), target_.folder());
    EXPECT_EQ(userValue("LastSession"), "08.12.2026 10:15");
    EXPECT_EQ(view_.texts[SysCtl::TXT109], target_.folder());
    EXPECT_EQ(main_.setParams, 1);
}

TEST_F(SysWindow, AFailedCopyUndoesTheMoveButSavesTheParameters) {
    RegistrySandbox::put(platform::RegHive::CurrentUser, "Software\\MERIX\\ARTISCOPE\\INIFolder",
                         "InstallPath", data_.folder());
    makeFile(data_, "a.txt", "A");
    makeFile(data_, "b.txt", "B");
    makeFile(data_, "c.txt", "C");
    // b.txt cannot be written: a folder of that name is in the way.
    std::filesystem::create_directory(target_.path() / "b.txt");
    wnd_.SETUP();
    wnd_.EDITCHANGE(SysCtl::SLE1, "CHF");
    dialogs_.folders.push_back(target_.path().string());
    wnd_.PSHWAHL();
    box_.expect(BoxButton::Ok);
    wnd_.PSHSAVE();
    expectBox("Kopieren", "Die Dateien konnten nicht von \r\n" + data_.folder() + "\r\nnach\r\n" +
                              target_.folder() + "\r\n kopiert werden !");
    EXPECT_EQ(readBytes((target_.path() / "a.txt").string()), "A"); // the others are copied nevertheless
    EXPECT_EQ(readBytes((target_.path() / "c.txt").string()), "C");
    EXPECT_EQ(view_.texts[SysCtl::TXT109], data_.folder());
    EXPECT_EQ(settings().installPath, data_.folder());
    EXPECT_EQ(userValue("InstallPath"), data_.folder());
    EXPECT_EQ(userValue("LastSession"), std::nullopt);
    EXPECT_EQ(settings().waehrung, "CHF");
    EXPECT_EQ(userValue("Waehrung"), "CHF");
    EXPECT_EQ(main_.setParams, 1);
}

// A second choice before saving must not make the first choice the source of the copy:
// the files are in the data folder in use.
TEST_F(SysWindow, ASecondChoiceStillCopiesFromTheDataFolder) {
    makeFile(data_, "Error.log", "log");
    TempDir detour;
    wnd_.SETUP();
    dialogs_.folders.push_back(detour.path().string());
    dialogs_.folders.push_back(target_.path().string());
    wnd_.PSHWAHL();
    wnd_.PSHWAHL();
    EXPECT_EQ(wnd_.oldFolder(), data_.folder());
    box_.expect(BoxButton::Ok);
    wnd_.PSHSAVE();
    expectBox("Kopieren", "Der neue Pfad wurde angelegt und die Dateien wurden kopiert.");
    EXPECT_EQ(readBytes((target_.path() / "Error.log").string()), "log");
    EXPECT_EQ(settings().installPath, target_.folder());
}

// The success message is not shown for a folder the next start would not find.
TEST_F(SysWindow, AFolderTheRegistryDidNotTakeIsNotReportedAsMoved) {
    makeFile(data_, "Error.log", "log");
    SAVEREG_EINZELWERT(nullptr, "HKCU", "", "InstallPath", data_.folder());
    makeReadOnly(registry_.hkcu());
    wnd_.SETUP();
    dialogs_.folders.push_back(target_.path().string());
    wnd_.PSHWAHL();
    box_.expect(BoxButton::Ok);
    wnd_.PSHSAVE();
    expectBox("Kopieren", "Der neue Pfad\r\n" + target_.folder() +
                              "\r\nkonnte nicht in der Registry gespeichert werden !");
    EXPECT_EQ(settings().installPath, data_.folder());
    EXPECT_EQ(view_.texts[SysCtl::TXT109], data_.folder());
    EXPECT_EQ(userValue("InstallPath"), data_.folder());
}

TEST_F(SysWindow, ExplorerInternetAndCancel) {
    wnd_.SETUP();
    wnd_.PSHEXPLORER();
    EXPECT_EQ(main_.opened, std::vector<std::string>{"open " + data_.folder()});
    // Without a main window the shell is asked directly.
    SYS_WND alone;
    alone.SETUP();
    alone.PSHEXPLORER();
    EXPECT_EQ(shell_.opened, std::vector<std::string>{"open " + data_.folder()});

    // Once the update settings window exists, the button opens it.
    FakeUpdateService update;
    ServicesScope installed(Services{.update = &update});
    SYS_WND withUpdate(&main_);
    FakeSysView view;
    withUpdate.attachView(&view);
    withUpdate.SETUP();
    EXPECT_TRUE(view.enabled[SysCtl::PSHINTERNET]);
    appState().closeWithoutAsking = false;
    withUpdate.PSHINTERNET();
    EXPECT_EQ(update.calls, std::vector<std::string>{"settings"});
    EXPECT_FALSE(withUpdate.ended());
    // A manual update that started an installer closes this window too.
    update.installerStarted = true;
    withUpdate.PSHINTERNET();
    EXPECT_TRUE(withUpdate.ended());
    appState().closeWithoutAsking = false;

    wnd_.EDITCHANGE(SysCtl::SLE1, "USD");
    wnd_.PSHCANCEL();
    EXPECT_EQ(view_.ended, 1);
    EXPECT_TRUE(wnd_.ended());
    EXPECT_EQ(settings().waehrung, "EUR"); // not saved
    EXPECT_EQ(main_.setParams, 0);
}

} // namespace
