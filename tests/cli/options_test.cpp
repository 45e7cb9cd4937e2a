// The parts of the command-line checker around the engine: options, where the check
// parameters come from, log names, the answering message box and the run's questions,
// the tally read from a log and the German summary.
#include "cli/AnswerBox.h"
#include "cli/Checker.h"
#include "cli/LogTally.h"
#include "cli/Options.h"
#include "cli/Summary.h"
#include "core/Text.h"
#include "platform/Registry.h"
#include "run/CheckRun.h"
#include "settings/Registry.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/GtestFakes.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace arti;
using namespace arti::cli;
using namespace arti::literals;

namespace {

CheckOptions parsed(std::vector<std::string> args) {
    CheckOptions o;
    std::string error;
    EXPECT_TRUE(parseOptions(args, o, error)) << error;
    return o;
}

std::string refused(std::vector<std::string> args) {
    CheckOptions o;
    std::string error;
    EXPECT_FALSE(parseOptions(args, o, error));
    return error;
}

Date date(int y, unsigned m, unsigned d) {
    return Date{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
}

} // namespace

TEST(Options, GermanAndEnglishNamesValuesAndFiles) {
    const CheckOptions o = parsed({"--protokoll-ordner",
                                   "logs",
                                   "--waehrung=CHF",
                                   "--land",
                                   "AT",
                                   "--datum-von",
                                   "01.02.2024",
                                   "--date-to=31.12.2024",
                                   "--bei-laengenfehler-weiter",
                                   "nein",
                                   "--delete-old-texts=no",
                                   "--textspeicher-neu",
                                   "ja",
                                   "--datum-anpassen",
                                   "ja",
                                   "--adopt-currency",
                                   "yes",
                                   "--ohne-feldpruefung",
                                   "--no-character-check",
                                   "-q",
                                   "a.001",
                                   "b.001"});
    EXPECT_EQ(o.logFolder, "logs");
    EXPECT_EQ(o.currency, "CHF");
    EXPECT_EQ(o.country, "AT");
    EXPECT_EQ(o.dateFrom, date(2024, 2, 1));
    EXPECT_EQ(o.dateTo, date(2024, 12, 31));
    EXPECT_FALSE(o.answers.continueAfterLengthFault);
    EXPECT_FALSE(o.answers.deleteOldTexts);
    EXPECT_TRUE(o.answers.remakeTextStore);
    EXPECT_TRUE(o.answers.widenDateWindow);
    EXPECT_TRUE(o.answers.adoptCurrency);
    EXPECT_FALSE(o.fieldChecks);
    EXPECT_TRUE(o.asciiCheckOff);
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.001", "b.001"}));
}

TEST(Options, DefaultsAnswerAsTheTableSays) {
    const CheckOptions o = parsed({"x"});
    EXPECT_TRUE(o.answers.continueAfterLengthFault);
    EXPECT_TRUE(o.answers.deleteOldTexts);
    EXPECT_FALSE(o.answers.remakeTextStore) << "the user's texts are not thrown away unasked";
    EXPECT_FALSE(o.answers.widenDateWindow);
    EXPECT_FALSE(o.answers.adoptCurrency);
    EXPECT_TRUE(o.fieldChecks);
    EXPECT_TRUE(o.progress);
    EXPECT_EQ(parsed({"--", "-datei-"}).files, std::vector<std::string>{"-datei-"});
}

TEST(Options, RefusesWhatItCannotUse) {
    EXPECT_EQ(refused({}), "Keine Datei angegeben");
    EXPECT_EQ(refused({"--gibtsnicht", "a"}), "Unbekannte Option --gibtsnicht");
    EXPECT_EQ(refused({"a", "--waehrung"}), "Die Option --waehrung braucht einen Wert");
    EXPECT_NE(refused({"--datum-von", "32.13.2024", "a"}).find("Ungültiger Wert"), std::string::npos);
    EXPECT_NE(refused({"--datum-anpassen", "vielleicht", "a"}).find("Ungültiger Wert"), std::string::npos);
    EXPECT_NE(refused({"--waehrung", "EURO", "a"}).find("Ungültiger Wert"), std::string::npos);
    EXPECT_NE(refused({"--datum-von", "02.01.2024", "--datum-bis", "01.01.2024", "a"}), "");
    EXPECT_TRUE(parsed({"--hilfe"}).help) << "help needs no file";
    EXPECT_NE(helpText().find("Rückgabewert"), std::string::npos);
}

class Parameters : public test::ServicesFixture {
protected:
    test::RegistrySandbox registry_;
};

TEST_F(Parameters, DefaultsWithoutAStore) {
    const CheckParameters p = resolveParameters(parsed({"a"}));
    EXPECT_EQ(p.currency, "EUR");
    EXPECT_EQ(p.country, "DE");
    EXPECT_EQ(p.decimals, 2);
    EXPECT_EQ(p.dateFrom, date(2026, 11, 8)) << "today (08.12.2026) - 30 days";
    EXPECT_EQ(p.dateTo, date(2027, 1, 7));
}

TEST_F(Parameters, TheStoreBeforeTheDefaultsTheOptionsBeforeTheStore) {
    const std::string key = defaultKey();
    using platform::RegHive;
    ASSERT_TRUE(test::RegistrySandbox::put(RegHive::LocalMachine, key, "Waehrung", "CHF"));
    ASSERT_TRUE(test::RegistrySandbox::put(RegHive::LocalMachine, key, "LCode", "CH"));
    ASSERT_TRUE(test::RegistrySandbox::put(RegHive::CurrentUser, key, "LCode", "AT"));
    ASSERT_TRUE(test::RegistrySandbox::put(RegHive::CurrentUser, key, "UDatum", "01.01.2020"));
    ASSERT_TRUE(test::RegistrySandbox::put(RegHive::CurrentUser, key, "ODatum", "31.12.2030"));
    CheckParameters p = resolveParameters(parsed({"a"}));
    EXPECT_EQ(p.currency, "CHF") << "the machine's value where the user has none";
    EXPECT_EQ(p.country, "AT");
    EXPECT_EQ(p.dateFrom, date(2020, 1, 1));
    EXPECT_EQ(p.dateTo, date(2030, 12, 31));
    p = resolveParameters(parsed({"--waehrung", "EUR", "--datum-bis", "01.06.2031", "a"}));
    EXPECT_EQ(p.currency, "EUR");
    EXPECT_EQ(p.dateFrom, date(2020, 1, 1));
    EXPECT_EQ(p.dateTo, date(2031, 6, 1));
    EXPECT_TRUE(box_.shown.empty()) << "reading the store shows no boxes";
}

TEST(LogNames, OneFileOneErrorLogSeveralNamedAfterTheFiles) {
    std::vector<std::string> taken;
    EXPECT_EQ(logName("/a/ARTIKEL.001", 1, taken), "Error.log");
    taken.clear();
    EXPECT_EQ(logName("/a/ARTIKEL.001", 3, taken), "ARTIKEL.001.Error.log");
    EXPECT_EQ(logName("/b/ARTIKEL.001", 3, taken), "ARTIKEL.001.2.Error.log");
    EXPECT_EQ(logName("/c/ARTIKEL.001", 3, taken), "ARTIKEL.001.3.Error.log");
}

// Each question of the run gets the answer its option gives, and is noted (and echoed
// on request) as the Yes/No box the window would show; other boxes are answered by
// their kind: a pop-up during a run goes on, any other question gets the cautious No.
TEST(AnswerBox, QuestionsOfTheRunByTheOptionsOtherBoxesByTheirKind) {
    using Ask = bool (IRunQuestions::*)(const RunQuestion&);
    const struct {
        Ask ask;
        bool Answers::*option;
    } questions[] = {
        {&IRunQuestions::continueAfterLengthFault, &Answers::continueAfterLengthFault},
        {&IRunQuestions::deleteEarlierTexts, &Answers::deleteOldTexts},
        {&IRunQuestions::remakeTextStore, &Answers::remakeTextStore},
        {&IRunQuestions::widenDateWindow, &Answers::widenDateWindow},
        {&IRunQuestions::adoptCurrency, &Answers::adoptCurrency},
    };
    for (const auto& q : questions) {
        for (const bool yes : {true, false}) {
            Answers a{false, false, false, false, false};
            a.*q.option = yes;
            std::ostringstream echo;
            AnsweringMessageBox box(&echo);
            OptionAnswers answers(a, box);
            EXPECT_EQ((answers.*q.ask)(RunQuestion{"Gravierender Fehler", "Die Dateilänge\r\nSoll ?"_ansi}),
                      yes);
            ASSERT_EQ(box.count(), 1u);
            EXPECT_EQ(box.shown()[0].kind, BoxKind::YesNo);
            EXPECT_EQ(box.shown()[0].answer, yes ? BoxButton::Yes : BoxButton::No);
            EXPECT_EQ(echo.str(), std::string("[Gravierender Fehler] Die Dateilänge | Soll ?  -> ") +
                                      (yes ? "Ja" : "Nein") + "\n");
        }
    }
    const std::pair<BoxKind, BoxButton> boxes[] = {{BoxKind::OkCancel, BoxButton::Cancel},
                                                   {BoxKind::YesNo, BoxButton::No},
                                                   {BoxKind::Question, BoxButton::Ok},
                                                   {BoxKind::Error, BoxButton::Ok},
                                                   {BoxKind::Info, BoxButton::Ok}};
    AnsweringMessageBox box;
    for (const auto& [kind, answer] : boxes)
        EXPECT_EQ(box.show(nullptr, kind, "Frage", "Soll ?"), answer);
    EXPECT_EQ(box.count(), 5u);
    box.clear();
    EXPECT_EQ(box.count(), 0u);
}

// The findings of a check as the run's file findings hand them over: those of the file
// choice and the run count, up to and with the run's closing line at the end of the
// file; a step between the choice and the run, and the header read again behind the
// closing line do not, nor are they handed on. Whether a finding is an error is its
// kind's say, whatever its text holds.
TEST(Tally, CountsUpToTheRunsClosingLine) {
    struct Line {
        std::optional<unsigned long> record;
        long long offset;
        std::string text;
        MessageKind kind; // decides whether it is an error, whatever the text says
        void (FileFindings::*before)();
    };
    const auto none = static_cast<void (FileFindings::*)()>(nullptr);
    const std::vector<Line> lines = {
        {std::nullopt, 0, "Datei-Länge     1.301 Byte\r\n"_ansi, MessageKind::FileLength,
         &FileFindings::fileChosen},
        {std::nullopt, 0, "Schönheitsfehler ! Datei-ENDE-Marke 1A nicht erkannt !"_ansi,
         MessageKind::EndMarkMissing, none},
        {1, 0, "V01012023 Fehlerfrei GmbH", MessageKind::HeaderCopy, none},
        {3, 260, "Satz 3, Feld 3 leer (Schritt)", MessageKind::MandatoryEmpty, &FileFindings::choiceDone},
        {7, 780, "Satz 7, Feld 3 leer", MessageKind::MandatoryEmpty, &FileFindings::runStarts},
        {10, 1300, "10:15:01 Uhr, das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi,
         MessageKind::RunEnded, none},
        {1, 0, "Fehler im Vorlaufsatz", MessageKind::MandatoryEmpty, &FileFindings::runEnded}};
    CheckRun run;
    run.log.subscribe(&run.findings);
    FindingTally tally;
    struct Counter final : IFindingObserver {
        void finding(const Finding&) override { ++n; }
        int n = 0;
    } counter;
    tally.forwardTo(&counter);
    run.findings.forwardTo(&tally);
    for (const Line& l : lines) {
        if (l.before) (run.findings.*l.before)();
        run.log.log(Finding{l.record, l.offset, 0, l.text, l.kind, {}, kNoField, false});
    }
    run.log.unsubscribe(&run.findings);
    const LogTally& t = tally.result();
    EXPECT_EQ(run.findings.count(), 5u);
    EXPECT_EQ(run.findings.errors(), 2u);
    EXPECT_EQ(counter.n, 5);
    EXPECT_EQ(t.reachedRecord, 10u);
    EXPECT_EQ(t.reachedOffset, 1300u);
    EXPECT_EQ(logLineMessage(t.lastMessage).substr(0, 14), "10:15:01 Uhr, ");
}

// A message as its log line shows it: without its CR LF pairs, and up to a line feed
// of its own, where a record copied into the log breaks the line.
TEST(Tally, LogLineMessages) {
    const std::pair<const char*, const char*> cases[] = {
        {"Text, mit Komma", "Text, mit Komma"},
        {"a\r\nb\r\n", "ab"},
        {"V0101 Daten\n2. Zeile", "V0101 Daten"},
        {"V0101 Daten\r\r\n2. Zeile", "V0101 Daten\r2. Zeile"},
        {"x\r\ny\rz\nw", "xy\rz"},
        {"", ""},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(logLineMessage(text), shown) << text;
}

TEST(Summary, GermanNumbersAndResults) {
    EXPECT_EQ(germanCount(0), "0");
    EXPECT_EQ(germanCount(1000000), "1.000.000");
    EXPECT_EQ(germanCount(999), "999");
    EXPECT_EQ(germanDecimal(302.46), "302,5");
    EXPECT_EQ(germanDecimal(1234.5, 2), "1.234,50");

    FileResult r;
    r.file = "ARTIKEL.001";
    r.outcome = Outcome::Complete;
    r.version = Version::V0590;
    r.records = 1000000;
    r.messages = 4;
    r.errors = 1;
    r.seconds = 0.5;
    r.bytes = 130000001;
    r.logPath = "/p/Error.log";
    EXPECT_EQ(fileSummary(r), "ARTIKEL.001\n"
                              "  Version           05/90\n"
                              "  Sätze gelesen     1.000.000\n"
                              "  Meldungen         4\n"
                              "  davon Fehler      1\n"
                              "  Dauer             0,50 s\n"
                              "  Durchsatz         260,0 MB/s (130,0 MB)\n"
                              "  Protokoll         /p/Error.log\n"
                              "  Ergebnis          Fehler gefunden\n");
    EXPECT_EQ(r.exitCode(), 1);
    r.errors = 0;
    EXPECT_EQ(shortSummary(r), "ARTIKEL.001: in Ordnung (1.000.000 Sätze, 0 Fehler)\n");
    EXPECT_EQ(r.exitCode(), 0);
    r.outcome = Outcome::Aborted;
    r.reason = "die Satzart X ist nicht enthalten !";
    EXPECT_EQ(resultText(r), "Prüfung abgebrochen: die Satzart X ist nicht enthalten !");
    EXPECT_EQ(r.exitCode(), 1) << "a run ended early at a fault of the file is never a pass";
    for (Outcome o : {Outcome::NotRecognised, Outcome::IoError, Outcome::Interrupted, Outcome::Missing}) {
        r.outcome = o;
        EXPECT_EQ(r.exitCode(), 2);
    }
    std::vector<FileResult> all(3, r);
    all[0].outcome = Outcome::Complete;
    all[1].outcome = Outcome::Aborted;
    EXPECT_EQ(totalSummary(all), "Gesamt: 3 Dateien, 1 in Ordnung, 1 mit Fehlern, 1 nicht geprüft\n");
}

// The summary's groups: the largest ones up to the limit, each line cut to the width with
// "…", then how many groups and findings are not shown.
TEST(Summary, TheLargestGroupsAndWhatIsLeft) {
    FileResult r;
    r.file = "ARTIKEL.001";
    r.outcome = Outcome::Complete;
    r.version = Version::V0196;
    for (const std::uint64_t count : {1200, 7, 3, 2, 2, 1, 1}) {
        FindingGroup g;
        g.kind = MessageKind::DateOutsideWindow;
        g.recordType = "B";
        g.field = 23;
        g.count = count;
        g.example = "Fehler in Feld 23, das Datum liegt nicht im g\xFCltigen Bereich.";
        r.groups.push_back(g);
    }
    const std::string whole = "    1.200 × Satzart B, Feld 23: Fehler in Feld 23, das Datum liegt nicht im "
                              "gültigen Bereich.";
    struct Case {
        std::size_t most;
        std::size_t width;
        std::string first; // the largest group's line
        std::size_t shown;
        std::string rest; // the closing line, or "" for none
    };
    const Case cases[] = {
        {5, 50, "    1.200 × Satzart B, Feld 23: Fehler in Feld 23…", 5,
         "    … und 2 weitere Gruppen mit 2 Meldungen (alle: --alle-gruppen)\n"},
        {6, 200, whole, 6, "    … und 1 weitere Gruppe mit 1 Meldung (alle: --alle-gruppen)\n"},
        {7, 200, whole, 7, ""},
    };
    for (const Case& c : cases) {
        const std::string text = fileSummary(r, GroupView{c.most, c.width});
        std::size_t shown = 0;
        std::string first;
        for (const std::string& line : splitLines(text, "\n")) {
            if (line.find(" × ") == std::string::npos) continue;
            if (shown++ == 0) first = line;
        }
        EXPECT_EQ(first, c.first) << text;
        EXPECT_EQ(shown, c.shown) << text;
        EXPECT_EQ(text.find("… und") != std::string::npos, !c.rest.empty()) << text;
        if (!c.rest.empty()) {
            EXPECT_NE(text.find(c.rest), std::string::npos) << text;
        }
    }
}
