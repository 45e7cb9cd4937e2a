// The 01/96 field check of the main window: the record's table in the findings list and
// the field counter, the record-type finding, and the composite steps of a run (also
// with the field checks off), whose article numbers outlive the run.
#include "app/PruefWnd.h"
#include "core/Text.h"
#include "rules/Table0196.h"
#include "settings/Settings.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/MainWindowFixture.h"

#include <gtest/gtest.h>

using namespace arti;
using namespace arti::test;
using std::chrono::year;

namespace {

// A 01/96 record of the type, blank but for the given fields (by running number).
std::string record(char type, std::initializer_list<std::pair<std::size_t, std::string>> fields) {
    std::string r(128, ' ');
    r[0] = type;
    for (const auto& [nr, value] : fields) {
        std::size_t start = 0;
        const auto t = table0196(type);
        for (std::size_t i = 0; i + 1 < nr; ++i)
            start += t[i].width();
        r.replace(start, value.size(), value);
    }
    return r;
}

class Window0196Test : public MainWindowFixture {
protected:
    Window0196Test() {
        settings().waehrung = "EUR";
        settings().uDatum = year{2026} / 1 / 1;
        settings().oDatum = year{2026} / 12 / 31;
        wnd_.INIT();
        wnd_.SETPARAM();
        wnd_.engine.composite().forgetNumbers();
        // Findings are seen as the boxes of the error pop-ups; Cancel lets a run go on.
        wnd_.applyOption(Ctl::ODCCHK3, true);
        wnd_.applyOption(Ctl::ODCCHK2, false);
        wnd_.applyOption(Ctl::ODCCHK4, false);
    }
    ~Window0196Test() override { settings() = saved_; }

    std::vector<std::string> run(std::initializer_list<std::string> records, std::size_t findings) {
        for (std::size_t i = 0; i < findings; ++i)
            box_.expect(BoxButton::Cancel);
        const std::size_t before = box_.shown.size();
        for (const std::string& r : records)
            wnd_.FELDPRUEF0196(r);
        std::vector<std::string> texts;
        for (std::size_t i = before; i < box_.shown.size(); ++i)
            texts.push_back(box_.shown[i].text);
        return texts;
    }

