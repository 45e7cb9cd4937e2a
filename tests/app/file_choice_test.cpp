// File choice and version recognition of the main check window, on small files written
// by the tests, through the fake face, dialogs and message boxes.
#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "run/CheckFunctions.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/FakeViewers.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace arti;
using namespace arti::literals;
using namespace arti::test;

namespace {

std::string pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

// Version 01/96: header with the record-type flags at 100 to 107 and "0196" at 125.
std::string header0196(const std::string& flags = "11000000") {
    return pad(pad("V08122026", 99) + flags, 124) + "0196";
}
std::string record(char type) {
    return pad(std::string(1, type) + "1 content", 128);
}
std::string header0590() {
    return pad("V08122026", 128);
}
const std::string kHeader2000 = "V;2000A;20261208;IH;05;06;07;08;09;10;11;12;W;ANSI";

const std::string kCrLf = "\r\n";
const std::string kPrefix = "Z  Datei-Offset 0, Satz-Offset 0, ";

std::string lengthLine(long long n) {
    return kPrefix + "Datei-Länge "_ansi + padLeft(groupedNumber(n), 17) + " Byte\r\n";
}

class FileChoiceTest : public MainWindowFixture {
protected:
    FileChoiceTest() {
        std::filesystem::create_directories(dir_.path() / "user");
        std::filesystem::create_directories(dir_.path() / "source");
        settings().installPath = dir_.folder() + "user/";
        settings().artiQuelle = dir_.folder() + "source/";
        appState().stopRequest = false;
        wnd_.INIT();
    }
    ~FileChoiceTest() override {
        wnd_.engine.closeFiles();
        wnd_.engine.closeTextTable();
        appState().stopRequest = false;
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
    std::string logHead(const std::string& file) const {
        return "Fehlerprotokoll vom 08.12.2026 - 10:15:00 Uhr\r\n*--------------------\r\nDatei: " + file +
               "\r\n\r\n";
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

TEST_F(FileChoiceTest, Version0196IsRecognisedAndLoggedWithoutTouchingTheFile) {
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

    EXPECT_EQ(log(), logHead(path) + lengthLine(261) + kPrefix + header + "\r\n\r\n");
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
    EXPECT_TRUE(wnd_.run.LASCII_ && wnd_.run.source.endsInMark() && wnd_.run.texts.mayStore() &&
                wnd_.run.LVORLAUF_);
    EXPECT_EQ(wnd_.run.source.headerEnd(), 131);
    expectRecognised();
    EXPECT_EQ(FTELL(wnd_.run.source.handle()), 130); // the record step goes on behind the header
    EXPECT_EQ(settings().artiQuelle, dir_.folder() + "source/");
    EXPECT_EQ(GETREG_EINZELWERT(nullptr, "HKCU", "", "ARTIQuelle", false), dir_.folder() + "source/");

    wnd_.engine.closeFiles();
    EXPECT_EQ(readBytes(path), bytes);
}

TEST_F(FileChoiceTest, Version0590IsRecognisedWithItsNotice) {
    const std::string header = header0590();
    const std::string path = writeData("ELDANORM.590", header + kCrLf + record('K') + kCrLf + "\x1a");
    choose(path, {BoxButton::Ok, BoxButton::Ok});

    ASSERT_EQ(box_.shown.size(), 3u);
    EXPECT_EQ(box_.shown[2].caption, "Hinweis");
    EXPECT_EQ(box_.shown[2].text, "Vermutlich ist diese ELDANORM-Datei eine Version 05/90\r\nDer Vorlaufsatz "
                                  "enthält keine eindeutigen Merkmale.");
    // The header copy is the 130-byte block; its CR LF does not reach the log line.
    EXPECT_EQ(log(), logHead(path) + lengthLine(261) + kPrefix + header + "\r\n\r\n");
    EXPECT_EQ(c().text(Ctl::ODCTXT3), "0590");
    EXPECT_EQ(c().text(Ctl::ODCTXT4), "08.12.2026");
    EXPECT_EQ(c().text(Ctl::ODCTXT17), "2");
    EXPECT_EQ(c().text(Ctl::ODCTXT13), "128");
    EXPECT_EQ(c().text(Ctl::ODCTXT50), header + kCrLf);
    EXPECT_EQ(wnd_.run.source.headerEnd(), 131);
    expectRecognised();
}

TEST_F(FileChoiceTest, Version2000FollowsItsHeaderAndCodePage) {
    const std::string bytes = kHeader2000 + kCrLf + "I;N;1234" + kCrLf;
    const std::string path = writeData("ELDANORM.2K", bytes);
    choose(path, {BoxButton::Ok});

    // No end mark is expected of version 2000: no cosmetic finding.
    EXPECT_EQ(log(), logHead(path) + lengthLine(static_cast<long long>(bytes.size())) + kPrefix +
                         kHeader2000 + "\r\n\r\n");
    EXPECT_EQ(c().text(Ctl::ODCTXT3), "2000A");
    EXPECT_EQ(c().text(Ctl::ODCTXT4), "08.12.2026");
    EXPECT_EQ(c().text(Ctl::ODCTXT8), ";");
    EXPECT_EQ(c().text(Ctl::ODCTXT15), "IH");
    EXPECT_EQ(c().text(Ctl::ODCTXT16), "14");
    EXPECT_EQ(c().text(Ctl::ODCTXT17), "");
    EXPECT_EQ(wnd_.run.AFELDER_.size(), 14u);
    EXPECT_FALSE(c().checked(Ctl::ODCCHK1));
    EXPECT_FALSE(wnd_.run.LASCII_);
    expectRecognised();

    // The next file without "ANSI" is read with the OEM conversion again.
    const std::string oem =
        writeData("ELDANORM.OEM", "V#2000A#20261208#IH#Artikelstammdaten#Muster GmbH#4001234000008#"
                                  "Datenservice#4001234000015#Installateur#4007654000000#KD-1#W" +
                                      kCrLf);
    choose(oem, {BoxButton::Ok});
    EXPECT_EQ(c().text(Ctl::ODCTXT8), "#");
    EXPECT_TRUE(c().checked(Ctl::ODCCHK1));
    EXPECT_TRUE(wnd_.run.LASCII_);
}

TEST_F(FileChoiceTest, SeparatorOutsideTheListIsRefused) {
    for (const std::string sep : {"3", "\x03"}) {
        const std::string path =
            writeData("BAD.2K", "V" + sep + "2000A" + sep + "20261208" + sep + "IH" + kCrLf);
        choose(path);
        const std::string code = sep == "3" ? "51" : "3";
        EXPECT_EQ(log(), logHead(path) + kPrefix + "Das 1.Feldtrennzeichen " + sep + " = ASC " + code +
                             " entspricht nicht der Norm !Abbruch der Prüfung !\r\n"_ansi);
        EXPECT_EQ(c().text(Ctl::ODCTXT2), ""); // refused before the length is shown
        expectRefused();
    }
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
    EXPECT_EQ(ansiToUtf8(c().text(Ctl::ODCTXT10))
                  .rfind("Datei abgewiesen: Gravierender Fehler ! Mit dem DATEI-ENDE", 0),
              0u);
}

// A chosen file that is the check's own log or long-text file, under its own name or
// another (a hard link), is refused in an error box and keeps its bytes.
TEST_F(FileChoiceTest, TheChecksOwnFilesAreNeverChecked) {
    choose(writeData("A.001", header0196() + kCrLf + "\x1a"), {BoxButton::Ok});
    const std::string logPath = settings().installPath + "Error.log";
    const std::string link = dir_.folder() + "source/LINK.001";
    std::filesystem::create_hard_link(logPath, link);
    wnd_.engine.closeFiles();
    for (const std::string& chosen : {logPath, link}) {
        const std::string before = readBytes(logPath);
        box_.shown.clear();
        choose(chosen, {BoxButton::Ok});
        ASSERT_EQ(laterBoxes().size(), 1u) << chosen;
        EXPECT_EQ(laterBoxes()[0].kind, BoxKind::Error);
        EXPECT_NE(laterBoxes()[0].text.find("ist das Fehlerprotokoll der Prüfung"), std::string::npos);
        EXPECT_EQ(readBytes(logPath), before);
        EXPECT_EQ(wnd_.engine.logFile(), 0) << "no log was opened";
        EXPECT_EQ(ansiToUtf8(c().text(Ctl::ODCTXT10)).rfind("Datei abgewiesen: Die Datei", 0), 0u);
    }
}

// A 01/96 line longer than a record is reported with its real length, as the last line
// of the file or before others.
TEST_F(FileChoiceTest, AnOverLongLineIsReportedWithItsLength) {
    for (const std::string& after : {std::string(), pad("A1", 128) + kCrLf}) {
        const std::string path = writeData("LONG.001", header0196() + kCrLf + pad("K1", 128) + kCrLf +
                                                           std::string(100000, 'A') + kCrLf + after + "\x1a");
        choose(path, {BoxButton::Ok, BoxButton::Yes, BoxButton::Ok});
        wnd_.applyOption(Ctl::ODCCHK3, false);
        wnd_.LIESSATZ();
        wnd_.LIESSATZ();
        EXPECT_NE(log().find("Fehler Satzlänge 100000, die Satzlänge in der Version 0196"_ansi),
                  std::string::npos)
            << (after.empty() ? "last line" : "line before others");
        EXPECT_EQ(c().text(Ctl::ODCTXT13), "100000");
    }
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

TEST_F(FileChoiceTest, BrokenFileEndIsRefusedWithTheCodesFound) {
    struct Case {
        std::string bytes;
        std::string codes;
        bool cosmetic; // no end mark
    };
    const std::vector<Case> cases{{header0196() + "xy\x1a", "120121", false},
                                  {header0196() + kCrLf + "AB", "6566", true},
                                  {"A", "65", true},
                                  {"\x1a", "", false}};
    for (const Case& k : cases) {
        const std::string path = writeData("END.001", k.bytes);
        if (k.cosmetic)
            choose(path, {BoxButton::Ok, BoxButton::Ok});
        else
            choose(path, {BoxButton::Ok});
        std::string expected = logHead(path) + lengthLine(static_cast<long long>(k.bytes.size()));
        if (k.cosmetic)
            expected += kPrefix + "Schönheitsfehler ! Datei-ENDE-Marke 1A nicht erkannt !\r\n"_ansi;
        expected +=
            kPrefix +
            "Gravierender Fehler ! Mit dem DATEI-ENDE stimmt was nicht !die letzten 2 Zeichen sind Dezimal " +
            k.codes + "Abbruch der Prüfung !\r\n"_ansi;
        EXPECT_EQ(log(), expected) << k.codes;
        EXPECT_EQ(c().text(Ctl::ODCTXT18), k.cosmetic ? "2" : "1");
        EXPECT_TRUE(c().checked(Ctl::ODCCHK3));
        expectRefused();
        box_.shown.clear();
    }
}

TEST_F(FileChoiceTest, HeaderThatCannotBeReadOrRecognisedIsRefused) {
    // An empty first line: the block test refuses it too, with the reader's own box.
    std::string path = writeData("EMPTY.001", kCrLf + record('K') + kCrLf + "\x1a");
    choose(path, {BoxButton::Ok, BoxButton::Ok});
    ASSERT_EQ(box_.shown.size(), 3u);
    EXPECT_EQ(box_.shown[1].kind, BoxKind::Error);
    EXPECT_EQ(box_.shown[2].text, "Der Vorlaufsatz konnte nicht gelesen werden !\r\nAbbruch der Prüfung !");
    expectRefused();

    path = writeData("NOV.001", pad("X08122026", 124) + "0196" + kCrLf + "\x1a");
    choose(path, {BoxButton::Ok});
    EXPECT_EQ(log(), logHead(path) + lengthLine(131) + kPrefix +
                         "Konnte Vorlaufsatz nicht erkennen !Abbruch der Prüfung !\r\n"_ansi);
    EXPECT_EQ(c().text(Ctl::ODCTXT14), "X");
    expectRefused();

    path = writeData("SHORT.2K", "V;2000A;20261208" + kCrLf);
    choose(path, {BoxButton::Ok});
    EXPECT_EQ(
        log(),
        logHead(path) + lengthLine(18) + kPrefix +
            "Der Eintrag für die Satzfolge konnte nicht gelesen werden !Abbruch der Prüfung !\r\n"_ansi);
    expectRefused();
}

TEST_F(FileChoiceTest, UnknownVersionIsRefused) {
    // A 05/90 header with text at 100 to 128 but no "0196" is no version we know.
    const std::string path = writeData("UNK.001", pad(pad("V08122026", 99) + "X", 128) + kCrLf + "\x1a");
    choose(path, {BoxButton::Ok});
    EXPECT_EQ(box_.shown.back().text, "Die ELDANORM-Version ???? kann nicht geprüft werden !");
    EXPECT_EQ(c().text(Ctl::ODCTXT3), "????");
    EXPECT_EQ(c().text(Ctl::ODCTXT4), "");
    EXPECT_EQ(c().text(Ctl::ODCTXT18), ""); // not counted: no "Fehler" in it
    expectRefused();
}

TEST_F(FileChoiceTest, LengthNotAMultipleOf130AsksWhetherToGoOn) {
    const std::string bytes = header0590() + kCrLf + record('K') + kCrLf + "AB\r\n\x1a";
    const std::string question =
        "Die Dateilänge / Satzzahl ist fehlerhaft  !\r\nAbbruch der Prüfung !\r\n\r\n"
        "Soll die Prüfung dennoch fortgesetzt werden ?";
    std::string path = writeData("LEN.590", bytes);
    choose(path, {BoxButton::Ok, BoxButton::No});
    EXPECT_EQ(box_.shown.back().kind, BoxKind::YesNo);
    EXPECT_EQ(box_.shown.back().caption, "Gravierender Fehler");
    EXPECT_EQ(box_.shown.back().text, question);
    EXPECT_EQ(log(), logHead(path) + lengthLine(265) + kPrefix +
                         "Die Dateilänge / Satzzahl ist fehlerhaft  !Abbruch der Prüfung !\r\n"_ansi);
    EXPECT_EQ(c().text(Ctl::ODCTXT17), "2");
    expectRefused();

    box_.shown.clear();
    choose(path, {BoxButton::Ok, BoxButton::Yes, BoxButton::Ok, BoxButton::Ok});
    EXPECT_EQ(box_.shown.back().caption, "Hinweis");
    expectRecognised();

    // The same question for 01/96.
    path = writeData("LEN.196", header0196() + kCrLf + "X\r\n");
    box_.shown.clear();
    choose(path, {BoxButton::Ok, BoxButton::Ok, BoxButton::No});
    EXPECT_EQ(box_.shown.back().text, question);
    expectRefused();
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

TEST_F(FileChoiceTest, LogOrDataFileThatCannotBeOpenedStopsTheChoice) {
    settings().installPath = dir_.folder() + "missing/";
    choose(writeData("A.001", header0196() + kCrLf), {BoxButton::Ok});
    const std::string why = dir_.folder() + "missing/Error.log: Die angegebene Datei wurde nicht gefunden";
    EXPECT_EQ(box_.shown.back().text, "Error-Log-Datei konnte nicht errzeugt werden !\r\n" + why);
    EXPECT_EQ(c().text(Ctl::ODCTXT10),
              "Datei abgewiesen: Error-Log-Datei konnte nicht errzeugt werden ! " + why);
    EXPECT_EQ(wnd_.run.source.handle(), 0);
    EXPECT_TRUE(c().enabled(Ctl::OCCPSHDATEI));

    settings().installPath = dir_.folder() + "user/";
    const std::string missing = dir_.folder() + "source/GONE.001";
    box_.shown.clear();
    choose(missing, {BoxButton::Ok}); // the file error box
    EXPECT_EQ(box_.shown[1].kind, BoxKind::Error);
    EXPECT_EQ(log(), logHead(missing) + kPrefix + "Die Datei" + missing +
                         "konnte nicht geöffnet werden !Abbruch der Prüfung !\r\n"_ansi);
    expectRefused();
}

// A file the user may not write (here: immutable, which binds root too) is still checked.
TEST_F(FileChoiceTest, WriteProtectedFileIsCheckedReadOnly) {
    const std::string path = writeData("RO.001", header0196() + kCrLf + record('K') + kCrLf + "\x1a");
    if (std::system(("chattr +i '" + path + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "chattr +i is not available on this file system";
    struct Unlock {
        std::string p;
        ~Unlock() { [[maybe_unused]] int rc = std::system(("chattr -i '" + p + "'").c_str()); }
    } unlock{path};
    choose(path, {BoxButton::Ok});
    expectRecognised();
    EXPECT_EQ(c().text(Ctl::ODCTXT3), "0196");
    EXPECT_NE(wnd_.run.source.handle(), 0);
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

TEST_F(FileChoiceTest, NewChoiceStartsAFreshLogWithOffsetsOfTheNewFile) {
    const std::string first = writeData("ONE.001", header0196() + kCrLf + "\x1a");
    choose(first, {BoxButton::Ok});
    wnd_.run.NZEIGER_ = 5000; // where a step on the first file left it
    wnd_.run.NPOSITION_ = 7;
    const std::string second = writeData("TWO.001", header0196() + kCrLf + "\x1a");
    choose(second, {BoxButton::Ok});
    const std::string text = log();
    EXPECT_EQ(text.substr(0, logHead(second).size()), logHead(second));
    EXPECT_NE(text.find(lengthLine(131)), std::string::npos);
    EXPECT_EQ(text.find("5000"), std::string::npos);
}

// ---- Per-version update ----

TEST_F(FileChoiceTest, WrongRecordLengthIsLoggedAndStopsTheRun) {
    choose(writeData("A.001", header0196() + kCrLf + "\x1a"), {BoxButton::Ok});
    wnd_.applyOption(Ctl::ODCCHK3, false);
    appState().stopRequest = false;
    FakeRecordViewers viewers;
    ServicesScope installed(Services{.viewers = &viewers});
    wnd_.controls.setListRows({{"a", "b", "c", "d", "e", "f", "g"}});
    wnd_.UPDATE0196(pad("A1", 127));
    EXPECT_TRUE(appState().stopRequest);
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

TEST(Splitting, String2Array2CutsTrailingBlanksOnly) {
    EXPECT_EQ(STRING2ARRAY2("a; b ;;c  ", ";"), (std::vector<std::string>{"a", " b ", "", "c"}));
    EXPECT_EQ(STRING2ARRAY2("a;", ";"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(STRING2ARRAY2("", ";"), (std::vector<std::string>{""}));
    EXPECT_EQ(STRING2ARRAY2("a||b", "||"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(PFADNAME("/data/in/ELDANORM.001"), "/data/in/");
    EXPECT_EQ(PFADNAME("ELDANORM.001"), "");
}

// An empty file has no end and no header to judge: it is refused for being empty.
TEST_F(FileChoiceTest, AnEmptyFileIsRefusedAsEmpty) {
    const std::string path = writeData("EMPTY.001", "");
    choose(path, {BoxButton::Ok});
    EXPECT_EQ(log(), logHead(path) + lengthLine(0) + kPrefix +
                         "Die Datei ist leer (0 Byte), sie enthält keinen Vorlaufsatz !"
                         "Abbruch der Prüfung !\r\n"_ansi);
    expectRefused();
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

// The one-character separator is searched many bytes at a time: any byte may be the
// separator (also one with the top bit set), anywhere in the record.
TEST(String2Array2, OneCharacterSeparatorsSplitLikeThePlainLoop) {
    const auto reference = [](std::string_view text, char sep) {
        const std::size_t end = text.find_last_not_of(' ');
        const std::string_view cut =
            end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
        std::vector<std::string> out;
        std::size_t from = 0;
        for (std::size_t at = 0; at < cut.size(); ++at)
            if (cut[at] == sep) {
                out.emplace_back(cut.substr(from, at - from));
                from = at + 1;
            }
        out.emplace_back(cut.substr(from));
        return out;
    };
    std::uint64_t state = 1;
    const auto next = [&state] {
        return (state = state * 6364136223846793005ULL + 1442695040888963407ULL) >> 33;
    };
    for (const char sep : {';', '|', '\t', '\x80', '\xB7', '\xFF', ' '}) {
        const std::string alphabet = std::string("ab ;|\t\x7F\x80\xB6\xB7\xB8\xFE\xFF") + '\0';
        for (int i = 0; i < 3000; ++i) {
            std::string text(next() % 150, 'x');
            for (char& c : text)
                c = alphabet[next() % alphabet.size()];
            std::vector<std::string_view> views;
            STRING2ARRAY2(text, std::string_view(&sep, 1), views);
            const std::vector<std::string> want = reference(text, sep);
            ASSERT_EQ(std::vector<std::string>(views.begin(), views.end()), want)
                << static_cast<int>(sep) << " " << i;
        }
    }
}

} // namespace
