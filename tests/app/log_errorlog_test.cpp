// The error log, the findings list and the shell start of the main check window.
#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "records/FileAccess.h"
#include "run/CheckFunctions.h"
#include "settings/Settings.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/FakeViewers.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using namespace arti;
using namespace arti::literals;
using namespace arti::test;

namespace {

class ErrorLogTest : public MainWindowFixture {
protected:
    ErrorLogTest() {
        settings().installPath = dir_.folder();
        wnd_.handSettings();
        wnd_.engine.useLog(FCREATE(logPath()));
    }
    ~ErrorLogTest() override {
        wnd_.engine.closeFiles();
        wnd_.run.stopRequest = false;
    }
    std::string logPath() const { return dir_.folder() + "Error.log"; }
    std::string onDisk() const { return readBytes(logPath()); }
    const ControlMirror& c() const { return wnd_.controls; }
};

TEST_F(ErrorLogTest, FindingLineCarriesCounterAndOffsetsAndLosesItsLineBreaks) {
    wnd_.engine.showCounter(17);
    wnd_.run.NZEIGER_ = 2210;
    wnd_.run.NPOSITION_ = 45;
    wnd_.ERRORLOG(MessageKind::FileLength, "Feld Preis\r\nist fehlerhaft\r\n");
    wnd_.engine.logEmptyLine();
    wnd_.engine.showCounter(std::nullopt);
    wnd_.run.NZEIGER_ = 0;
    wnd_.run.NPOSITION_ = 0;
    wnd_.ERRORLOG(MessageKind::FileLength, "Ende");
    // Outside a run every line is on disk at once.
    EXPECT_EQ(onDisk(), "Z 17 Datei-Offset 2210, Satz-Offset 45, Feld Preisist fehlerhaft\r\n\r\n"
                        "Z  Datei-Offset 0, Satz-Offset 0, Ende\r\n");
}

// What counts as an error is the finding's kind, never its text: a copied record that
// spells "Fehler" does not count; a field finding and a broken article switch do,
// whether their texts hold the word or not.
TEST_F(ErrorLogTest, TheKindDecidesWhatCountsAsAnError) {
    const std::pair<MessageKind, std::string> findings[] = {
        {MessageKind::EndMarkMissing, "Schönheitsfehler ! Datei-ENDE-Marke 1A nicht erkannt !"_ansi},
        {MessageKind::FileEndReached, "das Datei-Ende wurde erreicht."},
        {MessageKind::HeaderCopy, "V FEHLERHAFT GMBH"},
        {MessageKind::ArticleSwitchMismatch,
         "Der Schalter Artikelnummer in Satzart B (1 GTIN Fehler1) verweist"},
        {MessageKind::MandatoryEmpty, "Satz 3, Feld 2 ohne Inhalt"}};
    for (const auto& [kind, text] : findings)
        wnd_.ERRORLOG(kind, text);
    EXPECT_EQ(c().text(Ctl::ODCTXT18), "3");
    EXPECT_FALSE(wnd_.run.stopRequest);
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(ErrorLogTest, AZeroByteIsShownAsTheNulReplacement) {
    wnd_.run.CCHR0_.assign(1, '\xFA');
    wnd_.applyOption(Ctl::ODCCHK3, true);
    box_.expect(BoxButton::Cancel);
    wnd_.ERRORLOG(MessageKind::RecordTypeUnknown,
                  std::string("Die Satzart > ") + '\0' + " <  ist nicht zulässig !"_ansi);
    wnd_.engine.flushLog();
    const std::string text = onDisk();
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_NE(text.find("Die Satzart > \xB7 <"), std::string::npos);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text.find('\0'), std::string::npos);
}

TEST_F(ErrorLogTest, PopUpAnswersDecideAboutTheStop) {
    wnd_.applyOption(Ctl::ODCCHK3, true);
    wnd_.run.NZEIGER_ = 130;
    box_.expect(BoxButton::Ok);
    wnd_.ERRORLOG(MessageKind::FileLength, "Zeile 1\r\nZeile 2");
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].kind, BoxKind::Question); // OK alone outside a run
    EXPECT_EQ(box_.shown[0].caption, "Z  Datei-Offset 130, Satz-Offset 0");
    EXPECT_EQ(box_.shown[0].text, "Zeile 1\r\nZeile 2");
    EXPECT_TRUE(wnd_.run.stopRequest);

    // During a run: Cancel lets it go on, OK stops it.
    wnd_.run.stopRequest = false;
    wnd_.run.LTURN_ = true;
    box_.expect(BoxButton::Cancel).expect(BoxButton::Ok);
    wnd_.ERRORLOG(MessageKind::FileLength, "eins");
    EXPECT_EQ(box_.shown[1].kind, BoxKind::OkCancel);
    EXPECT_FALSE(wnd_.run.stopRequest);
    wnd_.ERRORLOG(MessageKind::FileLength, "zwei");
    EXPECT_TRUE(wnd_.run.stopRequest);
    // Whatever the answer, the line is logged.
    wnd_.engine.flushLog();
    EXPECT_EQ(onDisk(), "Z  Datei-Offset 130, Satz-Offset 0, Zeile 1Zeile 2\r\n"
                        "Z  Datei-Offset 130, Satz-Offset 0, eins\r\n"
                        "Z  Datei-Offset 130, Satz-Offset 0, zwei\r\n");
}

