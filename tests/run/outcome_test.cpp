// How a check ends, as the engine sets it in the run's outcome: every way the file
// choice refuses a file, every rule that ends a run with the record it ended at, the
// end of the file, the user's stop and failed file operations.
#include "tests/support/EngineCheck.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using namespace arti;
using namespace arti::test;

namespace {

std::string record(std::string content) {
    content.resize(128, ' ');
    return content + "\r\n";
}

// An 01/96 header with the given version mark, announcing A, B and D.
std::string header0196(const std::string& mark = "0196") {
    return record("V01012023" + std::string(90, ' ') + "11100000" + std::string(17, ' ') + mark);
}

const char* name(OutcomeKind k) {
    switch (k) {
    case OutcomeKind::None: return "None";
    case OutcomeKind::IoFailure: return "IoFailure";
    case OutcomeKind::Refused: return "Refused";
    case OutcomeKind::RuleAbort: return "RuleAbort";
    case OutcomeKind::ByUser: return "ByUser";
    case OutcomeKind::FileEnd: return "FileEnd";
    case OutcomeKind::EndedEarly: break;
    }
    return "EndedEarly";
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
    const GeneratedCase cases[] = {
        {Version::V0590, Fault::None, OutcomeKind::FileEnd, FileRefusal::None, std::nullopt},
        {Version::V0196, Fault::None, OutcomeKind::FileEnd, FileRefusal::None, std::nullopt},
        {Version::V2000, Fault::None, OutcomeKind::FileEnd, FileRefusal::None, std::nullopt},
        {Version::V0196, Fault::BadCheckDigit, OutcomeKind::FileEnd, FileRefusal::None, std::nullopt},
        {Version::V0590, Fault::WrongLength, OutcomeKind::RuleAbort, FileRefusal::None,
         RuleAbortKind::RecordUnreadable},
        {Version::V0196, Fault::WrongLength, OutcomeKind::RuleAbort, FileRefusal::None, RuleAbortKind::RecordLength},
        {Version::V0196, Fault::CrLfInBlock, OutcomeKind::RuleAbort, FileRefusal::None, RuleAbortKind::RecordLength},
        {Version::V0196, Fault::WrongSecondRecord, OutcomeKind::RuleAbort, FileRefusal::None,
         RuleAbortKind::ControlRecord},
        {Version::V0590, Fault::WrongSecondRecord, OutcomeKind::RuleAbort, FileRefusal::None,
         RuleAbortKind::ControlRecord},
        {Version::V2000, Fault::RefusedAnnouncement, OutcomeKind::RuleAbort, FileRefusal::None,
         RuleAbortKind::OrderNotAdmitted},
        {Version::V2000, Fault::UnannouncedType, OutcomeKind::RuleAbort, FileRefusal::None,
         RuleAbortKind::OrderBroken},
        {Version::V2000, Fault::UnannouncedType, OutcomeKind::RuleAbort, FileRefusal::None,
         RuleAbortKind::TypeNotAnnounced, true},
        {Version::V0196, Fault::UnannouncedType, OutcomeKind::RuleAbort, FileRefusal::None, RuleAbortKind::OrderBroken},
        {Version::V2000, Fault::BrokenOrder, OutcomeKind::RuleAbort, FileRefusal::None, RuleAbortKind::OrderBroken},
        {Version::V2000, Fault::BadSeparator, OutcomeKind::Refused, FileRefusal::BadSeparator, std::nullopt},
        {Version::V0196, Fault::UnreadableHeader, OutcomeKind::Refused, FileRefusal::HeaderUnreadable, std::nullopt},
    };
    for (const GeneratedCase& c : cases) {
        SCOPED_TRACE(std::string(gen::versionName(c.version)) + " " + std::string(gen::faultName(c.fault)));
        EngineCheck e;
        e.questions.otherwise = true; // go on after a length fault, as the checker does
        gen::FileSpec spec;
        spec.version = c.version;
        spec.records = 40;
        spec.fault = c.fault;
        spec.seed = 5;
        gen::Report report;
        const std::string path = e.write("ELDANORM.001", gen::generateBytes(spec, &report));
        if (c.stepFirst) {
            e.engine.chooseFile(path);
            e.engine.LIESSATZ();
        }
        e.check(path, !c.stepFirst);
        const CheckOutcome& o = e.run.outcome;
        EXPECT_STREQ(name(o.kind()), name(c.kind));
        EXPECT_EQ(o.fileRefusal, c.refusal);
        ASSERT_EQ(o.abort.has_value(), c.abort.has_value());
        if (c.abort) {
            EXPECT_EQ(o.abort->kind, *c.abort);
            EXPECT_GE(o.abort->offset, static_cast<long long>(report.faultOffset));
            EXPECT_LT(o.abort->offset, static_cast<long long>(report.bytes));
            EXPECT_FALSE(o.abort->message.empty());
        }
        EXPECT_EQ(o.endLogged, c.kind == OutcomeKind::FileEnd) << "the run's closing line at the end of the file";
    }
}

TEST(RunOutcome, RefusalsOfTheFileChoice) {
    const struct {
        const char* what;
        std::string content;
        FileRefusal refusal;
    } cases[] = {
        {"no header first", record("X01012023") + record("K"), FileRefusal::HeaderNotRecognised},
        {"a version mark that cannot be checked", header0196("0199") + record("K"), FileRefusal::VersionNotSupported},
        {"no CR LF at the end", header0196() + "K", FileRefusal::BadFileEnd},
        {"a 2000 header without the record order", "V;2000A;20230101\r\n", FileRefusal::OrderEntryMissing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EngineCheck e;
        e.check(e.write("ELDANORM.001", c.content));
        EXPECT_FALSE(e.run.fileReady);
        EXPECT_EQ(e.run.outcome.kind(), OutcomeKind::Refused);
        EXPECT_EQ(e.run.outcome.fileRefusal, c.refusal);
        EXPECT_FALSE(e.run.outcome.refusal.empty());
        EXPECT_EQ(e.display.phases.back(), "fileRefused");
    }
}

// A file the check writes itself is refused before anything is written.
TEST(RunOutcome, OwnLogIsRefused) {
    EngineCheck e;
    const std::string log = e.write("Error.log", header0196() + record("K"));
    e.check(log);
    EXPECT_EQ(e.run.outcome.fileRefusal, FileRefusal::OwnFile);
    EXPECT_FALSE(e.run.outcome.ioFailure);
}

TEST(RunOutcome, FailedFileOperationsArriveTyped) {
    const struct {
        const char* what;
        bool folderAsFile;   // the chosen file is a folder: it cannot be opened
        bool logUnwritable;  // the data folder does not exist: no log can be made
        IoOperation operation;
    } cases[] = {
        {"the data file cannot be opened", true, false, IoOperation::Open},
        {"the log cannot be made", false, true, IoOperation::CreateLog},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EngineCheck e;
        std::string path = e.write("ELDANORM.001", header0196() + record("K"));
        if (c.folderAsFile) {
            path = e.dir.folder() + "folder";
            std::filesystem::create_directory(path);
        }
        if (c.logUnwritable) settings().installPath = e.dir.folder() + "missing/";
        e.check(path);
        const CheckOutcome& o = e.run.outcome;
        ASSERT_TRUE(o.ioFailure);
        EXPECT_EQ(o.kind(), OutcomeKind::IoFailure);
        EXPECT_EQ(o.ioFailure->operation, c.operation);
        EXPECT_EQ(o.ioFailure->path, c.folderAsFile ? path : settings().installPath + "Error.log");
        EXPECT_EQ(o.ioFailure->message, utf8ToAnsi(e.services.box.shown.back().text))
            << "the text of the box that told the user";
        EXPECT_FALSE(e.run.fileReady);
    }
}

// The stop during a run ends it by the user; a failed operation during the file
// choice stays part of the outcome through the run.
TEST(RunOutcome, StopByTheUserAndFailuresKeptThroughTheRun) {
    EngineCheck e;
    gen::FileSpec spec;
    spec.records = 200;
    const std::string path = e.write("ELDANORM.001", gen::generateBytes(spec));
    bool stopped = false;
    e.services.window.onPump = [&](int) {
        if (!e.run._LTURN || stopped || e.run.recordCounter < 50) return;
        stopped = true;
        e.engine.stop();
    };
    e.engine.chooseFile(path);
    ASSERT_TRUE(e.run.fileReady);
    e.run.outcome.ioFailure = IoFailure{IoOperation::Read, e.run.dataFile, path, "reason", "message"};
    e.run.options.popups = false;
    e.engine.runToEnd();
    EXPECT_EQ(e.run.outcome.end, CheckEnd::ByUser);
    EXPECT_FALSE(e.run.outcome.endLogged);
    ASSERT_TRUE(e.run.outcome.ioFailure);
    EXPECT_EQ(e.run.outcome.ioFailure->path, path);
    EXPECT_EQ(e.run.outcome.kind(), OutcomeKind::IoFailure);
    e.run.outcome.ioFailure.reset();
    EXPECT_EQ(e.run.outcome.kind(), OutcomeKind::ByUser);
}
