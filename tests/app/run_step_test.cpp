// The record step, the automatic run and the navigation of the main check window, on
// small files written by the tests. The window is put in the state the recognition of
// a file leaves: the file open behind its header, version, announcement and length shown.
#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "records/FileAccess.h"
#include "run/CheckFunctions.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>

#include <chrono>
#include <fstream>
#include <sstream>

using namespace arti;
using namespace arti::test;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

std::string record(std::string content) {
    content.resize(128, ' ');
    return content + "\r\n";
}

// 05/90 and 01/96 files of 130-byte records (the 01/96 header announces A, B and D);
// `mark` ends them with the end mark 26.
std::string fixed(const std::string& version, std::vector<std::string> records, bool mark = true) {
    std::string f =
        version == "0590"
            ? record("V01011995")
            : record("V01012023" + std::string(90, ' ') + "11100000" + std::string(17, ' ') + "0196");
    for (const auto& r : records)
        f += record(r);
    return mark ? f + '\x1A' : f;
}

std::string file2000(const std::string& announced, std::vector<std::string> lines) {
    std::string f = "V;2000A;20230101;" + announced + ";\r\n";
    for (const auto& l : lines)
        f += l + "\r\n";
    return f;
}

// Lets a test act in the middle of a run, as a click would.
class HookedWindowServices final : public IWindowServices {
public:
    void processMessages() override {
        if (onPump) onPump();
    }
    TimerId startTimer(unsigned, bool, std::function<void()>) override { return 0; }
    void killTimer(TimerId) override {}
    void beep(unsigned, unsigned) override {}
    std::function<void()> onPump;
};

class RunTest : public MainWindowFixture {
protected:
    RunTest() {
        wnd_.run.stopRequest = false;
        wnd_.run.CCHR0_.assign(1, '\xFA');
        wnd_.run.LVORLAUF_ = true;
        wnd_.engine.useLog(FCREATE(dir_.folder() + "Error.log"));
    }
    ~RunTest() override {
        wnd_.engine.closeFiles();
        wnd_.run.stopRequest = false;
    }

    void open(const std::string& content, const std::string& version, const std::string& announced) {
        const std::string path = dir_.folder() + "ELDANORM.001";
        std::ofstream(path, std::ios::binary) << content;
        length_ = static_cast<long long>(content.size());
        if (wnd_.run.source.handle() != 0) FCLOSE(wnd_.run.source.handle());
        wnd_.run.stopRequest = false;
        wnd_.run.source.attach(BIN_OPEN(wnd_.owner(), path));
        const auto headerEnd = static_cast<long long>(content.find("\r\n") + 2);
        wnd_.run.source.setEndsInMark(content.back() == '\x1A');
        wnd_.run.source.setHeaderEnd(version == "0590" ? 0 : headerEnd + 1);
        wnd_.run.recordCounter = 1;
        FSEEK(wnd_.run.source.handle(), headerEnd);
        wnd_.engine.showVersion(versionOf(version), version);
        wnd_.engine.showAnnouncement(announced);
        wnd_.engine.showSeparator(";");
        wnd_.controls.setText(Ctl::ODCTXT2, padLeft(groupedNumber(length_), 17));
        wnd_.engine.showPosition(headerEnd);
        wnd_.engine.showRecordLength(headerEnd - 2);
    }
    // The log: each finding on one line, its line breaks removed.
    std::string log() {
        wnd_.engine.flushLog();
        std::ifstream in(dir_.folder() + "Error.log", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return ansiToUtf8(s.str());
    }
    long long position() { return FTELL(wnd_.run.source.handle()); }
    std::string shown(Ctl c) { return ansiToUtf8(trim(wnd_.controls.text(c))); }
    bool enabled(Ctl c) { return wnd_.controls.enabled(c); }

    long long length_ = 0;
};

// --- The record step --------------------------------------------------------------

TEST_F(RunTest, StepShowsTheRecordAndFollowsThePositionIn0196) {
    open(fixed("0196", {"K1", "A1", "B1"}), "0196", "ABD");
    EXPECT_TRUE(wnd_.LIESSATZ());
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCTXT12), "              260");
    EXPECT_EQ(shown(Ctl::ODCTXT13) + shown(Ctl::ODCTXT14) + shown(Ctl::ODCTXT11), "128K2");
    EXPECT_EQ(wnd_.engine.offset(), 130);
    EXPECT_TRUE(enabled(Ctl::OCCPSHBOF));
    EXPECT_EQ(view_.focused, Ctl::ODCSLE1);
    EXPECT_TRUE(wnd_.LIESSATZ());
    EXPECT_EQ(wnd_.engine.order().pattern(), "ABD") << "the third record decides the order";
}

