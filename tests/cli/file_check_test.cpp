// The checker's run of one file against the engine under the recording fake view: for
// generated files of each version, clean and with every fault, both write the same
// Error.log, the checker's tally agrees with the log, and its outcome says what happened.
#include "app/PruefWnd.h"
#include "cli/FileCheck.h"
#include "cli/Summary.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "settings/Settings.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/TempDir.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace arti;
using namespace arti::cli;
namespace fs = std::filesystem;

namespace {

// Answers a person would give: Yes to going on after a length fault, OK to the rest.
class PersonBox final : public IMessageBox {
public:
    BoxButton show(Owner, BoxKind kind, const std::string& caption, const std::string&) override {
        captions.push_back(ansiToUtf8(caption));
        if (kind == BoxKind::YesNo) return caption == "Gravierender Fehler" ? BoxButton::Yes : BoxButton::No;
        return kind == BoxKind::OkCancel ? BoxButton::Cancel : BoxButton::Ok;
    }
    std::vector<std::string> captions;
};

CheckParameters params() {
    CheckParameters p;
    p.dateFrom = Date{std::chrono::year{2000}, std::chrono::month{1}, std::chrono::day{1}};
    p.dateTo = Date{std::chrono::year{2099}, std::chrono::month{12}, std::chrono::day{31}};
    return p;
}

struct EngineRun {
    std::string log;
    bool recognised = false;
    std::vector<std::string> changes;
    // What the window counts: its findings, their errors, "erkannte Fehler".
    std::uint64_t findings = 0;
    std::uint64_t errors = 0;
    std::string errorsShown;
};

// What a person does in the window: "Datei", pop-ups and list off, "Durchlauf Start".
EngineRun runUnderFakeView(const std::string& file, const std::string& dataFolder) {
    Settings& s = settings();
    s = Settings{};
    s.installPath = dataFolder + "/";
    s.artiQuelle = fs::path(file).parent_path().string() + "/";
    s.waehrung = "EUR";
    s.lCode = "DE";
    s.nks = 2;
    s.uDatum = params().dateFrom;
    s.oDatum = params().dateTo;
    PersonBox box;
    test::FakeFileDialogs dialogs;
    dialogs.files.push_back(file);
    ServicesScope scope(&box, nullptr, nullptr, &dialogs);
    test::FakePruefView view;
    PRUEF_WND w;
    w.attachView(&view);
    w.INIT();
    w.SETUP();
    w.PSHDATEI();
    EngineRun r;
    r.recognised = w.run.fileReady;
    if (r.recognised) {
        for (Ctl c : {Ctl::ODCCHK3, Ctl::ODCCHK4}) {
            w.controls.userChecked(c, false);
            w.BUTTONCLICK(c);
        }
        w.PSHSTART();
    }
    r.findings = w.run.findings.count();
    r.errors = w.run.findings.errors();
    r.errorsShown = w.controls.text(Ctl::ODCTXT18);
    w.engine.closeTextTable();
    w.engine.closeFiles();
    r.log = test::readBytes(dataFolder + "/Error.log");
    r.changes = view.changes;
    return r;
}

class FileCheck : public test::ServicesFixture {
protected:
    void SetUp() override {
        box_.onUnexpected = nullptr; // the boxes go to the checker's own box
        appState().programFolder = dir_.folder();
    }
    std::string generated(gen::Version v, gen::Fault f, std::uint64_t records = 60) {
        gen::FileRecipe s;
        s.version = v;
        s.records = records;
        s.fault = f;
        s.seed = 11;
        const std::string path =
            dir_.folder() + std::string(gen::versionName(v)) + "_" + std::string(gen::faultName(f)) + ".dat";
        gen::Report r;
        std::string error;
        EXPECT_TRUE(gen::generateFile(s, path, r, error)) << error;
        return path;
    }
    std::string freshFolder() {
        const std::string f = dir_.folder() + "data" + std::to_string(++folders_);
        fs::create_directories(f);
        return f;
    }
    FileResult check(const std::string& file, const std::string& folder) {
        return checkFile(file, folder, params(), RunEnvironment{});
    }

    test::TempDir dir_;
    test::RegistrySandbox registry_;
    int folders_ = 0;
};

struct Expected {
    gen::Version version;
    gen::Fault fault;
    Outcome outcome;
    int exitCode;
};

} // namespace

