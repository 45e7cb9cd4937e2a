// The engine's file choice on small files written by the tests, without the window:
// version recognition, what the log says of a file, the boxes the engine itself shows
// and the refusals, read from the model.
#include "records/DosError.h"
#include "records/FileHandles.h"
#include "run/CheckFunctions.h"
#include "tests/support/ChoiceFiles.h"
#include "tests/support/EngineCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace arti;
using namespace arti::literals;
using namespace arti::test;

namespace {

class EngineFileChoice : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) { return e_.write(name, bytes); }
    std::string logPath() const { return e_.dir.folder() + "Error.log"; }
    std::string log() {
        e_.engine.flushLog();
        return readBytes(logPath());
    }
    void choose(const std::string& path) {
        e_.services.box.shown.clear();
        e_.engine.chooseFile(path);
    }
    const std::vector<ShownBox>& boxes() const { return e_.services.box.shown; }
    CheckRun& run() { return e_.run; }
    void expectRefused(FileRefusal refusal) {
        EXPECT_FALSE(run().fileReady);
        EXPECT_EQ(run().outcome.fileRefusal, refusal);
    }

    EngineCheck e_;
};

TEST_F(EngineFileChoice, EachVersionIsRecognisedAndLoggedWithoutTouchingTheFile) {
    const std::string header = header0196();
    const std::string bytes = header + kCrLf + record('K') + kCrLf + "\x1a";
    const std::string path = write("ELDANORM.001", bytes);
    choose(path);
    EXPECT_EQ(log(), logHead(path) + lengthLine(261) + kPrefix + header + "\r\n\r\n");
    EXPECT_TRUE(run().fileReady);
    EXPECT_EQ(run().versionLabel, "0196");
    EXPECT_EQ(run().announcement, "AB");
    EXPECT_TRUE(run().LASCII_ && run().source.endsInMark() && run().texts.mayStore() && run().LVORLAUF_);
    EXPECT_EQ(run().source.headerEnd(), 131);
    EXPECT_EQ(FTELL(run().source.handle()), 130); // the record step goes on behind the header
    e_.engine.closeFiles();
    EXPECT_EQ(readBytes(path), bytes);

    // 05/90 says that it was recognised by a guess; its header copy is the 130-byte block
    // whose CR LF does not reach the log line.
    const std::string path0590 = write("ELDANORM.590", header0590() + kCrLf + record('K') + kCrLf + "\x1a");
    choose(path0590);
    EXPECT_EQ(boxes().back().caption, "Hinweis");
    EXPECT_EQ(boxes().back().text,
              "Vermutlich ist diese ELDANORM-Datei eine Version 05/90\r\nDer Vorlaufsatz "
              "enthält keine eindeutigen Merkmale.");
    EXPECT_EQ(log(), logHead(path0590) + lengthLine(261) + kPrefix + header0590() + "\r\n\r\n");
    EXPECT_EQ(run().versionLabel, "0590");
    EXPECT_EQ(run().source.headerEnd(), 131);
    EXPECT_TRUE(run().fileReady);

    // 2000 follows its header: separator, announcement, code page; no end mark is
    // expected of it, so there is no cosmetic finding.
    const std::string bytes2000 = kHeader2000 + kCrLf + "I;N;1234" + kCrLf;
    const std::string path2000 = write("ELDANORM.2K", bytes2000);
    choose(path2000);
    EXPECT_EQ(log(), logHead(path2000) + lengthLine(static_cast<long long>(bytes2000.size())) + kPrefix +
                         kHeader2000 + "\r\n\r\n");
    EXPECT_EQ(run().versionLabel, "2000A");
    EXPECT_EQ(run().separator, ";");
    EXPECT_EQ(run().announcement, "IH");
    EXPECT_EQ(run().AFELDER_.size(), 14u);
    EXPECT_FALSE(run().LASCII_);
    EXPECT_TRUE(run().fileReady);

    // The next file without "ANSI" is read with the OEM conversion again.
    choose(write("ELDANORM.OEM", "V#2000A#20261208#IH#Artikelstammdaten#Muster GmbH#4001234000008#"
                                 "Datenservice#4001234000015#Installateur#4007654000000#KD-1#W" +
                                     kCrLf));
    EXPECT_EQ(run().separator, "#");
    EXPECT_TRUE(run().LASCII_);
}