TEST_F(RunTest, WrongSecondRecordStopsTheCheck) {
    open(fixed("0196", {"A1", "B1"}), "0196", "ABD");
    EXPECT_FALSE(wnd_.LIESSATZ());
    EXPECT_TRUE(wnd_.run.stopRequest);
    EXPECT_THAT(log(), HasSubstr("der zweite Satz der Version 01/96 muss der Kunden-Kontroll-Satz sein !"
                                 "Abbruch der Prüfung !"));
    open(fixed("0590", {"A1", "B1"}), "0590", "");
    EXPECT_FALSE(wnd_.LIESSATZ());
    EXPECT_THAT(log(), HasSubstr("der zweite Satz der Version 05/90 muss der Kunden-Kontroll-Satz sein !"));
}

TEST_F(RunTest, AnnouncementOf0590IsGatheredFromTheThirdRecordOn) {
    open(fixed("0590", {"K1", "A1", "B1", "A1", "Z0"}), "0590", "");
    std::string announcements;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(wnd_.LIESSATZ());
        announcements += wnd_.run.announcement + "|";
    }
    EXPECT_EQ(announcements, "|A|AB|AB|ABZ|");
    EXPECT_EQ(wnd_.engine.order().pattern(), "AB") << "the order is decided at the records 3 to 5 only";
    EXPECT_EQ(wnd_.run.recordLength, 128) << "05/90 lengths are shown without CR LF";

    open(fixed("0590", {"K1", "B1"}), "0590", "");
    wnd_.LIESSATZ();
    EXPECT_FALSE(wnd_.LIESSATZ()) << "an active B record cannot begin a file";
    EXPECT_TRUE(wnd_.run.stopRequest);
}

TEST_F(RunTest, UnannouncedRecordTypeIsReportedAtItsRecord) {
    open(fixed("0196", {"K1", "A1", "X1"}), "0196", "ABD");
    wnd_.LIESSATZ();
    wnd_.LIESSATZ();
    EXPECT_FALSE(wnd_.LIESSATZ());
    EXPECT_THAT(log(), HasSubstr("Z 4 Datei-Offset 390, Satz-Offset 1, die Satzart X ist in der "
                                 "Satzart-Ankündigung ABD des Vorlaufsatzes nicht enthalten !\r\n"));
}

TEST_F(RunTest, Version2000DecidesTheOrderAtTheFirstRecordOnly) {
    open(file2000("KI", {"I;N;1"}), "2000A", "KI");
    EXPECT_FALSE(wnd_.LIESSATZ());
    EXPECT_TRUE(wnd_.run.stopRequest);

    open(file2000("IK", {"I;N;1", "K;N;2", "P;N;3"}), "2000A", "IK");
    EXPECT_TRUE(wnd_.LIESSATZ());
    EXPECT_EQ(wnd_.engine.order().pattern(), "IK");
    EXPECT_EQ(wnd_.run.shownCounter, std::nullopt) << "outside a run the 2000 counter is not shown";
    EXPECT_TRUE(wnd_.LIESSATZ());
    EXPECT_FALSE(wnd_.LIESSATZ()) << "P is not announced";
    EXPECT_THAT(log(), HasSubstr("Z  Datei-Offset 36, Satz-Offset 1, die Satzart P"));
}

TEST_F(RunTest, EndOfFileWithAndWithoutMarkGivesNoFalseFindings) {
    open(fixed("0196", {"K1", "A1"}), "0196", "ABD");
    wnd_.LIESSATZ();
    wnd_.LIESSATZ();
    EXPECT_EQ(position(), length_ - 1) << "only the mark is left: that is the end";
    EXPECT_FALSE(enabled(Ctl::OCCPSHNEXT));
    EXPECT_FALSE(enabled(Ctl::OCCPSHEOF));
    wnd_.PSHEOF();
    EXPECT_EQ(position(), length_);
    // 05/90 reads no block behind the last record either: no refusal box.
    open(fixed("0590", {"K1"}), "0590", "");
    wnd_.PSHEOF();
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("das Datei-Ende CHR26 wurde gelesen.Prüfung beendet !"));
    EXPECT_THAT(text, Not(HasSubstr("Satzart")));
    EXPECT_THAT(text, Not(HasSubstr("Abbruch")));
    EXPECT_FALSE(wnd_.run.stopRequest);

    open(fixed("0590", {"K1"}, false), "0590", "");
    wnd_.PSHEOF();
    EXPECT_THAT(log(), HasSubstr("das Datei-Ende wurde erreicht.Prüfung beendet !"));
    EXPECT_FALSE(wnd_.run.stopRequest);
    EXPECT_FALSE(enabled(Ctl::OCCPSHNEXT));
}