TEST_F(FileCheck, SameLogAsTheEngineUnderTheFakeViewForEveryFileAndFault) {
    std::vector<std::pair<gen::Version, gen::Fault>> cases;
    for (gen::Version v : {gen::Version::V0590, gen::Version::V0196, gen::Version::V2000}) {
        cases.emplace_back(v, gen::Fault::None);
        for (gen::Fault f : gen::allFaults())
            if (gen::faultApplies(f, v)) cases.emplace_back(v, f);
    }
    for (const auto& [v, f] : cases) {
        SCOPED_TRACE(std::string(gen::versionName(v)) + " " + std::string(gen::faultName(f)));
        const std::string file = generated(v, f);
        const EngineRun engine = runUnderFakeView(file, freshFolder());
        const std::string folder = freshFolder();
        const FileResult r = check(file, folder);
        ASSERT_FALSE(engine.log.empty());
        EXPECT_EQ(test::readBytes(r.logPath), engine.log);
        EXPECT_EQ(r.logPath, folder + "/Error.log");
        // One count everywhere: the checker's, the window's list and its "erkannte Fehler".
        EXPECT_EQ(r.messages, engine.findings);
        EXPECT_EQ(r.errors, engine.errors);
        if (engine.recognised) {
            EXPECT_EQ(engine.errorsShown, germanCount(r.errors));
        }
        EXPECT_EQ(r.outcome == Outcome::NotRecognised, !engine.recognised) << resultText(r);
    }
}

TEST_F(FileCheck, OutcomesOfCleanAndFaultyFiles) {
    using gen::Fault;
    using gen::Version;
    const std::vector<Expected> expected = {
        {Version::V0590, Fault::None, Outcome::Complete, 0},
        {Version::V0196, Fault::None, Outcome::Complete, 0},
        {Version::V2000, Fault::None, Outcome::Complete, 0},
        {Version::V0196, Fault::MissingEndMark, Outcome::Complete, 1},
        {Version::V0590, Fault::WrongLength, Outcome::Aborted, 1},
        {Version::V0196, Fault::WrongLength, Outcome::Aborted, 1},
        {Version::V0590, Fault::CrLfInBlock, Outcome::Aborted, 1},
        {Version::V0196, Fault::CrLfInBlock, Outcome::Aborted, 1},
        {Version::V0590, Fault::EndMarkInBlock, Outcome::Aborted, 1},
        {Version::V0196, Fault::WrongSecondRecord, Outcome::Aborted, 1},
        {Version::V0590, Fault::RefusedAnnouncement, Outcome::Aborted, 1},
        {Version::V0196, Fault::RefusedAnnouncement, Outcome::Aborted, 1},
        {Version::V2000, Fault::RefusedAnnouncement, Outcome::Aborted, 1},
        {Version::V0196, Fault::UnannouncedType, Outcome::Aborted, 1},
        {Version::V2000, Fault::UnannouncedType, Outcome::Aborted, 1},
        {Version::V0590, Fault::BrokenOrder, Outcome::Aborted, 1},
        {Version::V2000, Fault::BrokenOrder, Outcome::Aborted, 1},
        {Version::V2000, Fault::BadSeparator, Outcome::NotRecognised, 2},
        {Version::V0196, Fault::UnreadableHeader, Outcome::NotRecognised, 2},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(std::string(gen::versionName(e.version)) + " " + std::string(gen::faultName(e.fault)));
        const FileResult r = check(generated(e.version, e.fault), freshFolder());
        EXPECT_EQ(r.outcome, e.outcome) << r.reason;
        EXPECT_EQ(r.exitCode(), e.exitCode);
        if (e.outcome != Outcome::Complete) {
            EXPECT_FALSE(r.reason.empty());
        }
    }
}

TEST_F(FileCheck, CountsOfACompleteRun) {
    for (gen::Version v : {gen::Version::V0590, gen::Version::V0196, gen::Version::V2000}) {
        const std::string file = generated(v, gen::Fault::None, 500);
        const FileResult r = check(file, freshFolder());
        EXPECT_EQ(r.records, 500u) << gen::versionName(v);
        EXPECT_EQ(r.bytes, fs::file_size(file));
        EXPECT_EQ(r.fileSize, fs::file_size(file));
        EXPECT_EQ(r.errors, 0u);
        EXPECT_GE(r.messages, 3u) << "length line, header copy, end of the run";
        EXPECT_GT(r.seconds, 0.0);
    }
}