    const std::string gtin = "4006381333931";
    const std::string a = record('A', {{2, "1"}, {3, gtin}, {4, "HSN-1"}, {5, "GH-1"}, {6, "Kabel"}});
    const std::string bGtin = record('B', {{3, "1"}, {4, gtin}, {33, "1"}});
    const std::string bOther = record('B', {{3, "2"}, {4, "HSN-2"}, {33, "0"}});
    const std::string z = record('Z', {{3, "3"}, {4, "GH-1"}});
};

TEST_F(Window0196Test, CompositeStepsRunDuringARunWithTheFieldChecksOff) {
    wnd_.run.LTURN_ = true;
    EXPECT_EQ(run({a, bGtin, z}, 0), std::vector<std::string>{});
    const std::vector<std::string> found = run({bOther, z}, 2);
    EXPECT_EQ(
        found,
        (std::vector<std::string>{
            "Der Schalter Artikelnummer in Satzart B (2 HSN HSN-1) verweist auf eine falsche Artikelnummer !",
            "Die vorherige Satzart B hat kein Kennzeichen auf diesen Z-Satz!"}));
    EXPECT_FALSE(wnd_.engine.composite().surchargeAnnounced());
}

TEST_F(Window0196Test, AZRecordRightAfterTheARecordIsNotAnnounced) {
    wnd_.run.LTURN_ = true;
    wnd_.engine.composite().forgetSurchargeAnnouncement();
    EXPECT_EQ(run({a, z}, 1),
              std::vector<std::string>{"Die vorherige Satzart B hat kein Kennzeichen auf diesen Z-Satz!"});
}

TEST_F(Window0196Test, OutsideARunNothingIsComparedOrCollected) {
    EXPECT_EQ(run({a, bOther, z}, 0), std::vector<std::string>{});
    EXPECT_FALSE(wnd_.engine.composite().numbersSet());
    // A first run begins with a B record: no A record has been seen, nothing to compare.
    wnd_.run.LTURN_ = true;
    EXPECT_EQ(run({bOther}, 0), std::vector<std::string>{});
}

TEST_F(Window0196Test, TheArticleNumbersOutliveTheRun) {
    wnd_.run.LTURN_ = true;
    run({a}, 0);
    wnd_.run.LTURN_ = false;
    wnd_.run.LTURN_ = true; // the next run starts with a B record
    wnd_.engine.composite().forgetSurchargeAnnouncement();
    EXPECT_EQ(run({bOther}, 1), std::vector<std::string>{"Der Schalter Artikelnummer in Satzart B (2 HSN "
                                                         "HSN-1) verweist auf eine falsche Artikelnummer !"});
    EXPECT_EQ(wnd_.run.NPOSITION_, 3);
    EXPECT_EQ(wnd_.engine.composite().articleNumber(0), gtin + " ");
}

TEST_F(Window0196Test, VerbundOf0590ReadsItsOwnSwitchCodes) {
    wnd_.run.LTURN_ = true;
    run({a}, 0);
    box_.expect(BoxButton::Cancel).expect(BoxButton::Cancel);
    EngineCheckContext ctx(wnd_.engine);
    CompositeTracker& composite = wnd_.engine.composite();
    composite.VERBUND(ctx, Version::V0590, "B", "0", "4006381333932");
    composite.VERBUND(ctx, Version::V0590, "Z", "3", "anything");
    composite.VERBUND(ctx, Version::V0590, record('Z', {{3, "1"}, {4, "HSN-9"}}));
    composite.VERBUND(ctx, Version::V0196, record('B', {{3, "2"}, {4, "HSN-1"}}));
    ASSERT_EQ(box_.shown.size(), 2u);
    EXPECT_EQ(box_.shown[0].text, "Der Schalter Artikelnummer in Satzart B (0 GTIN 4006381333931) verweist "
                                  "auf eine falsche Artikelnummer !");
    EXPECT_EQ(
        box_.shown[1].text,
        "Der Schalter Artikelnummer in Satzart Z (1 HSN HSN-1) verweist auf eine falsche Artikelnummer !");
}

TEST_F(Window0196Test, TheTableGoesToTheListAndTheCounter) {
    wnd_.FELDPRUEF0196(bGtin);
    EXPECT_TRUE(wnd_.controls.listRows().empty());
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT16), "34");
    EXPECT_EQ(wnd_.run.fieldTable.size(), 34u);

    wnd_.applyOption(Ctl::ODCCHK4, true);
    wnd_.FELDPRUEF0196(a);
    const std::vector<ListRow>& rows = wnd_.controls.listRows();
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[2], (ListRow{gtin + " ", "EAN/GTIN", "14", "A", "K", "3", "3"}));
    EXPECT_EQ(ansiToUtf8(rows[4][1]), "Großhändler-Nr.");
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT16), "9");
}

TEST_F(Window0196Test, FieldChecksReportWithTheShownRecordNumber) {
    wnd_.applyOption(Ctl::ODCCHK2, true);
    wnd_.engine.showCounter(4);
    std::string bad = a;
    bad[1] = '5';
    box_.expect(BoxButton::Ok);
    wnd_.FELDPRUEF0196(bad);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text,
              "Satz 4, Fehler in Feld 2, der numerische Wert kann nur im Bereich 1/9 liegen !");
    EXPECT_EQ(wnd_.run.NPOSITION_, 3); // the last field's rule, the GTIN rule at field 3
}

TEST_F(Window0196Test, ARecordTypeWithoutTableIsReportedAlone) {
    wnd_.applyOption(Ctl::ODCCHK2, true);
    wnd_.applyOption(Ctl::ODCCHK4, true);
    wnd_.run.recordCounter = 5;
    wnd_.engine.showPosition(1560);
    box_.expect(BoxButton::Ok);
    wnd_.FELDPRUEF0196(record('Q', {}));
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text, "Die Satzart > Q <  im Satz 5 ab Position 1.560 ist nicht zulässig !");
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT16), "0");
    EXPECT_TRUE(wnd_.controls.listRows().empty());
}

} // namespace