TEST_F(RunTest, UnreadableRecordsStopTheCheck) {
    open(fixed("0196", {"K1"}, false) + "\r\n" + record("A1"), "0196", "ABD");
    wnd_.PSHSTART();
    EXPECT_EQ(position(), 262);
    EXPECT_TRUE(wnd_.run.stopRequest) << "an empty line ends the check like a refused block";
    EXPECT_THAT(log(),
                HasSubstr("Der Satz 3 ab Position 262 konnte nicht gelesen werden !Abbruch der Prüfung !"));
    EXPECT_THAT(log(), Not(HasSubstr("vom Benutzer"))) << "the user did not stop it";

    std::string bad = record("A1");
    bad.replace(128, 2, "xx");
    bad.replace(50, 2, "\r\n");
    open(fixed("0590", {"K1"}, false) + bad + '\x1A', "0590", "");
    box_.expect(BoxButton::Ok); // the block reader's refusal
    wnd_.LIESSATZ();
    wnd_.LIESSATZ();
    EXPECT_TRUE(wnd_.run.stopRequest);
    EXPECT_THAT(log(), HasSubstr("Der Satz 3 ab Position 390 konnte nicht gelesen werden !"));
}

// --- The automatic run --------------------------------------------------------------

TEST_F(RunTest, RunToTheEndRereadsTheHeaderAndRestoresTheControls) {
    open(fixed("0196", {"K1", "A1", "B1", "D1", "D1", "A1", "B1"}), "0196", "ABD");
    wnd_.run.stopRequest = true; // left from an earlier run
    wnd_.engine.showErrors(5);   // left from steps before the run
    wnd_.PSHSTART();
    EXPECT_EQ(shown(Ctl::ODCTXT18), "0") << "the run counts its own findings, as its outcome does";
    const std::string text = log();
    EXPECT_THAT(text, HasSubstr("10:15:00 Uhr, das Datei-Ende wurde erreicht.Prüfung beendet !"));
    EXPECT_THAT(text, Not(HasSubstr("Abbruch")));
    EXPECT_EQ(position(), 130) << "the header is shown again";
    EXPECT_FALSE(wnd_.run.LTURN_ || wnd_.engine.order().following() || wnd_.LALLOWCLOSE_ ||
                 wnd_.run.stopRequest);
    EXPECT_TRUE(wnd_.engine.order().article().empty());
    EXPECT_FALSE(enabled(Ctl::OCCPSHSTOP));
    EXPECT_FALSE(enabled(Ctl::OCCPSHBACK)) << "behind the header";
    for (Ctl c :
         {Ctl::OCCPSHSTART, Ctl::OCCPSHNEXT, Ctl::OCCPSHDATEI, Ctl::OCCPSHPROT, Ctl::ODCCHK2, Ctl::ODCSLE1})
        EXPECT_TRUE(enabled(c)) << controlName(c);
    EXPECT_EQ(shown(Ctl::ODCTXT10), "Durchlauf beendet: das Datei-Ende wurde erreicht.\r\n"
                                    "1 Meldung, davon 0 Fehler (siehe Protokoll).");
}

TEST_F(RunTest, OnlyARunFromTheHeaderFollowsTheOrderOfRecords) {
    open(fixed("0196", {"K1", "A1", "D1", "B1"}), "0196", "ABD");
    wnd_.PSHSTART();
    EXPECT_EQ(position(), 520) << "the run stops at the D record";
    EXPECT_THAT(
        log(), HasSubstr("die ReihenfolgeX der eintreffende Sätze stimmt nicht !ABDADAbbruch der Prüfung !"));
    EXPECT_EQ(shown(Ctl::ODCTXT10),
              "Durchlauf abgebrochen: die ReihenfolgeX der eintreffende Sätze stimmt nicht ! ABD "
              "AD\r\n1 Meldung, davon 1 Fehler (siehe Protokoll).");
    EXPECT_EQ(wnd_.run.outcome.end, CheckEnd::Refused);

    open(fixed("0196", {"K1", "A1", "D1", "B1"}), "0196", "ABD");
    wnd_.LIESSATZ();
    wnd_.LIESSATZ();
    wnd_.PSHSTART();
    const std::string text = log();
    EXPECT_EQ(text.find("ReihenfolgeX", text.find("ReihenfolgeX") + 1), std::string::npos);
    EXPECT_THAT(text, HasSubstr("das Datei-Ende wurde erreicht."));
}

