#include "settings/Probes.h"
#include "tests/support/GtestFakes.h"

#include <gtest/gtest.h>

using namespace arti;

namespace {

using Pos = std::vector<std::pair<int, int>>;
using Tones = std::vector<std::pair<unsigned, unsigned>>;

class Fensterpos : public arti::test::ServicesFixture {
protected:
    void screen(int vw, int vh, int pw, int ph) { fakes_.screen.m = {vw, vh, pw, ph}; }
};

} // namespace

TEST_F(Fensterpos, SingleMonitor) {
    screen(1920, 1080, 1920, 1080);
    // Saved on a monitor that is no longer there: tone, and the window is not placed.
    EXPECT_EQ(FENSTERPOS(3000, 100, 800, 600), (Pos{{0, 0}}));
    EXPECT_EQ(window_.beeps, (Tones{{800, 2}}));

    EXPECT_EQ(FENSTERPOS(100, 200, 800, 600), (Pos{{100, 200}}));
    EXPECT_EQ(FENSTERPOS(1920, 200, 800, 600), (Pos{{1120, 200}})); // x at the width: moved left, no tone
    EXPECT_EQ(FENSTERPOS(100, 900, 800, 600), (Pos{{100, 480}}));   // y beyond the bottom: moved up
    EXPECT_EQ(window_.beeps.size(), 1u);
}

TEST_F(Fensterpos, SeveralMonitors) {
    // A second monitor right of the primary one, taller than it.
    screen(3840, 1440, 1920, 1080);
    EXPECT_EQ(FENSTERPOS(3000, 100, 800, 600), (Pos{{3000, 100}}));
    EXPECT_EQ(FENSTERPOS(3500, 100, 800, 600), (Pos{{3040, 100}}));
    // Fits the virtual height but not the primary one: the primary height rules.
    EXPECT_EQ(FENSTERPOS(2500, 700, 800, 600), (Pos{{2500, 480}}));
    EXPECT_EQ(FENSTERPOS(2500, 1400, 800, 600), (Pos{{2500, 480}}));
    EXPECT_TRUE(window_.beeps.empty());
}

TEST_F(Fensterpos, NeverPlacesTheTitleBarOffTheScreen) {
    screen(1024, 768, 1024, 768);
    // A window taller and wider than the screen starts at its top-left corner.
    EXPECT_EQ(FENSTERPOS(50, 300, 1100, 900), (Pos{{0, 0}}));
    // Without screen metrics (no GUI) the window is left where the system puts it.
    fakes_.screen.m = {};
    EXPECT_EQ(FENSTERPOS(3000, 100, 800, 600), (Pos{{0, 0}}));
    EXPECT_TRUE(window_.beeps.empty());
}