TEST_F(ErrorLogTest, RunWritesThroughTheBufferAndLosesNothing) {
    wnd_.run.LTURN_ = true;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        wnd_.run.NZEIGER_ = i * 130LL;
        const std::string text = "Befund " + std::to_string(i);
        wnd_.ERRORLOG(MessageKind::FileLength, text);
        expected += "Z  Datei-Offset " + std::to_string(i * 130) + ", Satz-Offset 0, " + text + "\r\n";
        if (i == 0) {
            EXPECT_EQ(onDisk(), ""); // buffered
        }
    }
    // A large buffer is written in the middle of the run, in few pieces.
    const std::size_t written = onDisk().size();
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, expected.size());
    EXPECT_EQ(onDisk(), expected.substr(0, written));

    wnd_.engine.flushLog();
    EXPECT_EQ(onDisk(), expected);
    wnd_.ERRORLOG(MessageKind::FileLength, "nach dem Schließen noch im Puffer"_ansi);
    wnd_.engine.closeFiles();
    EXPECT_EQ(onDisk(),
              expected + "Z  Datei-Offset 389870, Satz-Offset 0, nach dem Schließen noch im Puffer\r\n"_ansi);
}

TEST_F(ErrorLogTest, WithoutAnOpenLogFindingsAreStillCountedAndShown) {
    wnd_.engine.closeFiles();
    wnd_.applyOption(Ctl::ODCCHK3, true);
    box_.expect(BoxButton::Ok);
    wnd_.ERRORLOG(MessageKind::MandatoryEmpty, "Fehler ohne Protokoll");
    wnd_.engine.flushLog();
    EXPECT_EQ(c().text(Ctl::ODCTXT18), "1");
    EXPECT_EQ(box_.shown.size(), 1u);
}

TEST_F(ErrorLogTest, LogThatCannotBeWrittenStopsTheRunWithoutCrashing) {
    wnd_.run.LTURN_ = true;
    {
        const FileSizeLimit limit(4096);
        // Without pop-ups only the writer's own error box appears, at the first large write.
        box_.expect(BoxButton::Ok);
        for (int i = 0; i < 3000 && box_.shown.empty(); ++i)
            wnd_.ERRORLOG(MessageKind::FileLength, "Befund " + std::to_string(i));
        ASSERT_EQ(box_.shown.size(), 1u);
        EXPECT_EQ(box_.shown[0].kind, BoxKind::Error);
        EXPECT_TRUE(wnd_.run.stopRequest);

        // With pop-ups on, a failing write at the end of the run also shows the log's box.
        wnd_.run.stopRequest = false;
        wnd_.applyOption(Ctl::ODCCHK3, true);
        box_.expect(BoxButton::Cancel).expect(BoxButton::Ok).expect(BoxButton::Ok);
        wnd_.ERRORLOG(MessageKind::FileLength, "Stop");
        wnd_.engine.flushLog();
        ASSERT_EQ(box_.shown.size(), 4u);
        EXPECT_EQ(box_.shown[2].kind, BoxKind::Error);
        EXPECT_EQ(box_.shown[3].caption, "Fehler");
        EXPECT_EQ(box_.shown[3].text,
                  "Eintrag in Error-Log-Datei konnte nicht geschrieben werden !\r\nAbbruch der Prüfung !");
        EXPECT_TRUE(wnd_.run.stopRequest);
        // Nothing is left to repeat the failure at close.
        wnd_.engine.flushLog();
        EXPECT_EQ(box_.shown.size(), 4u);
    }
    EXPECT_LE(onDisk().size(), 4096u);
}