TEST_F(RunTest, StopButtonEndsTheRunBeforeTheNextRecord) {
    open(fixed("0196", {"K1", "A1", "B1", "A1", "B1", "A1"}), "0196", "AB");
    HookedWindowServices pump;
    ServicesScope scope(&box_, &pump, &clock_);
    bool clicked = false;
    pump.onPump = [&] {
        if (!clicked && wnd_.controls.text(Ctl::ODCTXT11) == "4") {
            clicked = true;
            wnd_.PSHSTOP();
        }
    };
    wnd_.PSHSTART();
    const std::string text = log();
    EXPECT_THAT(text,
                HasSubstr("\r\nZ 4 Datei-Offset 390, Satz-Offset 0, 10:15:00 Uhr, Stop-Button geklickt, "
                          "Prüfung unterbrochen !"));
    EXPECT_THAT(text,
                HasSubstr("10:15:00 Uhr, der Durchlauf wurde vom Benutzer abgebrochen.Prüfung beendet !"));
    EXPECT_EQ(position(), 520);
    EXPECT_THAT(shown(Ctl::ODCTXT10),
                HasSubstr("Durchlauf vom Benutzer abgebrochen.\r\n2 Meldungen, davon 0 Fehler"));
    EXPECT_TRUE(wnd_.run.stopRequest) << "the request outlives the run";
    EXPECT_TRUE(enabled(Ctl::OCCPSHSTART));
    EXPECT_TRUE(enabled(Ctl::OCCPSHBOF));
}

TEST_F(RunTest, DelayStepsAreTenthsOfASecondAndEndAtAStop) {
    using std::chrono::steady_clock;
    auto start = steady_clock::now();
    TICZEITSCHLEIFE(0, wnd_.run.stopRequest);
    EXPECT_EQ(window_.pumps, 0);
    TICZEITSCHLEIFE(2, wnd_.run.stopRequest);
    EXPECT_GE(steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_GT(window_.pumps, 1);

    HookedWindowServices pump;
    ServicesScope scope(&box_, &pump, &clock_);
    pump.onPump = [this] { wnd_.run.stopRequest = true; };
    start = steady_clock::now();
    TICZEITSCHLEIFE(50, wnd_.run.stopRequest);
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(1));
}

// --- Navigation ----------------------------------------------------------------------

TEST_F(RunTest, BackStepsToThePreviousRecordButNotBeforeTheHeader) {
    open(fixed("0196", {"K1", "A1", "B1"}), "0196", "ABD");
    for (int i = 0; i < 3; ++i)
        wnd_.LIESSATZ();
    wnd_.PSHBACK();
    EXPECT_EQ(wnd_.run.NZEIGER_, 260);
    EXPECT_FALSE(wnd_.run.LBACK_);
    wnd_.PSHBACK();
    wnd_.PSHBACK();
    EXPECT_EQ(wnd_.run.NZEIGER_, 0);
    EXPECT_FALSE(enabled(Ctl::OCCPSHBOF)) << "right behind the header";
    EXPECT_FALSE(enabled(Ctl::OCCPSHBACK));
    // From the end mark the last record is the previous one.
    wnd_.PSHEOF();
    wnd_.PSHBACK();
    EXPECT_EQ(wnd_.run.NZEIGER_, 390);
    wnd_.PSHBACK();
    EXPECT_EQ(wnd_.run.NZEIGER_, 260);

    open(file2000("IP", {"I;N;1", "P;N;" + std::string(250, 'x'), "P;N;3"}), "2000A", "IP");
    for (int i = 0; i < 3; ++i)
        wnd_.LIESSATZ();
    wnd_.PSHBACK();
    EXPECT_EQ(shown(Ctl::ODCTXT13), "254");
    wnd_.PSHBACK();
    EXPECT_EQ(shown(Ctl::ODCTXT14), "I");
}

TEST_F(RunTest, BofShowsTheHeaderAndEndsTextCollection) {
    open(fixed("0196", {"K1", "A1", "B1"}), "0196", "ABD");
    wnd_.LIESSATZ();
    wnd_.LIESSATZ();
    wnd_.run.texts.startCollecting();
    box_.expect(BoxButton::Ok);
    wnd_.PSHBOF();
    EXPECT_THAT(box_.shown.back().text, HasSubstr("Die Textspeicherung ist unvollständig."));
    EXPECT_FALSE(wnd_.run.texts.collecting());
    EXPECT_EQ(wnd_.run.NZEIGER_, 0);
    EXPECT_EQ(shown(Ctl::ODCTXT11), "1");
    EXPECT_FALSE(enabled(Ctl::OCCPSHBOF));
}