TEST_F(FileCheck, WhereAnAbortedRunStopped) {
    gen::FileRecipe s;
    s.version = gen::Version::V0196;
    s.records = 60;
    s.fault = gen::Fault::WrongLength;
    s.seed = 11;
    gen::Report report;
    gen::generateBytes(s, &report);
    const FileResult r = check(generated(gen::Version::V0196, gen::Fault::WrongLength), freshFolder());
    EXPECT_EQ(r.bytes, report.faultOffset) << "the offset of the short record";
    // The 01/96 counter is the position behind the record divided by 130: one short.
    EXPECT_EQ(r.records, (report.faultOffset + 127 + 2) / 130);
    EXPECT_EQ(r.records, report.faultRecord - 1);
    EXPECT_NE(r.reason.find("Fehler Satzlänge 127"), std::string::npos) << r.reason;
    EXPECT_EQ(r.errors, 2u) << "the file length and the record length";
}

TEST_F(FileCheck, TheDataFileIsNeverChanged) {
    for (gen::Fault f : {gen::Fault::None, gen::Fault::WrongLength, gen::Fault::CrLfInBlock}) {
        const std::string file = generated(gen::Version::V0196, f);
        const std::string before = test::readBytes(file);
        const auto stamp = fs::last_write_time(file);
        check(file, freshFolder());
        EXPECT_EQ(test::readBytes(file), before);
        EXPECT_EQ(fs::last_write_time(file), stamp);
    }
}

TEST_F(FileCheck, AnswersDecide) {
    const std::string file = generated(gen::Version::V0590, gen::Fault::WrongLength);
    CheckParameters p = params();
    p.answers.continueAfterLengthFault = false;
    FileResult r = checkFile(file, freshFolder(), p, RunEnvironment{});
    EXPECT_EQ(r.outcome, Outcome::NotRecognised) << "refused before the run";
    EXPECT_NE(r.reason.find("Dateilänge / Satzzahl ist fehlerhaft"), std::string::npos) << r.reason;

    // Long texts of an earlier run: kept on "No", so the second run stores none.
    const std::string texts = generated(gen::Version::V0196, gen::Fault::None, 400);
    const std::string folder = freshFolder();
    check(texts, folder);
    p = params();
    p.answers.deleteOldTexts = false;
    std::ostringstream boxes;
    RunEnvironment env;
    env.boxes = &boxes;
    r = checkFile(texts, folder, p, env);
    EXPECT_EQ(r.outcome, Outcome::Complete);
    EXPECT_NE(boxes.str().find("[Frage] Es sind Texte aus einem vorherigen Lauf gespeichert !"),
              std::string::npos);
    EXPECT_NE(boxes.str().find("-> Nein"), std::string::npos);
}

TEST_F(FileCheck, MissingFileAndUnwritableLog) {
    FileResult r = check(dir_.folder() + "gibt-es-nicht.001", freshFolder());
    EXPECT_EQ(r.outcome, Outcome::Missing);
    EXPECT_EQ(r.exitCode(), 2);
    r = check(dir_.folder(), freshFolder());
    EXPECT_EQ(r.reason, "keine Datei");

    // The log cannot be created: a folder is in its place.
    const std::string folder = freshFolder();
    fs::create_directories(folder + "/Error.log");
    r = check(generated(gen::Version::V0196, gen::Fault::None), folder);
    EXPECT_EQ(r.outcome, Outcome::IoError);
    EXPECT_EQ(r.reason, "Error-Log-Datei konnte nicht errzeugt werden ! " + folder +
                            "/Error.log: Der Zugriff auf die Datei wurde verweigert");
}

// An empty file cannot be checked: it is refused as empty, not for its missing end.
TEST_F(FileCheck, AnEmptyFileIsNotCheckable) {
    test::writeBytes(dir_.folder() + "LEER.001", "");
    const FileResult r = check(dir_.folder() + "LEER.001", freshFolder());
    EXPECT_EQ(resultText(r), "nicht prüfbar: Die Datei ist leer (0 Byte), sie enthält keinen Vorlaufsatz !"
                             "Abbruch der Prüfung !");
    EXPECT_EQ(r.exitCode(), 2);
}