// Each refusal writes its finding into the log; the error count follows what counts as
// an error.
TEST_F(EngineFileChoice, RefusalsSayWhyInTheLog) {
    const std::string abort = "Abbruch der Prüfung !\r\n"_ansi;
    for (const std::string sep : {"3", "\x03"}) {
        const std::string path = write("BAD.2K", "V" + sep + "2000A" + sep + "20261208" + sep + "IH" + kCrLf);
        choose(path);
        const std::string code = sep == "3" ? "51" : "3";
        EXPECT_EQ(log(), logHead(path) + kPrefix + "Das 1.Feldtrennzeichen " + sep + " = ASC " + code +
                             " entspricht nicht der Norm !" + abort);
        EXPECT_EQ(run().position, std::nullopt); // refused before the length is shown
        expectRefused(FileRefusal::BadSeparator);
    }

    const struct {
        std::string bytes;
        std::string codes;
        bool cosmetic; // no end mark
    } ends[] = {{header0196() + "xy\x1a", "120121", false},
                {header0196() + kCrLf + "AB", "6566", true},
                {"A", "65", true},
                {"\x1a", "", false}};
    for (const auto& k : ends) {
        const std::string path = write("END.001", k.bytes);
        choose(path);
        std::string expected = logHead(path) + lengthLine(static_cast<long long>(k.bytes.size()));
        if (k.cosmetic)
            expected += kPrefix + "Schönheitsfehler ! Datei-ENDE-Marke 1A nicht erkannt !\r\n"_ansi;
        expected += kPrefix +
                    "Gravierender Fehler ! Mit dem DATEI-ENDE stimmt was nicht !die letzten 2 Zeichen sind "
                    "Dezimal " +
                    k.codes + abort;
        EXPECT_EQ(log(), expected) << k.codes;
        EXPECT_EQ(run().shownErrors, k.cosmetic ? 2u : 1u);
        expectRefused(FileRefusal::BadFileEnd);
    }

    std::string path = write("NOV.001", pad("X08122026", 124) + "0196" + kCrLf + "\x1a");
    choose(path);
    EXPECT_EQ(log(),
              logHead(path) + lengthLine(131) + kPrefix + "Konnte Vorlaufsatz nicht erkennen !" + abort);
    EXPECT_EQ(run().recordType, "X");
    expectRefused(FileRefusal::HeaderNotRecognised);

    path = write("SHORT.2K", "V;2000A;20261208" + kCrLf);
    choose(path);
    EXPECT_EQ(log(), logHead(path) + lengthLine(18) + kPrefix +
                         "Der Eintrag für die Satzfolge konnte nicht gelesen werden !"_ansi + abort);
    expectRefused(FileRefusal::OrderEntryMissing);

    path = write("EMPTY.001", "");
    choose(path);
    EXPECT_EQ(log(), logHead(path) + lengthLine(0) + kPrefix +
                         "Die Datei ist leer (0 Byte), sie enthält keinen Vorlaufsatz !"_ansi + abort);
    expectRefused(FileRefusal::Empty);
}

// Refusals the engine shows in a box of its own, besides any log line.
TEST_F(EngineFileChoice, RefusalsInABoxOfTheirOwn) {
    // An empty first line: the block test refuses it too, with the reader's own box.
    choose(write("EMPTY.001", kCrLf + record('K') + kCrLf + "\x1a"));
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[0].kind, BoxKind::Error);
    EXPECT_EQ(boxes()[1].text, "Der Vorlaufsatz konnte nicht gelesen werden !\r\nAbbruch der Prüfung !");
    expectRefused(FileRefusal::HeaderUnreadable);

    // A 05/90 header with text at 100 to 128 but no "0196" is no version we know: an
    // error, though its text holds no "Fehler".
    choose(write("UNK.001", pad(pad("V08122026", 99) + "X", 128) + kCrLf + "\x1a"));
    EXPECT_EQ(boxes().back().text, "Die ELDANORM-Version ???? kann nicht geprüft werden !");
    EXPECT_EQ(run().versionLabel, "????");
    EXPECT_EQ(run().shownErrors, 1u);
    expectRefused(FileRefusal::VersionNotSupported);

    // The data file that cannot be opened: the file error box, then the log line.
    const std::string missing = e_.dir.folder() + "GONE.001";
    choose(missing);
    ASSERT_FALSE(boxes().empty());
    EXPECT_EQ(boxes()[0].kind, BoxKind::Error);
    EXPECT_EQ(log(), logHead(missing) + kPrefix + "Die Datei" + missing +
                         "konnte nicht geöffnet werden !Abbruch der Prüfung !\r\n"_ansi);
    expectRefused(FileRefusal::Unopenable);

    // A log that cannot be made: its box names the path and the system's reason (Linux
    // tells no missing folder from a missing file, Windows does).
    run().parameters.dataFolder = e_.dir.folder() + "missing/";
    choose(write("A.001", header0196() + kCrLf));
#ifdef _WIN32
    const std::string reason = dosErrorText(3);
#else
    const std::string reason = dosErrorText(2);
#endif
    EXPECT_EQ(boxes().back().text, "Error-Log-Datei konnte nicht errzeugt werden !\r\n" + e_.dir.folder() +
                                       "missing/Error.log: " + reason);
    EXPECT_EQ(run().source.handle(), 0);
    expectRefused(FileRefusal::NoLog);
}

