// The main window as the field rules' check context, and its date window and currency
// questions: the run's settings in memory change, the displays follow, nothing is saved.
#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "rules/FieldTable.h"
#include "rules/SharedRules.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TempDir.h"

#include <array>
#include <filesystem>

using namespace arti;
using namespace arti::literals;
using namespace arti::test;
using std::chrono::year;

namespace {

class PruefRulesTest : public MainWindowFixture {
protected:
    PruefRulesTest() {
        settings().waehrung = "EUR";
        settings().uDatum = year{2026} / 11 / 8;
        settings().oDatum = year{2027} / 1 / 7;
        wnd_.INIT();
        wnd_.SETPARAM();
    }
    ~PruefRulesTest() override { settings() = saved_; }

    const ControlMirror& c() const { return wnd_.controls; }
};

TEST_F(PruefRulesTest, HeaderDateBeforeTheWindowWidensItOnYes) {
    box_.expect(BoxButton::Yes);
    wnd_.engine.DATUMSWECHSEL(year{2026} / 11 / 1, "Datei-Erstellung");
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].kind, BoxKind::YesNo);
    EXPECT_EQ(box_.shown[0].owner, wnd_.owner());
    EXPECT_EQ(box_.shown[0].caption, "Erstellungs-Datum");
    EXPECT_EQ(box_.shown[0].text,
              "Das Datum 01.11.2026 im Feld Datei-Erstellung liegt nicht zwischen der ...\r\n"
              "Datumsuntergrenze 08.11.2026\r\nund Datumsobergrenze 07.01.2027\r\n"
              "die in den Systemeinstellungen festgelegt ist und dort manuell verändert werden kann.\r\n\r\n"
              "Soll der Datumsbereich jetzt automatisch (nur für diese Prüfung) angepasst werden? ");
    EXPECT_EQ(settings().uDatum, year{2026} / 11 / 1);
    EXPECT_EQ(settings().oDatum, year{2027} / 1 / 7);
    EXPECT_EQ(c().text(Ctl::ODCTXT6), "01.11.2026");
    EXPECT_EQ(c().text(Ctl::ODCTXT7), "07.01.2027");
}

TEST_F(PruefRulesTest, HeaderDateInsideTheWindowAsksNothing) {
    // The fixture fails on any box.
    for (const Date date : {year{2026} / 11 / 8, year{2027} / 1 / 7, year{2026} / 12 / 8})
        wnd_.engine.DATUMSWECHSEL(date, "Datei-Erstellung");
    EXPECT_TRUE(box_.shown.empty());
    EXPECT_EQ(settings().uDatum, year{2026} / 11 / 8);
}

TEST_F(PruefRulesTest, CurrencyIsAdoptedForTheRunOnYesOnly) {
    box_.expect(BoxButton::No).expect(BoxButton::Yes);
    wnd_.engine.WAEHRUNGSWECHSEL("CHF");
    EXPECT_EQ(settings().waehrung, "EUR");
    EXPECT_EQ(c().text(Ctl::ODCTXT9), "EUR");
    wnd_.engine.WAEHRUNGSWECHSEL("CHF");
    ASSERT_EQ(box_.shown.size(), 2u);
    EXPECT_EQ(box_.shown[1].caption, "Währungsschlüssel");
    EXPECT_EQ(box_.shown[1].owner, wnd_.owner());
    EXPECT_EQ(settings().waehrung, "CHF");
    EXPECT_EQ(c().text(Ctl::ODCTXT9), "CHF");
}

TEST_F(PruefRulesTest, ContextReadsTheWindowsSwitchesAndRecord) {
    EngineCheckContext ctx(wnd_.engine);
    const std::array<std::pair<Ctl, bool CheckSwitches::*>, 4> switches{{
        {Ctl::ODCCHK2, &CheckSwitches::fieldChecks},
        {Ctl::ODCCHK4, &CheckSwitches::listDisplay},
        {Ctl::ODCCHK1, &CheckSwitches::oemFile},
        {Ctl::ODCCHK5, &CheckSwitches::asciiCheckOff},
    }};
    for (const auto& [ctl, member] : switches) {
        // A tick in the face reaches the run through the click handler.
        wnd_.controls.userChecked(ctl, true);
        wnd_.BUTTONCLICK(ctl);
        EXPECT_TRUE(ctx.switches().*member) << controlName(ctl);
        wnd_.controls.userChecked(ctl, false);
        wnd_.BUTTONCLICK(ctl);
        EXPECT_FALSE(ctx.switches().*member) << controlName(ctl);
    }

    wnd_.engine.showCounter(12);
    wnd_.run.NZEIGER_ = 1560;
    EXPECT_EQ(ctx.recordNumber(), "12");
    EXPECT_EQ(ctx.recordOffset(), 1560);
    ctx.setFindingPosition(44);
    EXPECT_EQ(wnd_.run.NPOSITION_, 44);

    settings().lCode = "DE,AT";
    wnd_.SETPARAM(); // as the settings window does after saving
    EXPECT_EQ(ctx.countryCodes(), "DE,AT");
    EXPECT_EQ(ctx.currency(), "EUR");
    EXPECT_EQ(ctx.dateWindow().lower, year{2026} / 11 / 8);

    // A finding goes to the error log, which counts it as an error.
    wnd_.applyOption(Ctl::ODCCHK3, false);
    wnd_.engine.showErrors(std::nullopt);
    ctx.report(MessageKind::MandatoryEmpty, 3, "Satz 12, Fehler in Feld 3, ...");
    EXPECT_EQ(c().text(Ctl::ODCTXT18), "1");
}

