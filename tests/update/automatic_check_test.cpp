// The automatic update check among the deferred start tasks: when it is due, whether it
// is switched on, and what happens to the date of the last check. The update site's
// address lacks "www.", so a check that runs stops at once with its parameter message.
#include "tests/update/UpdateFixture.h"

using namespace arti;
using namespace arti::test;

namespace {

struct Case {
    const char* label;
    const char* interval;
    const char* lastCheck;
    const char* programUpdate;
    bool runs;
    const char* lastCheckAfter;
};

// The clock stands at 08.12.2026.
const Case kCases[] = {
    {"interval 0: due at every start", "0", "08.12.2026", "TRUE", true, "08.12.2026"},
    {"seven days after the last check", "7", "01.12.2026", "TRUE", true, "08.12.2026"},
    {"three days after the last check: not due, date kept", "7", "05.12.2026", "TRUE", false, "05.12.2026"},
    {"no last check", "7", "", "TRUE", true, "08.12.2026"},
    {"an invalid last check", "7", "31.02.20x6", "TRUE", true, "08.12.2026"},
    {"no interval", "", "08.12.2026", "", true, "08.12.2026"},
    {"switched off", "0", "", "FALSE", false, "08.12.2026"},
};

class AutomaticCheckTest : public UpdateFixture {};

} // namespace

TEST_F(AutomaticCheckTest, DueRuleAndSwitch) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        box_.shown.clear();
        user("URLMerix", "https://localhost/upd");
        user("DateiVersion", "version.txt");
        user("DateiEXE", "ASSetup.exe");
        user("Intervall", c.interval);
        user("UpdateDatum", c.lastCheck);
        user("PRGUpdate", c.programUpdate);
        if (c.runs) box_.expect(BoxButton::Ok);

        EXPECT_FALSE(AUTOMATICUPDATE(nullptr, open_));

        ASSERT_EQ(box_.shown.size(), c.runs ? 1u : 0u);
        for (const ShownBox& b : box_.shown)
            EXPECT_EQ(b.caption, "Fehler Internet-Parameter");
        EXPECT_EQ(userValue("UpdateDatum"), c.lastCheckAfter);
        EXPECT_TRUE(shell_.opened.empty());
    }
}

// A due check against the site that offers a newer setup starts its installer.
TEST_F(AutomaticCheckTest, StartsTheInstallerOfADueCheck) {
    site_.put("auto/version.txt", "[VERSION]\r\nSETUP=25/01/01\r\nUPDATE=\r\n");
    site_.put("auto/assetup.exe", "installer");
    site_.sign("auto/assetup.exe", "file:ASSetup.exe date:20250101");
    user("URLMerix", "https://" + site_.host("good") + "/auto");
    user("DateiVersion", "version.txt");
    user("DateiEXE", "ASSetup.exe");
    user("Intervall", "0");
    user("PRGUpdate", "TRUE");
    box_.expect(BoxButton::Yes).expect(BoxButton::Ok);

    EXPECT_TRUE(AUTOMATICUPDATE(nullptr, open_));
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(readBytes(shell_.opened[0].substr(5)), "installer");
}
