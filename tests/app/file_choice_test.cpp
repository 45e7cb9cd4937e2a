// The file choice of the main check window, on small files written by the tests,
// through the fake face, dialogs and message boxes: the dialog, the boxes the window
// shows and what its controls show of the model. What the engine recognises, logs and
// refuses is tested without the window in tests/run/file_choice_test.cpp.
#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "run/CheckFunctions.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/ChoiceFiles.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/FakeViewers.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <functional>

using namespace arti;
using namespace arti::literals;
using namespace arti::test;

namespace {

class FileChoiceTest : public MainWindowFixture {
protected:
    FileChoiceTest() {
        std::filesystem::create_directories(dir_.path() / "user");
        std::filesystem::create_directories(dir_.path() / "source");
        settings().installPath = dir_.folder() + "user/";
        settings().artiQuelle = dir_.folder() + "source/";
        wnd_.run.stopRequest = false;
        wnd_.INIT();
    }
    ~FileChoiceTest() override {
        wnd_.engine.closeFiles();
        wnd_.engine.closeTextTable();
        wnd_.run.stopRequest = false;
    }

    std::string writeData(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.folder() + "source/" + name;
        writeBytes(path, bytes);
        return path;
    }
    std::string log() {
        wnd_.engine.flushLog();
        return readBytes(settings().installPath + "Error.log");
    }
    // Chooses the file: the box with the source folder is answered first, then the later
    // boxes in order. The window's
    // reset also disables the controls and empties the error count; that is done here
    // as well, so that each choice is judged on its own.
    void choose(const std::string& path, std::initializer_list<BoxButton> laterAnswers = {}) {
        wnd_.INIT();
        wnd_.engine.showErrors(std::nullopt);
        box_.expect(BoxButton::Ok);
        for (const BoxButton b : laterAnswers)
            box_.expect(b);
        dialogs_.files.push_back(path);
        wnd_.PSHDATEI();
    }
    // Boxes shown after the one with the source folder.
    std::vector<ShownBox> laterBoxes() const { return {box_.shown.begin() + 1, box_.shown.end()}; }
    const ControlMirror& c() const { return wnd_.controls; }
    void expectRefused() {
        for (const Ctl ctl : {Ctl::ODCSLE1, Ctl::OCCPSHNEXT, Ctl::OCCPSHSTART, Ctl::OCCPSHEOF, Ctl::ODCCHK2})
            EXPECT_FALSE(c().enabled(ctl)) << controlName(ctl);
        EXPECT_TRUE(c().enabled(Ctl::OCCPSHDATEI));
        EXPECT_TRUE(c().enabled(Ctl::OCCPSHPROT));
        EXPECT_TRUE(c().visible(Ctl::ODCFI1));
    }
    void expectRecognised() {
        for (const Ctl ctl : {Ctl::ODCSLE1, Ctl::OCCPSHNEXT, Ctl::OCCPSHSTART, Ctl::OCCPSHEOF, Ctl::ODCCHK2,
                              Ctl::ODCCHK3, Ctl::ODCCHK4, Ctl::OCCPSHDATEI, Ctl::OCCPSHPROT})
            EXPECT_TRUE(c().enabled(ctl)) << controlName(ctl);
        for (const Ctl ctl : {Ctl::OCCPSHSTOP, Ctl::OCCPSHOK})
            EXPECT_FALSE(c().enabled(ctl)) << controlName(ctl);
        EXPECT_TRUE(c().checked(Ctl::ODCCHK2));
        EXPECT_TRUE(c().checked(Ctl::ODCCHK3));
        EXPECT_TRUE(c().checked(Ctl::ODCCHK4));
        EXPECT_FALSE(c().visible(Ctl::ODCFI1));
        EXPECT_TRUE(c().visible(Ctl::ODCFI2));
        EXPECT_EQ(ansiToUtf8(c().text(Ctl::ODCTXT10)),
                  "Wählen Sie ob die Feldinhalte geprüft werden sollen und ob bei jedem Fehler eine Infobox "
                  "erscheinen "
                  "soll.\r\nVorgehensweise: Achten Sie auf den grünen Pfeil !");
    }

