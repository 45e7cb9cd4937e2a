// The main window's version 2000 field check: the field counter, the findings list with
// its seven columns, the record position of a finding and the field viewer following
// the record.
#include "app/PruefWnd.h"
#include "core/Text.h"
#include "run/CheckFunctions.h"
#include "settings/Settings.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/FakeViewers.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/MainWindowFixture.h"

#include <gtest/gtest.h>

using namespace arti;
using namespace arti::test;
using namespace arti::literals;

namespace {

class FieldCheck2000Window : public MainWindowFixture {
protected:
    FieldCheck2000Window() {
        settings().waehrung = "EUR";
        settings().uDatum = std::chrono::year{2020} / 1 / 1;
        settings().oDatum = std::chrono::year{2030} / 12 / 31;
        wnd_.INIT();
        wnd_.SETPARAM();
        wnd_.applyOption(Ctl::ODCCHK2, true); // Feld-Prüfung ein
        wnd_.applyOption(Ctl::ODCCHK4, true); // List-Anzeige ein
    }
    ~FieldCheck2000Window() override { settings() = saved_; }

    void run(const std::string& record) {
        wnd_.engine.showSeparator(";"); // the separator the header names
        wnd_.engine.splitRecord2000(record);
        wnd_.FELDPRUEF2000(record);
    }
};

TEST_F(FieldCheck2000Window, FillsTheCounterAndTheListAndPlacesTheFinding) {
    run("P;1;105566;EUR;20261201");
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT16), "5");
    const std::vector<ListRow>& rows = wnd_.controls.listRows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[2], (ListRow{"105566", "Preis", "10", "N", "M", "5", "3"}));
    EXPECT_EQ(rows[3][1], "Währung"_ansi);
    // A field the record lacks: no content, no position, but its running number.
    EXPECT_EQ(rows[5], (ListRow{"", "Preiseinheit", "1", "N", "M", "", "6"}));
    // The missing mandatory field is the last finding; it has no start.
    EXPECT_EQ(wnd_.run.NPOSITION_, 0);
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT18), "1");

    run("I;S;4000012424868;Me-955804;100000001");
    EXPECT_EQ(wnd_.run.NPOSITION_, 5);
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT18), "2");
}

TEST_F(FieldCheck2000Window, ATypeWithoutTableLeavesTheListAlone) {
    run("P;1;105566;EUR;20261201;1;");
    const std::vector<ListRow> before = wnd_.controls.listRows();
    wnd_.controls.setText(Ctl::ODCTXT12, "       498");
    run("Q;1");
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT16), "0");
    EXPECT_EQ(wnd_.controls.listRows(), before);
    // Logged, and an error: the file breaks its format.
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT18), "1");
}

TEST_F(FieldCheck2000Window, AnOpenFieldViewerFollowsTheRecord) {
    struct Viewer final : IChildWindow {
        void end() override {}
    } viewer;
    FakeRecordViewers viewers;
    viewers.editor = &viewer;
    ServicesScope installed(Services{.viewers = &viewers});
    wnd_.LFELD_ = true;
    wnd_.OODFELD_ = &viewer;
    wnd_.engine.showRecordType("P");
    run("P;1;105566;EUR;20261201;1;");
    // Set up again for the record, without a selected row.
    EXPECT_EQ(viewers.calls, std::vector<std::string>{"refresh - P"});
    wnd_.LFELD_ = false;
    run("P;1;105566;EUR;20261201;1;");
    EXPECT_EQ(viewers.calls.size(), 1u);
}

// With "Feld-Prüfung aus" the record-level findings are all: nothing else is reported or
// asked. The list takes the table only with "List-Anzeige ein"; an open field viewer
// follows every record that has a table, whatever the switches.
TEST_F(FieldCheck2000Window, TheSwitchesDecideWhatFollowsTheRecordLevelFindings) {
    struct Viewer final : IChildWindow {
        void end() override {}
    } viewer;
    FakeRecordViewers viewers;
    ServicesScope installed(Services{.viewers = &viewers});
    wnd_.LFELD_ = true;
    wnd_.OODFELD_ = &viewer;
    wnd_.applyOption(Ctl::ODCCHK3, true);  // findings are seen as the boxes of the pop-ups
    wnd_.applyOption(Ctl::ODCCHK2, false); // Feld-Prüfung aus

    box_.expect(BoxButton::Ok);
    run("P;9;x;CHF;20250229;;;x;y");
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text, "Die Satzart > P <  hat 9 Felder, darf aber nur 7 Felder haben !");
    ASSERT_EQ(wnd_.controls.listRows().size(), 7u);
    EXPECT_EQ(wnd_.controls.listRows()[1][0], "9");

    wnd_.applyOption(Ctl::ODCCHK4, false); // List-Anzeige aus
    run("P;1;105566;EUR;20261201;1;");
    EXPECT_EQ(wnd_.controls.listRows()[1][0], "9");
    EXPECT_EQ(viewers.calls.size(), 2u);

    box_.expect(BoxButton::Ok);
    run("Q;1");
    EXPECT_EQ(viewers.calls.size(), 2u);
}

} // namespace