TEST_F(PruefRulesTest, ContextHandsTheFilledTableToTheFindingsList) {
    static constexpr std::array<FieldDef, 2> kDefs{{
        {"Satzartkennzeichen", "1", "A", "M", "H", "F"},
        {"Bezeichnung 1", "35", "A", "M", "", "F"},
    }};
    FieldTable t;
    t.reset(kDefs);
    t.setContent(0, "H");
    t.setPosition(0, 1);
    t.setNumber(0, 1);
    t.setNumber(1, 2); // a field the record does not have
    EngineCheckContext ctx(wnd_.engine);
    ctx.showFields(t);
    const std::vector<ListRow> expected{{"H", "Satzartkennzeichen", "1", "A", "M", "1", "1"},
                                        {"", "Bezeichnung 1", "35", "A", "M", "", "2"}};
    EXPECT_EQ(c().listRows(), expected);
}

// The header date of a chosen file is tested once the file is recognised.
class HeaderDateTest : public MainWindowFixture {
protected:
    HeaderDateTest() {
        std::filesystem::create_directories(dir_.path() / "user");
        std::filesystem::create_directories(dir_.path() / "source");
        settings().installPath = dir_.folder() + "user/";
        settings().artiQuelle = dir_.folder() + "source/";
        settings().waehrung = "EUR";
        settings().uDatum = year{2026} / 11 / 8;
        settings().oDatum = year{2027} / 1 / 7;
        wnd_.run.stopRequest = false;
        wnd_.INIT();
        wnd_.SETPARAM();
    }
    ~HeaderDateTest() override {
        wnd_.engine.closeFiles();
        wnd_.engine.closeTextTable();
        wnd_.run.stopRequest = false;
    }

    // A 01/96 file with a header dated `ddmmyyyy` and one K record.
    void choose(const std::string& ddmmyyyy, std::initializer_list<BoxButton> answers) {
        std::string header = "V" + ddmmyyyy;
        header.resize(99, ' ');
        header += "11000000";
        header.resize(124, ' ');
        header += "0196";
        std::string record = "K1 content";
        record.resize(128, ' ');
        const std::string path = dir_.folder() + "source/ELDANORM.001";
        writeBytes(path, header + "\r\n" + record + "\r\n\x1a");
        box_.expect(BoxButton::Ok); // the source folder
        box_.expect(BoxButton::Ok); // the copy of the header record
        for (const BoxButton b : answers)
            box_.expect(b);
        dialogs_.files.push_back(path);
        wnd_.PSHDATEI();
    }
    std::vector<ShownBox> questions() const {
        std::vector<ShownBox> q;
        for (const ShownBox& b : box_.shown)
            if (b.caption == "Erstellungs-Datum") q.push_back(b);
        return q;
    }

    RegistrySandbox registry_;
};

TEST_F(HeaderDateTest, InsideTheWindowNothingIsAsked) {
    choose("08122026", {});
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT3), "0196");
    EXPECT_TRUE(questions().empty());
}

TEST_F(HeaderDateTest, OutsideTheWindowYesWidensItAndTheDisplayFollows) {
    // The header's date field asks first; once widened, the file's date fits.
    choose("15032027", {BoxButton::Ok /* the field's finding */, BoxButton::Yes});
    const auto q = questions();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_NE(q[0].text.find("Das Datum 15.03.2027 im Feld 2 liegt nicht"), std::string::npos);
    EXPECT_EQ(settings().oDatum, year{2027} / 3 / 15);
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT7), "15.03.2027");
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT6), "08.11.2026");
    // In memory only: the registry keeps no date window of this run.
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", "", "ODatum", false), "");
}

TEST_F(HeaderDateTest, OutsideTheWindowNoKeepsIt) {
    choose("15032027", {BoxButton::Ok /* the field's finding */, BoxButton::No, BoxButton::No});
    const auto q = questions();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_NE(q[0].text.find("im Feld 2 liegt nicht"), std::string::npos);
    EXPECT_NE(q[1].text.find("im Feld Datei-Erstellung liegt nicht"), std::string::npos);
    EXPECT_EQ(settings().oDatum, year{2027} / 1 / 7);
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT7), "07.01.2027");
}

// The window hands its settings to each check: a window widened in a question stays
// widened for the next choice, one the settings window narrowed again is asked about
// again.
TEST_F(HeaderDateTest, EachChoiceChecksWithTheSettingsTheWindowHasThen) {
    const struct {
        const char* what;
        std::optional<Date> upperSet; // saved by the settings window before the choice
        std::initializer_list<BoxButton> answers;
        std::size_t questions;
        const char* shownUpper;
    } steps[] = {
        {"widened on Yes", std::nullopt, {BoxButton::Ok, BoxButton::Yes}, 1, "15.03.2027"},
        {"still widened", std::nullopt, {}, 0, "15.03.2027"},
        {"narrowed again",
         year{2027} / 1 / 7,
         {BoxButton::Ok, BoxButton::No, BoxButton::No},
         2,
         "07.01.2027"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.upperSet) {
            settings().oDatum = s.upperSet;
            wnd_.SETPARAM();
        }
        box_.shown.clear();
        choose("15032027", s.answers);
        EXPECT_EQ(questions().size(), s.questions);
        EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT7), s.shownUpper);
        EXPECT_EQ(wnd_.run.parameters.dateWindow.upper, settings().oDatum);
    }
}

} // namespace
