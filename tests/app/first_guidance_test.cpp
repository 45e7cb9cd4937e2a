// The first guidance of the main window (the green arrow at "Datei" and its instruction)
// stays until there is a file: Enter without one, however often and whenever it comes
// (a key held down since a box of the start), has nothing to jump to.
#include "tests/support/MainWindowFixture.h"

using namespace arti;

namespace {

class FirstGuidance : public test::MainWindowFixture {};

TEST_F(FirstGuidance, EnterWithoutAFileKeepsIt) {
    const struct {
        const char* when;
        int enters;
        bool reset; // a file choice was cancelled before
    } cases[] = {{"once", 1, false}, {"held down", 5, false}, {"after a cancelled choice", 1, true}};
    for (const auto& row : cases) {
        PRUEF_WND wnd;
        test::FakePruefView view;
        wnd.attachView(&view);
        wnd.INIT();
        ASSERT_TRUE(wnd.SETUP());
        if (row.reset) wnd.RESET();
        const std::string instruction = wnd.controls.text(Ctl::ODCTXT10);
        for (int i = 0; i < row.enters; ++i)
            wnd.PSHOK();
        EXPECT_TRUE(wnd.controls.visible(Ctl::ODCFI1)) << row.when;
        EXPECT_EQ(wnd.controls.text(Ctl::ODCTXT10), instruction) << row.when;
        EXPECT_FALSE(instruction.empty()) << row.when;
    }
}

} // namespace