    RegistrySandbox registry_;
};

TEST_F(FileChoiceTest, FreshWindowShowsItsSettingsAndOffersOnlyTheFileChoice) {
    settings().waehrung = "EUR";
    settings().uDatum = std::chrono::year{2026} / 11 / 8;
    settings().oDatum = std::chrono::year{2027} / 1 / 7;
    PRUEF_WND w;
    FakePruefView v;
    w.attachView(&v);
    w.INIT();
    ASSERT_TRUE(w.SETUP());
    const ControlMirror& m = w.controls;
    EXPECT_EQ(m.text(Ctl::ODCTXT1), dir_.folder() + "source/");
    EXPECT_EQ(m.text(Ctl::ODCTXT5), "0");
    EXPECT_EQ(m.text(Ctl::ODCTXT6), "08.11.2026");
    EXPECT_EQ(m.text(Ctl::ODCTXT7), "07.01.2027");
    EXPECT_EQ(m.text(Ctl::ODCTXT9), "EUR");
    EXPECT_EQ(ansiToUtf8(m.text(Ctl::ODCTXT10)),
              "zu prüfende Datei auswählen\r\nVorgehensweise: Achten Sie auf den grünen Pfeil !");
    EXPECT_EQ(m.text(Ctl::ODCCHK3), "Fehler PopUp  ein");
    EXPECT_EQ(ansiToUtf8(m.text(Ctl::OCCPSHOK)), "ausführen");

    // Each mark's "|" stands right behind the column of its number, each "0" of the digit
    // ruler in that column.
    const std::string& ruler = m.text(Ctl::ODCTXT200);
    const std::string& digits = m.text(Ctl::ODCTXT201);
    ASSERT_EQ(ruler.size(), 124u);
    ASSERT_EQ(digits.size(), 100u);
    for (std::size_t column = 10; column <= 120; column += 10) {
        EXPECT_EQ(ruler[column], '|') << column;
        EXPECT_EQ(ruler.substr(column + 1, column < 100 ? 2 : 3), std::to_string(column));
        if (column <= 100) {
            EXPECT_EQ(digits[column - 1], '0');
        }
    }

    EXPECT_TRUE(m.visible(Ctl::ODCFI1));
    EXPECT_FALSE(m.visible(Ctl::ODCFI2));
    EXPECT_FALSE(m.visible(Ctl::ODCFI3));
    for (const Ctl ctl :
         {Ctl::OCCPSHDATEI, Ctl::OCCPSHSYSTEM, Ctl::OCCPSHABOUT, Ctl::OCCPSHCANCEL, Ctl::ODCLISTVIEW1})
        EXPECT_TRUE(m.enabled(ctl)) << controlName(ctl);
    for (const Ctl ctl : {Ctl::OCCPSHBOF, Ctl::OCCPSHBACK, Ctl::OCCPSHNEXT, Ctl::OCCPSHEOF, Ctl::OCCPSHSTART,
                          Ctl::OCCPSHSTOP, Ctl::ODCSLE1, Ctl::OCCPSHOK, Ctl::OCCPSHPROT, Ctl::ODCCHK2,
                          Ctl::ODCCHK3, Ctl::ODCCHK4, Ctl::OCCPSHVIEW})
        EXPECT_FALSE(m.enabled(ctl)) << controlName(ctl);
    EXPECT_EQ(v.columns.size(), 7u);
}

// What a recognised file shows in the window; what the engine logs of it and reads from
// it is the engine's (tests/run).
TEST_F(FileChoiceTest, ARecognisedFileIsShownInTheControls) {
    const std::string header = header0196();
    const std::string bytes = header + kCrLf + record('K') + kCrLf + "\x1a";
    const std::string path = writeData("ELDANORM.001", bytes);
    choose(path, {BoxButton::Ok}); // the copy of the header record pops up

    EXPECT_EQ(dialogs_.asked.at(0), "Wählen Sie das Verzeichnis und die zu prüfende ELDANORM-Datei | " +
                                        dir_.folder() + "source/ | ELDANORM*");
    EXPECT_EQ(box_.shown[0].caption, "Info");
    EXPECT_EQ(box_.shown[0].text, dir_.folder() + "source/");
    EXPECT_EQ(box_.shown[1].caption, "Z  Datei-Offset 0, Satz-Offset 0");
    EXPECT_EQ(box_.shown[1].text, header);

    EXPECT_EQ(c().text(Ctl::ODCTXT1), path);
    EXPECT_EQ(c().text(Ctl::ODCTXT2), "              261");
    EXPECT_EQ(c().text(Ctl::ODCTXT3), "0196");
    EXPECT_EQ(c().text(Ctl::ODCTXT4), "08.12.2026");
    EXPECT_EQ(c().text(Ctl::ODCTXT17), "2"); // the final end mark is no part of a record
    EXPECT_EQ(c().text(Ctl::ODCTXT16), "15");
    EXPECT_EQ(c().text(Ctl::ODCTXT15), SATZFOLGE("11000000"));
    EXPECT_EQ(c().text(Ctl::ODCTXT12), "              130");
    EXPECT_EQ(c().text(Ctl::ODCTXT13), "128");
    EXPECT_EQ(c().text(Ctl::ODCTXT14), "V");
    EXPECT_EQ(c().text(Ctl::ODCTXT50), header);
    EXPECT_EQ(c().text(Ctl::ODCTXT11), "");
    EXPECT_FALSE(c().visible(Ctl::ODCTXT51));
    EXPECT_TRUE(c().checked(Ctl::ODCCHK1));
    expectRecognised();
    EXPECT_EQ(settings().artiQuelle, dir_.folder() + "source/");
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", "", "ARTIQuelle", false), dir_.folder() + "source/");
}

TEST_F(FileChoiceTest, Version0590IsShownWithItsHeaderBlock) {
    const std::string header = header0590();
    const std::string path = writeData("ELDANORM.590", header + kCrLf + record('K') + kCrLf + "\x1a");
    choose(path, {BoxButton::Ok, BoxButton::Ok}); // the header copy, the notice

    // The header display shows the 130-byte block with its CR LF.
    EXPECT_EQ(c().text(Ctl::ODCTXT3), "0590");
    EXPECT_EQ(c().text(Ctl::ODCTXT4), "08.12.2026");
    EXPECT_EQ(c().text(Ctl::ODCTXT17), "2");
    EXPECT_EQ(c().text(Ctl::ODCTXT13), "128");
    EXPECT_EQ(c().text(Ctl::ODCTXT50), header + kCrLf);
    expectRecognised();
}

TEST_F(FileChoiceTest, Version2000IsShownWithItsSeparatorAndCodePage) {
    const std::string bytes = kHeader2000 + kCrLf + "I;N;1234" + kCrLf;
    const std::string path = writeData("ELDANORM.2K", bytes);
    choose(path, {BoxButton::Ok});

    EXPECT_EQ(c().text(Ctl::ODCTXT3), "2000A");
    EXPECT_EQ(c().text(Ctl::ODCTXT4), "08.12.2026");
    EXPECT_EQ(c().text(Ctl::ODCTXT8), ";");
    EXPECT_EQ(c().text(Ctl::ODCTXT15), "IH");
    EXPECT_EQ(c().text(Ctl::ODCTXT16), "14");
    EXPECT_EQ(c().text(Ctl::ODCTXT17), "");
    EXPECT_FALSE(c().checked(Ctl::ODCCHK1));
    expectRecognised();

    // The next file without "ANSI" is read with the OEM conversion again.
    const std::string oem =
        writeData("ELDANORM.OEM", "V#2000A#20261208#IH#Artikelstammdaten#Muster GmbH#4001234000008#"
                                  "Datenservice#4001234000015#Installateur#4007654000000#KD-1#W" +
                                      kCrLf);
    choose(oem, {BoxButton::Ok});
    EXPECT_EQ(c().text(Ctl::ODCTXT8), "#");
    EXPECT_TRUE(c().checked(Ctl::ODCCHK1));
}

// However the pop-ups are set, a refused file says so in the window; with pop-ups on the
// refusal is an error box.
TEST_F(FileChoiceTest, ARefusedFileSaysSoInTheWindowAndInAnErrorBox) {
    choose(writeData("BAD.2K", "V32000A3" + kCrLf));
    EXPECT_TRUE(laterBoxes().empty()) << "pop-ups are off before the length is shown";
    EXPECT_EQ(ansiToUtf8(c().text(Ctl::ODCTXT10)),
              "Datei abgewiesen: Das 1.Feldtrennzeichen 3 = ASC 51 entspricht "
              "nicht der Norm !");
    box_.shown.clear();
    choose(writeData("END.001", header0196() + "\n"), {BoxButton::Ok, BoxButton::Ok});
    ASSERT_EQ(laterBoxes().size(), 2u); // the missing end mark, then the refusal
    EXPECT_EQ(laterBoxes()[0].kind, BoxKind::Question);
    EXPECT_EQ(laterBoxes()[1].kind, BoxKind::Error);
    EXPECT_EQ(c().text(Ctl::ODCTXT18), "2");
    EXPECT_TRUE(c().checked(Ctl::ODCCHK3)) << "the pop-ups stay on";
    expectRefused();
    EXPECT_EQ(ansiToUtf8(c().text(Ctl::ODCTXT10))
                  .rfind("Datei abgewiesen: Gravierender Fehler ! Mit dem DATEI-ENDE", 0),
              0u);
}

// Nothing of one file reaches the next: the code page of an ANSI file of version 2000
// does not decide how a 01/96 header is read, and ticked boxes say "ein".
TEST_F(FileChoiceTest, TheNextFileIsReadAsIfItWereTheFirst) {
    choose(writeData("ANSI.2K", kHeader2000 + kCrLf), {BoxButton::Ok});
    ASSERT_FALSE(wnd_.run.LASCII_);
    for (const Ctl box : {Ctl::ODCCHK3, Ctl::ODCCHK4}) {
        wnd_.controls.userChecked(box, false);
        wnd_.BUTTONCLICK(box);
    }
    // "Großhandel" in the OEM code page of the 01/96 file.
    const std::string oem = pad(pad("V08122026Elektrogro\xE1handel", 99) + "11000000", 124) + "0196";
    choose(writeData("OEM.001", oem + kCrLf + "\x1a"), {BoxButton::Ok});
    EXPECT_TRUE(wnd_.run.LASCII_);
    EXPECT_NE(c().text(Ctl::ODCTXT50).find("Elektrogro\xDFhandel"), std::string::npos)
        << c().text(Ctl::ODCTXT50);
    EXPECT_EQ(log().find("nicht zul"), std::string::npos);
    for (const Ctl box : {Ctl::ODCCHK2, Ctl::ODCCHK3, Ctl::ODCCHK4}) {
        EXPECT_TRUE(c().checked(box)) << controlName(box);
        EXPECT_TRUE(c().text(box).ends_with(" ein")) << c().text(box);
    }
}

TEST_F(FileChoiceTest, LengthNotAMultipleOf130AsksWhetherToGoOn) {
    const std::string bytes = header0590() + kCrLf + record('K') + kCrLf + "AB\r\n\x1a";
    // The window asks the engine's question in its Yes/No box.
    const std::string question =
        "Die Dateilänge / Satzzahl ist fehlerhaft  !\r\nAbbruch der Prüfung !\r\n\r\n"
        "Soll die Prüfung dennoch fortgesetzt werden ?";
    const std::string path = writeData("LEN.590", bytes);
    choose(path, {BoxButton::Ok, BoxButton::No});
    EXPECT_EQ(box_.shown.back().kind, BoxKind::YesNo);
    EXPECT_EQ(box_.shown.back().caption, "Gravierender Fehler");
    EXPECT_EQ(box_.shown.back().text, question);
    EXPECT_EQ(c().text(Ctl::ODCTXT17), "2");
    expectRefused();

    box_.shown.clear();
    choose(path, {BoxButton::Ok, BoxButton::Yes, BoxButton::Ok, BoxButton::Ok});
    EXPECT_EQ(box_.shown.back().caption, "Hinweis");
    expectRecognised();
}

TEST_F(FileChoiceTest, CancelledChoiceOpensNothing) {
    box_.expect(BoxButton::Ok);
    wnd_.PSHDATEI();
    EXPECT_EQ(c().text(Ctl::ODCTXT1), "");
    EXPECT_TRUE(c().enabled(Ctl::OCCPSHDATEI));
    EXPECT_EQ(wnd_.run.source.handle(), 0);
    EXPECT_EQ(wnd_.engine.logFile(), 0);
    EXPECT_FALSE(std::filesystem::exists(settings().installPath + "Error.log"));
}

TEST_F(FileChoiceTest, AFileGivenAtStartIsChosenWithoutAskingOnce) {
    const std::string path = writeData("ELDANORM.001", header0196() + kCrLf + record('K') + kCrLf + "\x1a");
    settings().startDlg = false;
    appState().startFile = path;
    box_.expect(BoxButton::Ok); // the copy of the header record pops up
    wnd_.TIMERFIRED();
    EXPECT_TRUE(dialogs_.asked.empty());
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_NE(box_.shown[0].caption, "Info");
    EXPECT_EQ(c().text(Ctl::ODCTXT1), path);
    expectRecognised();
    EXPECT_EQ(appState().startFile, ""); // a later "Datei" asks again
}

TEST_F(FileChoiceTest, LongPathIsShortenedInDisplayAndLog) {
    const std::string folder = dir_.folder() + "source/" + std::string(70, 'd') + "/";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "ELDANORM.001";
    writeBytes(path, header0196() + kCrLf + "\x1a");
    ASSERT_GE(path.size(), 80u);
    choose(path, {BoxButton::Ok});
    const std::string shown = path.substr(0, 10) + "..\\." + path.substr(path.size() - 66);
    EXPECT_EQ(c().text(Ctl::ODCTXT1), shown);
    EXPECT_EQ(log().substr(0, logHead(shown).size()), logHead(shown));
    EXPECT_EQ(settings().artiQuelle, folder);
}

// ---- Per-version update ----

TEST_F(FileChoiceTest, WrongRecordLengthIsLoggedAndStopsTheRun) {
    choose(writeData("A.001", header0196() + kCrLf + "\x1a"), {BoxButton::Ok});
    wnd_.applyOption(Ctl::ODCCHK3, false);
    wnd_.run.stopRequest = false;
    FakeRecordViewers viewers;
    ServicesScope installed(Services{.viewers = &viewers});
    wnd_.controls.setListRows({{"a", "b", "c", "d", "e", "f", "g"}});
    wnd_.UPDATE0196(pad("A1", 127));
    EXPECT_TRUE(wnd_.run.stopRequest);
    EXPECT_EQ(viewers.calls, std::vector<std::string>{"clear"});
    EXPECT_TRUE(c().listRows().empty());
    wnd_.UPDATE0590(pad("A1", 12));
    EXPECT_EQ(c().text(Ctl::ODCTXT18), "2");
    const std::string text = log();
    EXPECT_NE(text.find(kPrefix +
                        "Fehler Satzlänge 127, die Satzlänge in der Version 0196 muss 128+CRLF = 130 Byte "
                        "sein !Abbruch der Prüfung !\r\n"_ansi),
              std::string::npos);
    EXPECT_NE(text.find("Fehler Satzlänge 12, die Satzlänge in der Version 0590 muss"_ansi),
              std::string::npos);
}

TEST_F(FileChoiceTest, Update2000SpreadsLongRecordsOverThreeLines) {
    wnd_.engine.showSeparator(";");
    const std::string longRecord = "T;" + std::string(298, 'x');
    wnd_.UPDATE2000(longRecord);
    EXPECT_EQ(c().text(Ctl::ODCTXT50), longRecord.substr(0, 128));
    EXPECT_EQ(c().text(Ctl::ODCTXT51), longRecord.substr(128, 128));
    EXPECT_EQ(c().text(Ctl::ODCTXT52), longRecord.substr(256));
    EXPECT_TRUE(c().visible(Ctl::ODCTXT52));
    EXPECT_EQ(c().text(Ctl::ODCTXT16), "2"); // the fields the record delivered
    EXPECT_EQ(wnd_.engine.ALIST_().size(), 2u);

    wnd_.UPDATE2000("P;1;2;");
    EXPECT_FALSE(c().visible(Ctl::ODCTXT51));
    EXPECT_FALSE(c().visible(Ctl::ODCTXT52));
    EXPECT_EQ(c().text(Ctl::ODCTXT16), "4");
    ASSERT_EQ(wnd_.run.fieldTable.size(), 7u);
    EXPECT_EQ(wnd_.run.fieldTable.content(2), "2");
    EXPECT_EQ(wnd_.run.fieldTable.position(3), 7u);
    EXPECT_EQ(wnd_.engine.ALIST_(), (std::vector<std::string_view>{"P", "1", "2", ""}));
    // Fields beyond the record type's table, and records of a type without one, are
    // kept as well.
    wnd_.UPDATE2000("S;a;b;c;d  ");
    EXPECT_EQ(wnd_.engine.ALIST_(), (std::vector<std::string_view>{"S", "a", "b", "c", "d"}));
    wnd_.UPDATE2000("Q;1");
    EXPECT_EQ(wnd_.engine.ALIST_(), (std::vector<std::string_view>{"Q", "1"}));
}

TEST_F(FileChoiceTest, FirstRecordOfAnAnnouncedSequenceOffersTheSequenceView) {
    wnd_.engine.showAnnouncement("ABZ");
    wnd_.controls.disable(Ctl::OCCPSHVIEW);
    // Without the viewer's windows the button stays disabled.
    wnd_.UPDATE0196(record('A'));
    EXPECT_FALSE(c().enabled(Ctl::OCCPSHVIEW));

    FakeRecordViewers viewers;
    ServicesScope installed(Services{.viewers = &viewers});
    wnd_.UPDATE0196(record('B'));
    EXPECT_FALSE(c().enabled(Ctl::OCCPSHVIEW));
    wnd_.UPDATE0196(record('A'));
    EXPECT_TRUE(c().enabled(Ctl::OCCPSHVIEW));
    EXPECT_EQ(wnd_.run.CPUFFER_, record('A'));

    // During a run the buffer is left alone.
    wnd_.run.LTURN_ = true;
    wnd_.UPDATE0196(record('Z'));
    EXPECT_EQ(wnd_.run.CPUFFER_, record('A'));
}

// Another program saved the chosen file anew (a copy renamed over it) or deleted it: a
// step, jump or run says so and chooses the path anew without the dialog, reading
// nothing of the old file.
TEST_F(FileChoiceTest, AReplacedFileIsChosenAnewBeforeAnythingReadsOn) {
    const std::string path = dir_.folder() + "source/A.001";
    const std::pair<std::function<void()>, bool> cases[] = {// the button, the file deleted instead
                                                            {[this] { wnd_.PSHNEXT(); }, false},
                                                            {[this] { wnd_.PSHBACK(); }, false},
                                                            {[this] { wnd_.PSHBOF(); }, false},
                                                            {[this] { wnd_.PSHEOF(); }, false},
                                                            {[this] { wnd_.PSHSTART(); }, false},
                                                            {[this] {
                                                                 wnd_.controls.setText(Ctl::ODCSLE1, "200");
                                                                 wnd_.PSHOK();
                                                             },
                                                             false},
                                                            {[this] { wnd_.PSHNEXT(); }, true}};
    for (const auto& [press, deleted] : cases) {
        choose(writeData("A.001", header0196() + kCrLf + record('K') + kCrLf + "\x1a"), {BoxButton::Ok});
        wnd_.applyOption(Ctl::ODCCHK3, false);
        const std::string newer = header0196() + kCrLf + record('K') + kCrLf + record('A') + kCrLf + "\x1a";
        std::filesystem::rename(writeData("A.neu", newer), path);
        if (deleted) std::filesystem::remove(path);
        box_.shown.clear();
        box_.expect(BoxButton::Ok).expect(BoxButton::Ok); // this box, then the header copy or the open error
        const std::size_t asked = dialogs_.asked.size();
        press();
        ASSERT_EQ(box_.shown.size(), 2u);
        EXPECT_EQ(box_.shown[0].text, "Die Datei\r\n" + path +
                                          "\r\nwurde auf dem Datenträger ersetzt oder gelöscht, seit sie "
                                          "ausgewählt wurde.\r\nSie wird neu ausgewählt.");
        EXPECT_EQ(dialogs_.asked.size(), asked);
        EXPECT_EQ(c().text(Ctl::ODCTXT17), deleted ? "" : "3");
        EXPECT_EQ(FTELL(wnd_.run.source.handle()), deleted ? -1 : 130);
    }
}

} // namespace