TEST_F(FileCheck, AnInterruptStopsTheRunAndKeepsTheLogComplete) {
    const std::string file = generated(gen::Version::V0196, gen::Fault::None, 2000);
    requestInterrupt();
    const FileResult r = check(file, freshFolder());
    clearInterrupt();
    EXPECT_EQ(r.outcome, Outcome::Interrupted);
    EXPECT_EQ(r.exitCode(), 2);
    EXPECT_NE(test::readBytes(r.logPath).find("der Durchlauf wurde vom Benutzer abgebrochen"),
              std::string::npos);
}

TEST_F(FileCheck, ProgressOfLargeFiles) {
    const std::string file = generated(gen::Version::V0196, gen::Fault::None, 20000);
    std::ostringstream progress;
    RunEnvironment env;
    env.progress = &progress;
    env.progressFrom = 1;
    env.progressEvery = std::chrono::milliseconds(0);
    check(file, freshFolder());
    EXPECT_EQ(progress.str(), "") << "no progress without a terminal";
    checkFile(file, freshFolder(), params(), env);
    EXPECT_NE(progress.str().find(" %"), std::string::npos);
    EXPECT_NE(progress.str().find("MB/s"), std::string::npos);
    env.progressFrom = fs::file_size(file) + 1;
    std::ostringstream none;
    env.progress = &none;
    checkFile(file, freshFolder(), params(), env);
    EXPECT_EQ(none.str(), "") << "small files show no progress";
}

// Every fault the generator knows, in every version it applies to: the groups of the
// findings add up to the counts, each group's first finding stands first in its group,
// and the largest group comes first.
TEST_F(FileCheck, GroupsAddUpToTheCounts) {
    for (const gen::Version v : {gen::Version::V0590, gen::Version::V0196, gen::Version::V2000}) {
        std::vector<gen::Fault> faults = gen::allFaults();
        faults.push_back(gen::Fault::None);
        for (const gen::Fault f : faults) {
            if (f != gen::Fault::None && !gen::faultApplies(f, v)) continue;
            SCOPED_TRACE(std::string(gen::versionName(v)) + " " + std::string(gen::faultName(f)));
            const FileResult r = check(generated(v, f), freshFolder());
            std::uint64_t count = 0;
            std::uint64_t errors = 0;
            for (std::size_t i = 0; i < r.groups.size(); ++i) {
                const FindingGroup& g = r.groups[i];
                count += g.count;
                errors += g.errors;
                EXPECT_LE(g.errors, g.count);
                EXPECT_FALSE(g.example.empty());
                if (i > 0) {
                    EXPECT_GE(r.groups[i - 1].count, g.count);
                }
            }
            EXPECT_EQ(count, r.messages);
            EXPECT_EQ(errors, r.errors);
        }
    }
}

// One systematic fault on every article is one group, however many articles repeat it,
// beside the rare one: the date outside the window on every article, the check digit once.
TEST_F(FileCheck, ARepeatedFaultIsOneGroup) {
    gen::FileRecipe s;
    s.version = gen::Version::V0196;
    s.records = 400;
    s.fault = gen::Fault::BadCheckDigit;
    const std::string path = dir_.folder() + "repeated.001";
    gen::Report report;
    std::string error;
    ASSERT_TRUE(gen::generateFile(s, path, report, error)) << error;
    CheckParameters p = params();
    p.dateFrom = Date{std::chrono::year{2030}, std::chrono::month{1}, std::chrono::day{1}};
    const FileResult r = checkFile(path, freshFolder(), p, RunEnvironment{});
    ASSERT_GE(r.groups.size(), 2u);
    const FindingGroup& dates = r.groups[0];
    EXPECT_EQ(dates.kind, MessageKind::DateOutsideWindow);
    EXPECT_GT(dates.count, 10u);
    const auto digit = std::find_if(r.groups.begin(), r.groups.end(), [](const FindingGroup& g) {
        return g.kind == MessageKind::CheckDigitWrong;
    });
    ASSERT_NE(digit, r.groups.end());
    EXPECT_EQ(digit->count, 1u);
    EXPECT_EQ(digit->recordType, "A");
    EXPECT_NE(digit->field, kNoField);
}