// ---- Findings list ----

TEST_F(ErrorLogTest, ListViewHasTheSevenColumns) {
    wnd_.CREATELISTVIEW();
    ASSERT_EQ(view_.columns.size(), 7u);
    std::string captions;
    for (const ListColumn& col : view_.columns)
        captions += ansiToUtf8(col.caption) + "/" + std::to_string(col.widthChars) + " ";
    EXPECT_EQ(captions, "Inhalt/20 FeldName/15 Länge/4 Typ/3 M/K/3 ab Pos/5 Lfd.Nr/5 ");
    EXPECT_EQ(view_.columns[0].align, ListColumn::Align::Left);
    EXPECT_EQ(view_.columns[2].align, ListColumn::Align::Right);
    EXPECT_EQ(view_.columns[3].align, ListColumn::Align::Centre);
    EXPECT_EQ(view_.columns[6].align, ListColumn::Align::Right);
}

TEST_F(ErrorLogTest, FillingTheListReplacesItsRowsAndKeepsSevenValues) {
    wnd_.FILLLISTVIEW({{"4711", "ArtNr", "15", "A", "M", "3", "1", "extra", "more"}, {"kurz", "Name"}});
    const std::vector<ListRow> expected{{"4711", "ArtNr", "15", "A", "M", "3", "1"},
                                        {"kurz", "Name", "", "", "", "", ""}};
    EXPECT_EQ(view_.shownRows, expected);
    wnd_.FILLLISTVIEW({});
    EXPECT_EQ(view_.shownRows, expected); // an empty list leaves the view as it is
    wnd_.FILLLISTVIEW({{"1", "2", "3", "4", "5", "6", "7"}});
    EXPECT_EQ(c().listRows().size(), 1u);
}

struct Editor final : IChildWindow {
    void end() override { ended = true; }
    bool ended = false;
};

TEST_F(ErrorLogTest, DoubleClickOpensTheFieldEditorOnceAndRefreshesIt) {
    Editor editor;
    FakeRecordViewers viewers;
    viewers.editor = &editor;
    wnd_.run.CCHR0_ = std::string(1, static_cast<char>(250));
    wnd_.engine.showRecordType("A");

    wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK(); // empty list: nothing
    wnd_.FILLLISTVIEW({{"4711", "ArtNr", "15", "A", "M", "3", "1"}});
    view_.selected = 0;
    // Without the viewer's windows the click says so instead of doing nothing.
    box_.expect(BoxButton::Ok);
    wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK();
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text,
              "Die Feld-Anzeige steht in dieser Programmversion noch nicht zur Verfügung.");

    ServicesScope installed(Services{.viewers = &viewers});
    view_.selected.reset();
    box_.expect(BoxButton::Ok);
    wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK(); // no row selected
    ASSERT_EQ(box_.shown.size(), 2u);
    EXPECT_EQ(box_.shown[1].caption, "Hinweis");
    EXPECT_EQ(box_.shown[1].text, "Warum klicken Sie in ein leeres Feld ?");

    view_.selected = 0;
    wnd_.run.LTURN_ = true;
    wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK(); // during a run: nothing
    EXPECT_TRUE(viewers.calls.empty());
    wnd_.run.LTURN_ = false;
    wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK();
    wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK();
    // The NUL replacement reaches the editor in the ANSI code page (byte 250 is the OEM middle dot).
    EXPECT_EQ(viewers.calls, (std::vector<std::string>{"open ArtNr A \xB7", "refresh ArtNr A"}));
    EXPECT_TRUE(wnd_.LFELD_);
    EXPECT_EQ(wnd_.OODFELD_, &editor);

    wnd_.FELDWNDCLOSE();
    EXPECT_TRUE(editor.ended);
    viewers.editor = nullptr; // set-up failed
    wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK();
    EXPECT_FALSE(wnd_.LFELD_);
}

