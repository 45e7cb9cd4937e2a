// How a check ends, as the engine sets it in the run's outcome: every way the file
// choice refuses a file, every rule that ends a run with the record it ended at, the
// end of the file, the user's stop and failed file operations.
#include "tests/support/EngineCheck.h"
#include "tests/support/FileSizeLimit.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

using namespace arti;
using namespace arti::test;

namespace {

// An 01/96 header with the given version mark, announcing A, B and D.
std::string header0196(const std::string& mark = "0196") {
    return fixedRecord("V01012023" + std::string(90, ' ') + "11100000" + std::string(17, ' ') + mark);
}

struct GeneratedCase {
    gen::Version version;
    gen::Fault fault;
    OutcomeKind kind;
    FileRefusal refusal;
    std::optional<RuleAbortKind> abort; // ended by this rule, at or behind the fault's record
    // One step by hand before the run: a run from behind the header's next record
    // does not follow the order, so the record type's own rule ends it.
    bool stepFirst = false;
};

} // namespace

TEST(RunOutcome, GeneratedFilesEndAsTheirFaultSays) {
    using gen::Fault;
    using gen::Version;
    using K = OutcomeKind;
    using R = RuleAbortKind;
    const FileRefusal none = FileRefusal::None;
    const GeneratedCase cases[] = {
        {Version::V0590, Fault::None, K::FileEnd, none, std::nullopt},
        {Version::V0196, Fault::None, K::FileEnd, none, std::nullopt},
        {Version::V2000, Fault::None, K::FileEnd, none, std::nullopt},
        {Version::V0196, Fault::BadCheckDigit, K::FileEnd, none, std::nullopt},
        {Version::V0590, Fault::WrongLength, K::RuleAbort, none, R::RecordUnreadable},
        {Version::V0196, Fault::WrongLength, K::RuleAbort, none, R::RecordLength},
        {Version::V0196, Fault::CrLfInBlock, K::RuleAbort, none, R::RecordLength},
        {Version::V0196, Fault::WrongSecondRecord, K::RuleAbort, none, R::ControlRecord},
        {Version::V0590, Fault::WrongSecondRecord, K::RuleAbort, none, R::ControlRecord},
        {Version::V2000, Fault::RefusedAnnouncement, K::RuleAbort, none, R::OrderNotAdmitted},
        {Version::V2000, Fault::UnannouncedType, K::RuleAbort, none, R::OrderBroken},
        {Version::V2000, Fault::UnannouncedType, K::RuleAbort, none, R::TypeNotAnnounced, true},
        {Version::V0196, Fault::UnannouncedType, K::RuleAbort, none, R::OrderBroken},
        {Version::V2000, Fault::BrokenOrder, K::RuleAbort, none, R::OrderBroken},
        {Version::V2000, Fault::BadSeparator, K::Refused, FileRefusal::BadSeparator, std::nullopt},
        {Version::V0196, Fault::UnreadableHeader, K::Refused, FileRefusal::HeaderUnreadable, std::nullopt},
    };
    for (const GeneratedCase& c : cases) {
        SCOPED_TRACE(std::string(gen::versionName(c.version)) + " " + std::string(gen::faultName(c.fault)));
        EngineCheck e;
        e.questions.otherwise = true; // go on after a length fault, as the checker does
        gen::FileRecipe recipe;
        recipe.version = c.version;
        recipe.records = 40;
        recipe.fault = c.fault;
        recipe.seed = 5;
        gen::Report report;
        const std::string path = e.write("ELDANORM.001", gen::generateBytes(recipe, &report));
        if (c.stepFirst) {
            e.engine.chooseFile(path);
            e.engine.LIESSATZ();
        }
        e.check(path, !c.stepFirst);
        const CheckOutcome& o = e.run.outcome;
        EXPECT_EQ(o.kind(), c.kind);
        EXPECT_EQ(o.fileRefusal, c.refusal);
        ASSERT_EQ(o.abort.has_value(), c.abort.has_value());
        if (c.abort) {
            EXPECT_EQ(o.abort->kind, *c.abort);
            EXPECT_GE(o.abort->offset, static_cast<long long>(report.faultOffset));
            EXPECT_LT(o.abort->offset, static_cast<long long>(report.bytes));
            EXPECT_FALSE(o.abort->message.empty());
        }
        EXPECT_EQ(o.endLogged, c.kind == K::FileEnd) << "the run's closing line at the end of the file";
    }
}