// A chosen file that is the check's own log, under its own name or another (a hard
// link), is refused in an error box and keeps its bytes.
TEST_F(EngineFileChoice, TheChecksOwnFilesAreNeverChecked) {
    choose(write("A.001", header0196() + kCrLf + "\x1a"));
    const std::string link = e_.dir.folder() + "LINK.001";
    std::filesystem::create_hard_link(logPath(), link);
    e_.engine.closeFiles();
    for (const std::string& chosen : {logPath(), link}) {
        const std::string before = readBytes(logPath());
        choose(chosen);
        ASSERT_EQ(boxes().size(), 1u) << chosen;
        EXPECT_EQ(boxes()[0].kind, BoxKind::Error);
        EXPECT_NE(boxes()[0].text.find("ist das Fehlerprotokoll der Prüfung"), std::string::npos);
        EXPECT_EQ(readBytes(logPath()), before);
        EXPECT_EQ(e_.engine.logFile(), 0) << "no log was opened";
        expectRefused(FileRefusal::OwnFile);
    }
}

// The length is no multiple of the record length: the question, and the answer decides.
TEST_F(EngineFileChoice, LengthNotAMultipleOf130AsksWhetherToGoOn) {
    const std::string path = write("LEN.590", header0590() + kCrLf + record('K') + kCrLf + "AB\r\n\x1a");
    e_.questions.answers = {false};
    choose(path);
    ASSERT_EQ(e_.questions.asked, std::vector<Question>{Question::LengthFault});
    ASSERT_EQ(e_.questions.words.size(), 1u);
    EXPECT_EQ(e_.questions.words[0].caption, "Gravierender Fehler");
    EXPECT_EQ(e_.questions.words[0].text,
              "Die Dateilänge / Satzzahl ist fehlerhaft  !\r\nAbbruch der Prüfung "
              "!\r\n\r\nSoll die Prüfung dennoch fortgesetzt werden ?"_ansi);
    EXPECT_EQ(log(), logHead(path) + lengthLine(265) + kPrefix +
                         "Die Dateilänge / Satzzahl ist fehlerhaft  !Abbruch der Prüfung !\r\n"_ansi);
    expectRefused(FileRefusal::LengthFaultDeclined);

    e_.questions.answers = {true};
    choose(path);
    EXPECT_TRUE(run().fileReady);

    // The same question for 01/96.
    e_.questions.answers = {false};
    choose(write("LEN.196", header0196() + kCrLf + "X\r\n"));
    EXPECT_EQ(e_.questions.asked.back(), Question::LengthFault);
    expectRefused(FileRefusal::LengthFaultDeclined);
}

// A 01/96 line longer than a record is reported with its real length, as the last line
// of the file or before others.
TEST_F(EngineFileChoice, AnOverLongLineIsReportedWithItsLength) {
    for (const std::string& after : {std::string(), pad("A1", 128) + kCrLf}) {
        choose(write("LONG.001", header0196() + kCrLf + pad("K1", 128) + kCrLf + std::string(100000, 'A') +
                                     kCrLf + after + "\x1a"));
        e_.engine.LIESSATZ();
        e_.engine.LIESSATZ();
        EXPECT_NE(log().find("Fehler Satzlänge 100000, die Satzlänge in der Version 0196"_ansi),
                  std::string::npos)
            << (after.empty() ? "last line" : "line before others");
        EXPECT_EQ(run().recordLength, 100000);
    }
}

// A new choice starts a fresh log, with the offsets of the new file.
TEST_F(EngineFileChoice, NewChoiceStartsAFreshLogWithOffsetsOfTheNewFile) {
    choose(write("ONE.001", header0196() + kCrLf + "\x1a"));
    run().NZEIGER_ = 5000; // where a step on the first file left it
    run().NPOSITION_ = 7;
    const std::string second = write("TWO.001", header0196() + kCrLf + "\x1a");
    choose(second);
    const std::string text = log();
    EXPECT_EQ(text.substr(0, logHead(second).size()), logHead(second));
    EXPECT_NE(text.find(lengthLine(131)), std::string::npos);
    EXPECT_EQ(text.find("5000"), std::string::npos);
}

// A file the user may not write (here: immutable, which binds root too) is still checked.
TEST_F(EngineFileChoice, WriteProtectedFileIsCheckedReadOnly) {
    const std::string path = write("RO.001", header0196() + kCrLf + record('K') + kCrLf + "\x1a");
    if (std::system(("chattr +i '" + path + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "chattr +i is not available on this file system";
    struct Unlock {
        std::string p;
        ~Unlock() { [[maybe_unused]] int rc = std::system(("chattr -i '" + p + "'").c_str()); }
    } unlock{path};
    choose(path);
    EXPECT_TRUE(run().fileReady);
    EXPECT_EQ(run().versionLabel, "0196");
    EXPECT_NE(run().source.handle(), 0);
}

TEST(Splitting, String2Array2CutsTrailingBlanksOnly) {
    EXPECT_EQ(STRING2ARRAY2("a; b ;;c  ", ";"), (std::vector<std::string>{"a", " b ", "", "c"}));
    EXPECT_EQ(STRING2ARRAY2("a;", ";"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(STRING2ARRAY2("", ";"), (std::vector<std::string>{""}));
    EXPECT_EQ(STRING2ARRAY2("a||b", "||"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(PFADNAME("/data/in/ELDANORM.001"), "/data/in/");
    EXPECT_EQ(PFADNAME("ELDANORM.001"), "");
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
