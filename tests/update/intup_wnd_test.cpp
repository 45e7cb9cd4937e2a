// The update settings window's logic: what it shows, what it writes at once, saving
// after its question, the links and the manual update's end of the window.
#include "tests/update/UpdateFixture.h"
#include "update/IntUpWnd.h"

using namespace arti;
using namespace arti::test;

namespace {

class IntUpWndTest : public UpdateFixture {
protected:
    IntUpWndTest() {
        user("URLMerix", "https://www.example.test/upd/");
        user("Proxy", "proxy.example.test:3128");
        user("ProxyName", "meier");
        user("ProxyPW", "ein-langes-Passwort"); // longer than the window's old slot of 10
        user("ProxyOK", "true");
        user("DateiVersion", "version.txt");
        user("DateiEXE", "ASSetup.exe");
        user("PRGUpdate", "FALSE");
        user("UpdateDatum", "01.12.2026");
        opened_.clear();
        open_ = [this](const std::string& target) {
            opened_.push_back(target);
            return 42L;
        };
    }
    std::vector<std::string> opened_;
};

} // namespace

TEST_F(IntUpWndTest, ShowsTheValues) {
    INTUP_WND w(open_);
    ASSERT_TRUE(w.SETUP());
    EXPECT_EQ(w.text(IntUpCtl::SLE1), "https://www.example.test/upd/");
    EXPECT_EQ(w.text(IntUpCtl::SLE4), "ein-langes-Passwort");
    EXPECT_EQ(w.text(IntUpCtl::SLE7), "0") << "a missing interval shows 0";
    EXPECT_TRUE(w.checked(IntUpCtl::CHK1));
    EXPECT_FALSE(w.checked(IntUpCtl::CHK2));
    EXPECT_FALSE(w.enabled(IntUpCtl::PSHSAVE));
    EXPECT_TRUE(w.enabled(IntUpCtl::PSHMANUELLUPDATE));
}

TEST_F(IntUpWndTest, WritesChecksAndIntervalAtOnce) {
    INTUP_WND w(open_);
    w.SETUP();
    w.EDITCHANGE(IntUpCtl::SLE7, "7");
    EXPECT_EQ(userValue("Intervall"), "7");
    EXPECT_FALSE(w.enabled(IntUpCtl::PSHSAVE)) << "the interval needs no saving";
    w.BUTTONCLICK(IntUpCtl::CHK1, false);
    EXPECT_EQ(userValue("ProxyOK"), "FALSE");
    for (bool on : {true, false}) {
        user("UpdateDatum", "01.12.2026");
        w.BUTTONCLICK(IntUpCtl::CHK2, on);
        EXPECT_EQ(userValue("PRGUpdate"), on ? "TRUE" : "FALSE");
        EXPECT_EQ(userValue("UpdateDatum"), "") << "the next start makes the check due";
    }
    EXPECT_TRUE(w.enabled(IntUpCtl::CHK2));
}

// Save asks first; "No" keeps the registry. A long password survives a save whole.
TEST_F(IntUpWndTest, SavesAfterItsQuestion) {
    INTUP_WND w(open_);
    w.SETUP();
    w.EDITCHANGE(IntUpCtl::SLE6, " Neu.exe ");
    EXPECT_TRUE(w.enabled(IntUpCtl::PSHSAVE));
    box_.expect(BoxButton::No);
    w.PSHSAVE();
    EXPECT_EQ(userValue("DateiEXE"), "ASSetup.exe");
    EXPECT_TRUE(w.enabled(IntUpCtl::PSHSAVE));
    box_.expect(BoxButton::Yes);
    w.PSHSAVE();
    EXPECT_EQ(box_.shown.back().caption, "Hinweis");
    EXPECT_EQ(userValue("DateiEXE"), "Neu.exe");
    EXPECT_EQ(userValue("ProxyPW"), "ein-langes-Passwort");
    EXPECT_FALSE(w.enabled(IntUpCtl::PSHSAVE));
}

TEST_F(IntUpWndTest, EmptySetupNameDisablesSaveAndManualUpdate) {
    user("DateiEXE", "");
    INTUP_WND w(open_);
    w.SETUP();
    EXPECT_FALSE(w.enabled(IntUpCtl::PSHMANUELLUPDATE));
    w.EDITCHANGE(IntUpCtl::SLE2, "anderer:8080");
    EXPECT_TRUE(w.enabled(IntUpCtl::PSHSAVE));
    EXPECT_FALSE(w.enabled(IntUpCtl::PSHMANUELLUPDATE));
}

TEST_F(IntUpWndTest, LinksAndManualUpdate) {
    INTUP_WND w(open_);
    w.SETUP();
    w.PSHHISTORIE();
    w.PSHEXPLORER();
    EXPECT_EQ(opened_, (std::vector<std::string>{"https://www.example.test/upd/historie.htm",
                                                 "https://www.example.test/upd/index.htm"}));
    // A manual update that starts an installer closes the window. The proxy named in the
    // settings does not exist: while it is switched on, the site cannot be reached.
    site_.put("manual/version.txt", "[VERSION]\r\nSETUP=25/01/01\r\n");
    site_.put("manual/assetup.exe", "installer");
    site_.sign("manual/assetup.exe", "file:ASSetup.exe date:20250101");
    user("URLMerix", "https://" + site_.host("good") + "/manual");
    box_.expect(BoxButton::Ok);
    w.PSHMANUELLUPDATE();
    ASSERT_EQ(box_.shown.size(), 1u) << "no box after the one that names the missing answer";
    EXPECT_EQ(box_.shown.back().caption, "Download-PageTest");
    EXPECT_FALSE(w.ended());
    w.BUTTONCLICK(IntUpCtl::CHK1, false);
    box_.expect(BoxButton::Yes).expect(BoxButton::Ok);
    w.PSHMANUELLUPDATE();
    EXPECT_EQ(opened_.size(), 3u);
    EXPECT_TRUE(w.ended());
}