// ---- Showing the log and shell errors ----

TEST_F(ErrorLogTest, ShowingTheLogWritesItFirstAndOpensIt) {
    wnd_.run.LTURN_ = true;
    wnd_.ERRORLOG(MessageKind::FileLength, "gepuffert");
    wnd_.run.LTURN_ = false;
    wnd_.controls.enable(Ctl::OCCPSHPROT);
    wnd_.PSHPROT();
    EXPECT_FALSE(c().enabled(Ctl::OCCPSHPROT));
    EXPECT_EQ(onDisk(), "Z  Datei-Offset 0, Satz-Offset 0, gepuffert\r\n");
    EXPECT_EQ(shell_.opened, (std::vector<std::string>{"open " + logPath()}));

    shell_.result = 2;
    box_.expect(BoxButton::Ok);
    wnd_.PSHPROT();
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text, "Dateiname: \r\n" + logPath() + "\r\nDatei wurde nicht gefunden.");

    // No log: nothing is opened.
    wnd_.engine.closeFiles();
    std::filesystem::remove(logPath());
    wnd_.PSHPROT();
    EXPECT_EQ(shell_.opened.size(), 2u);
}

// A log the system could not show (no program for .log files) may be asked for again.
TEST_F(ErrorLogTest, ShowingTheLogIsOfferedAgainAfterItFailed) {
    for (const auto& [result, offeredAgain] : {std::pair{42L, false}, {31L, true}, {2L, true}}) {
        shell_.result = result;
        if (offeredAgain) box_.expect(BoxButton::Ok);
        wnd_.controls.enable(Ctl::OCCPSHPROT);
        wnd_.PSHPROT();
        EXPECT_EQ(c().enabled(Ctl::OCCPSHPROT), offeredAgain) << result;
    }
}

TEST_F(ErrorLogTest, ShellErrorMessagesNameFileAndReason) {
    SHELLEXECUTEERRMESSAGE(nullptr, 33, "x.log");
    EXPECT_TRUE(box_.shown.empty());
    const std::vector<std::pair<long, std::string>> cases{
        {0, "Zuwenig Speicher, ausführbare Datei war zerstört, Relokationswerte waren ungültig."},
        {3, "Verzeichnis wurde nicht gefunden."},
        {26, "Eine Zugiffs-Schutzverletzung ist aufgetreten."},
        {31, "Keine Anwendung bezüglich der gegebenen Dateinamen-Erweiterung."},
        {32, "Nur Windows 95: Die spezifizierte Dynamic-Link Library wurde nicht gefunden."},
        {4, "Ein unbekannter Fehler ist aufgetreten. (Fehlercode:4)"},
        {-1, "Ein unbekannter Fehler ist aufgetreten. (Fehlercode:-1)"}};
    for (const auto& [code, text] : cases) {
        box_.expect(BoxButton::Ok);
        SHELLEXECUTEERRMESSAGE(nullptr, code, "C:\\x.log");
        EXPECT_EQ(box_.shown.back().kind, BoxKind::Error);
        EXPECT_EQ(box_.shown.back().caption, "Fehler bei Ausführung einer Datei");
        EXPECT_EQ(box_.shown.back().text, "Dateiname: \r\nC:\\x.log\r\n" + text);
    }
}

TEST_F(ErrorLogTest, ExplorerDefaultsToOpeningTheRootFolder) {
    EXPECT_EQ(wnd_.CALLEXPLORER(), 42);
    EXPECT_EQ(wnd_.CALLEXPLORER("https://example.org", ""), 42);
    EXPECT_EQ(shell_.opened, (std::vector<std::string>{"open /", "open https://example.org"}));
}

} // namespace