// Files the choice refuses, and failed file operations: the choice's own log, the
// data file that cannot be opened (a folder), the log that cannot be made.
TEST(RunOutcome, RefusalsAndFailedOperationsOfTheFileChoice) {
    const std::string fine = header0196() + fixedRecord("K");
    const struct {
        const char* what;
        std::function<std::string(EngineCheck&)> file; // makes the file and gives its path
        FileRefusal refusal;
        std::optional<IoOperation> failed;
    } cases[] = {
        {"empty", [](EngineCheck& e) { return e.write("E.001", ""); }, FileRefusal::Empty, std::nullopt},
        {"no header first", [](EngineCheck& e) { return e.write("E.001", fixedRecord("X01012023")); },
         FileRefusal::HeaderNotRecognised, std::nullopt},
        {"a version that cannot be checked",
         [](EngineCheck& e) { return e.write("E.001", header0196("0199")); },
         FileRefusal::VersionNotSupported, std::nullopt},
        {"no CR LF at the end", [](EngineCheck& e) { return e.write("E.001", header0196() + "K"); },
         FileRefusal::BadFileEnd, std::nullopt},
        {"no record order", [](EngineCheck& e) { return e.write("E.001", "V;2000A;20230101\r\n"); },
         FileRefusal::OrderEntryMissing, std::nullopt},
        {"the check's own log", [&](EngineCheck& e) { return e.write("Error.log", fine); },
         FileRefusal::OwnFile, std::nullopt},
        {"a folder",
         [](EngineCheck& e) {
             std::filesystem::create_directory(e.dir.folder() + "E.001");
             return e.dir.folder() + "E.001";
         },
         FileRefusal::Unopenable, IoOperation::Open},
        {"no log",
         [&](EngineCheck& e) {
             e.run.parameters.dataFolder = e.dir.folder() + "missing/";
             return e.write("E.001", fine);
         },
         FileRefusal::NoLog, IoOperation::CreateLog},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EngineCheck e;
        const std::string path = c.file(e);
        e.check(path);
        const CheckOutcome& o = e.run.outcome;
        EXPECT_FALSE(e.run.fileReady);
        EXPECT_EQ(o.fileRefusal, c.refusal);
        EXPECT_EQ(o.kind(), c.failed ? OutcomeKind::IoFailure : OutcomeKind::Refused);
        ASSERT_EQ(o.ioFailure.has_value(), c.failed.has_value());
        if (!c.failed) continue;
        EXPECT_EQ(o.ioFailure->operation, *c.failed);
        EXPECT_EQ(o.ioFailure->path,
                  *c.failed == IoOperation::Open ? path : e.run.parameters.dataFolder + "Error.log");
        EXPECT_EQ(o.ioFailure->message, utf8ToAnsi(e.services.box.shown.back().text))
            << "the box that told it";
    }
}

// The user's stop ends a run; a failed operation since the file was chosen stays part
// of the outcome through the run, and comes first.
TEST(RunOutcome, StopByTheUserAndFailuresKeptThroughTheRun) {
    EngineCheck e;
    gen::FileRecipe recipe;
    recipe.records = 200;
    const std::string path = e.write("ELDANORM.001", gen::generateBytes(recipe));
    e.services.window.onPump = [&](int) {
        if (e.run.LTURN_ && e.run.recordCounter == 50 && !e.run.stopRequest) e.engine.stop();
    };
    e.engine.chooseFile(path);
    e.run.outcome.ioFailure = IoFailure{IoOperation::Read, e.run.source.handle(), path, "Grund", "Meldung"};
    e.check(path, false);
    EXPECT_EQ(e.run.outcome.end, CheckEnd::ByUser);
    EXPECT_EQ(e.run.outcome.kind(), OutcomeKind::IoFailure);
    e.run.outcome.ioFailure.reset();
    EXPECT_EQ(e.run.outcome.kind(), OutcomeKind::ByUser);
}

// A log that cannot be written during a run (the disk full) stops it; the failure is
// the log's, named by its path, whether or not the findings pop up.
TEST(RunOutcome, ALogThatCannotBeWrittenIsAFailureOfTheLog) {
    if (!FileSizeLimit::active()) GTEST_SKIP() << "no file-size limit for a process on this system";
    for (const bool popups : {false, true}) {
        SCOPED_TRACE(popups ? "pop-ups" : "no pop-ups");
        EngineCheck e;
        gen::FileRecipe recipe;
        recipe.version = gen::Version::V2000;
        recipe.records = 200;
        recipe.fault = gen::Fault::FieldFaultsEverywhere;
        const std::string path = e.write("ELDANORM.001", gen::generateBytes(recipe));
        e.engine.chooseFile(path);
        ASSERT_TRUE(e.run.fileReady);
        e.run.options.popups = popups;
        {
            const FileSizeLimit limit(4096);
            e.engine.runToEnd();
        }
        const CheckOutcome& o = e.run.outcome;
        ASSERT_TRUE(o.ioFailure);
        EXPECT_EQ(o.kind(), OutcomeKind::IoFailure);
        EXPECT_EQ(o.ioFailure->operation, IoOperation::WriteLog);
        EXPECT_EQ(o.ioFailure->path, e.run.parameters.dataFolder + "Error.log");
        EXPECT_FALSE(o.ioFailure->reason.empty()) << "the system's reason";
        EXPECT_FALSE(o.endLogged);
    }
}

// A record the reader refuses ends the run that reads it (the reader tells its engine,
// nobody else), and a run after it in the same process starts unhindered.
TEST(RunOutcome, ARefusedRecordStopsTheRunThatReadsIt) {
    gen::FileRecipe recipe;
    recipe.version = gen::Version::V0196;
    recipe.records = 40;
    const std::string clean = gen::generateBytes(recipe);
    const std::size_t record21 = 20 * 130;
    const struct {
        const char* what;
        std::function<void(std::string&)> spoil;
        unsigned long counter; // the record counter where the run ended
    } cases[] = {
        {"a line end inside a record", [&](std::string& s) { s.replace(record21 + 50, 2, "\r\n"); }, 20},
        {"a record of blanks", [&](std::string& s) { s.replace(record21, 128, std::string(128, ' ')); }, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = clean;
        c.spoil(bytes);
        {
            EngineCheck e;
            e.check(e.write("ELDANORM.001", bytes));
            EXPECT_TRUE(e.run.stopRequest);
            EXPECT_FALSE(e.run.stopByUser);
            EXPECT_EQ(e.run.outcome.end, CheckEnd::Refused);
            EXPECT_EQ(e.run.recordCounter, c.counter);
        }
        EngineCheck next;
        next.check(next.write("ELDANORM.001", clean));
        EXPECT_FALSE(next.run.stopRequest);
        EXPECT_EQ(next.run.outcome.end, CheckEnd::FileEnd);
    }
}