TEST_F(RunTest, JumpShowsTheRecordBehindAPositionInsideTheFile) {
    open(fixed("0196", {"K1", "A1", "B1", "D1"}), "0196", "ABD");
    for (const std::string& entry : std::vector<std::string>{"0", plainNumber(length_)}) {
        wnd_.controls.userText(Ctl::ODCSLE1, entry);
        box_.expect(BoxButton::Ok);
        wnd_.PSHOK();
        EXPECT_EQ(box_.shown.back().caption + box_.shown.back().text,
                  "EingabefehlerDie Zahl muss zwischen 0 und der Dateilänge liegen !");
    }
    EXPECT_EQ(position(), 130);
    wnd_.controls.userText(Ctl::ODCSLE1, "-395");
    wnd_.EDITCHANGE();
    EXPECT_TRUE(enabled(Ctl::OCCPSHOK));
    wnd_.PSHOK();
    EXPECT_EQ(wnd_.run.NZEIGER_, 390) << "395 / 130 - 1 = 2: skip the record at 260";
    EXPECT_EQ(wnd_.controls.text(Ctl::ODCSLE1), "");
    EXPECT_FALSE(enabled(Ctl::OCCPSHOK));
    wnd_.controls.userText(Ctl::ODCSLE1, "1");
    wnd_.PSHOK();
    EXPECT_EQ(wnd_.run.NZEIGER_, 130) << "a position inside the header shows the second record";

    open(file2000("IP", {"I;N;1", "P;N;2"}), "2000A", "IP");
    wnd_.controls.userText(Ctl::ODCSLE1, "10");
    wnd_.PSHOK();
    EXPECT_EQ(wnd_.run.NZEIGER_, 22) << "the rest of the header line is skipped";
}

// --- Window handlers -----------------------------------------------------------------

TEST_F(RunTest, CheckBoxClicksChangeCaptionsListAndGuidance) {
    ControlMirror& c = wnd_.controls;
    c.setText(Ctl::ODCCHK3, "Fehler PopUp  ein");
    wnd_.fileReady(); // the guidance points at the option boxes
    wnd_.BUTTONCLICK(Ctl::ODCCHK3);
    EXPECT_EQ(c.text(Ctl::ODCCHK3), "Fehler PopUp aus");
    c.userChecked(Ctl::ODCCHK3, true);
    wnd_.BUTTONCLICK(Ctl::ODCCHK3);
    EXPECT_EQ(c.text(Ctl::ODCCHK3), "Fehler PopUp ein");
    EXPECT_FALSE(c.visible(Ctl::ODCFI2));
    EXPECT_TRUE(c.visible(Ctl::ODCFI3));
    EXPECT_THAT(shown(Ctl::ODCTXT10), HasSubstr("Wählen Sie die Prüfart."));

    c.setListRows({{"a", "b", "1", "A", "M", "1", "1"}});
    c.userChecked(Ctl::ODCCHK4, false);
    wnd_.BUTTONCLICK(Ctl::ODCCHK4);
    EXPECT_EQ(c.text(Ctl::ODCCHK4), "List-Anzeige aus");
    EXPECT_TRUE(view_.shownRows.empty());
}

TEST_F(RunTest, ResetReturnsToTheNoFilePhase) {
    open(fixed("0196", {"K1"}), "0196", "ABD");
    wnd_.LIESSATZ();
    wnd_.run.stopRequest = true;
    wnd_.RESET();
    for (Ctl c : {Ctl::ODCTXT2, Ctl::ODCTXT3, Ctl::ODCTXT11, Ctl::ODCTXT12, Ctl::ODCTXT14, Ctl::ODCTXT15})
        EXPECT_EQ(wnd_.controls.text(c), "") << controlName(c);
    EXPECT_FALSE(wnd_.run.stopRequest);
    for (Ctl c : {Ctl::OCCPSHNEXT, Ctl::OCCPSHSTART, Ctl::ODCSLE1, Ctl::OCCPSHPROT, Ctl::ODCCHK3})
        EXPECT_FALSE(enabled(c)) << controlName(c);
    EXPECT_TRUE(enabled(Ctl::OCCPSHDATEI));
}

} // namespace
