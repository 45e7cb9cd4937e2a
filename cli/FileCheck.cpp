#include "cli/FileCheck.h"

#include "cli/AnswerBox.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"
#include "records/FileHandles.h"
#include "run/CheckEngine.h"
#include "run/OutcomeText.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>

namespace arti::cli {

namespace fs = std::filesystem;

namespace {

// Set from a signal handler (Linux) or the console's event thread (Windows): lock-free,
// so that both may set it.
std::atomic<bool> g_interrupt{false};
static_assert(std::atomic<bool>::is_always_lock_free);

std::string withSeparator(std::string folder) {
    if (!folder.empty() && !platform::isPathSeparator(folder.back())) folder += platform::kPathSeparator;
    return folder;
}

std::uint64_t fileLength(const std::string& path) {
    std::error_code ec;
    const auto n = fs::file_size(platform::fsPath(path), ec);
    return ec ? 0 : static_cast<std::uint64_t>(n);
}

// A box text on one line: its lines joined by blanks, empty lines left out.
std::string oneLine(const std::string& text) {
    std::string out;
    for (const std::string& line : splitLines(text, "\r\n")) {
        if (line.empty()) continue;
        if (!out.empty()) out += ' ';
        out += line;
    }
    return out;
}

// Where the check got to: the record and offset of the finding that ended it, else of
// the last finding counted.
struct Reached {
    std::uint64_t record = 0;
    std::uint64_t offset = 0;
};

const char* refusalName(FileRefusal f) {
    switch (f) {
    case FileRefusal::OwnFile:
        return "own_file";
    case FileRefusal::NoLog:
        return "no_log";
    case FileRefusal::Empty:
        return "empty";
    case FileRefusal::Unopenable:
        return "unopenable";
    case FileRefusal::BadSeparator:
        return "bad_separator";
    case FileRefusal::BadFileEnd:
        return "bad_file_end";
    case FileRefusal::HeaderUnreadable:
        return "header_unreadable";
    case FileRefusal::HeaderNotRecognised:
        return "header_not_recognised";
    case FileRefusal::VersionNotSupported:
        return "version_not_supported";
    case FileRefusal::OrderEntryMissing:
        return "order_entry_missing";
    case FileRefusal::LengthFaultDeclined:
        return "length_fault_declined";
    case FileRefusal::None:
        break;
    }
    return "refused";
}

const char* abortName(RuleAbortKind k) {
    switch (k) {
    case RuleAbortKind::RecordLength:
        return "record_length";
    case RuleAbortKind::ControlRecord:
        return "control_record";
    case RuleAbortKind::OrderNotAdmitted:
        return "order_not_admitted";
    case RuleAbortKind::OrderBroken:
        return "order_broken";
    case RuleAbortKind::TypeNotAnnounced:
        return "type_not_announced";
    case RuleAbortKind::RecordUnreadable:
        return "record_unreadable";
    }
    return "ended_early";
}

const char* operationName(IoOperation op) {
    switch (op) {
    case IoOperation::Open:
        return "open_failed";
    case IoOperation::Read:
        return "read_failed";
    case IoOperation::Write:
        return "write_failed";
    case IoOperation::CreateLog:
        return "log_not_created";
    case IoOperation::WriteLog:
        return "log_not_written";
    }
    return "io_failed";
}

// The result from the run's outcome. `textStoreFault`: why the long texts of the file
// could not be kept (engine text), or empty; the check itself may have run to the end,
// but what it was to store is missing.
Reached classify(FileResult& r, bool recognised, const LogTally& t, const FileFindings& counted,
                 const CheckOutcome& o, const std::string& textStoreFault) {
    r.messages = counted.count();
    r.errors = counted.errors();
    const RuleAbort* abort = recognised && o.abort ? &*o.abort : nullptr;
    if (interruptRequested()) {
        r.outcome = Outcome::Interrupted;
        r.reason = "vom Benutzer abgebrochen (Strg+C)";
        r.cause = "interrupted";
    } else if (o.ioFailure) {
        r.outcome = Outcome::IoError;
        r.reason = oneLine(ansiToUtf8(o.ioFailure->message));
        r.cause = operationName(o.ioFailure->operation);
        r.ioPath = ansiToUtf8(o.ioFailure->path);
    } else if (!textStoreFault.empty()) {
        r.outcome = Outcome::IoError;
        r.reason = ansiToUtf8(textStoreFault);
        r.cause = "text_store";
    } else if (!recognised) {
        r.outcome = Outcome::NotRecognised;
        r.reason = ansiToUtf8(logLineMessage(o.fileRefused ? o.refusal : t.lastMessage));
        r.cause = refusalName(o.fileRefusal);
    } else if (abort || !o.endLogged) {
        r.outcome = Outcome::Aborted;
        r.reason = ansiToUtf8(logLineMessage(abort ? abort->message : t.lastMessage));
        r.cause = abort ? abortName(abort->kind) : "ended_early";
    } else {
        r.outcome = Outcome::Complete;
    }
    if (abort) return Reached{abort->record.value_or(0), static_cast<std::uint64_t>(abort->offset)};
    return Reached{t.reachedRecord, t.reachedOffset};
}

// The file choice, the options and the run, on a fresh engine over `run`.
bool drive(CheckEngine& engine, CheckRun& run, const CheckParameters& p) {
    engine.chooseFile();
    if (!run.fileReady) return false;
    RunOptions& o = run.options;
    o.popups = p.popups;
    o.listDisplay = p.listDisplay; // no findings list unless asked: nobody looks at it
    o.fieldChecks = p.fieldChecks;
    o.asciiCheckOff = p.asciiCheckOff;
    engine.runToEnd();
    return true;
}

} // namespace

// What the run checks with: the options, the data folder, and the file's folder as the
// one its file choice starts in; the current folder stays the current folder.
RunParameters runParameters(const std::string& file, const std::string& dataFolder,
                            const CheckParameters& p) {
    RunParameters r;
    r.currency = p.currency;
    r.countryCodes = p.country;
    r.dateWindow = DateWindow{p.dateFrom, p.dateTo};
    r.dataFolder = withSeparator(dataFolder);
    r.sourceFolder = withSeparator(platform::pathText(platform::fsPath(file).parent_path()));
    r.programFolder = platform::currentFolder();
    return r;
}

const std::vector<const char*>& causeNames() {
    static const std::vector<const char*> names = [] {
        std::vector<const char*> n = {"interrupted", "text_store", "ended_early", "refused"};
        for (int f = static_cast<int>(FileRefusal::OwnFile);
             f <= static_cast<int>(FileRefusal::LengthFaultDeclined); ++f)
            n.push_back(refusalName(static_cast<FileRefusal>(f)));
        for (int k = 0; k <= static_cast<int>(RuleAbortKind::RecordUnreadable); ++k)
            n.push_back(abortName(static_cast<RuleAbortKind>(k)));
        for (int op = 0; op <= static_cast<int>(IoOperation::WriteLog); ++op)
            n.push_back(operationName(static_cast<IoOperation>(op)));
        return n;
    }();
    return names;
}

int FileResult::exitCode() const {
    switch (outcome) {
    case Outcome::Complete:
        return errors > 0 ? 1 : 0;
    case Outcome::Aborted:
        return 1;
    default:
        return 2;
    }
}

void CheckWindowServices::processMessages() {
    // Ctrl+C is the user's stop, as the "Stop" button is.
    if (g_interrupt && run_) {
        run_->stopRequest = true;
        run_->stopByUser = true;
    }
    if (quiet_ || (++calls_ & every_calls_) != 0) return;
    showProgress();
}

void CheckWindowServices::showProgress() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < every_ || !run_ || size_ == 0) return;
    last_ = now;
    // The observer hears from the file choice on (its Stop counts from there); the
    // terminal shows a position once the run has one.
    const long long pos = run_->position ? *run_->position : -1;
    const double secs = std::chrono::duration<double>(now - start_).count();
    if (observer_)
        observer_->progress(
            CheckProgress{static_cast<std::uint64_t>(std::max(0LL, pos)), size_, run_->recordCounter, secs});
    if (!out_ || pos < 0) return;
    const double mb = static_cast<double>(pos) / 1e6;
    char line[128];
    std::snprintf(line, sizeof line, "\r  %3d %%  %9.1f von %.1f MB  %7.1f MB/s ",
                  static_cast<int>(100.0 * static_cast<double>(pos) / static_cast<double>(size_)), mb,
                  static_cast<double>(size_) / 1e6, secs > 0 ? mb / secs : 0.0);
    std::string text = line;
    for (char& ch : text)
        if (ch == '.') ch = ',';
    *out_ << text << std::flush;
    shown_ = true;
}

void CheckWindowServices::finish() {
    if (shown_ && out_) *out_ << '\r' << std::string(60, ' ') << '\r' << std::flush;
    shown_ = false;
}

void requestInterrupt() {
    g_interrupt = true;
}
bool interruptRequested() {
    return g_interrupt;
}
void clearInterrupt() {
    g_interrupt = false;
}

FileResult checkFile(const std::string& file, const std::string& dataFolder, const CheckParameters& p,
                     const RunEnvironment& env) {
    FileResult r;
    r.file = file;
    const fs::path full = fs::absolute(platform::fsPath(file)).lexically_normal();
    const std::string path = platform::pathText(full);
    std::error_code ec;
    if (!fs::is_regular_file(full, ec)) {
        r.outcome = Outcome::Missing;
        r.reason = fs::exists(full, ec) ? "keine Datei" : "Datei nicht gefunden";
        return r;
    }
    r.fileSize = fileLength(path);
    r.logPath = withSeparator(dataFolder) + "Error.log";

    AnsweringMessageBox box(env.boxes);
    OptionAnswers answers(p.answers, box);
    CheckWindowServices pump(r.fileSize >= env.progressFrom ? env.progress : nullptr, r.fileSize,
                             env.progressEvery, env.observer);
    GivenFileDialogs dialogs(pathAsEngineText(path));
    ServicesScope scope(&box, &pump, nullptr, &dialogs);

    // The engine works on its model and shows nothing; its boxes are the answering box's.
    CheckRun run;
    run.parameters = runParameters(path, dataFolder, p);
    SilentRunDisplay display;
    CheckEngine engine(run, display, &run, &answers);
    pump.watch(&run);
    FindingTally tally;
    tally.forwardTo(env.findings);
    run.findings.forwardTo(&tally);
    const auto t0 = std::chrono::steady_clock::now();
    const bool recognised = drive(engine, run, p);
    engine.flushLog();
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    r.version = run.version;
    // Closing the long-text table writes its last texts; a failure there is logged too.
    engine.closeTextTable();
    const std::string textStoreFault = run.texts.fault();
    engine.closeFiles();
    run.findings.forwardTo(nullptr);
    pump.finish();

    const Reached reached =
        classify(r, recognised, tally.result(), run.findings, run.outcome, textStoreFault);
    r.groups = run.findings.groups().sorted();
    r.shownOutcome = ansiToUtf8(outcomeText(run.outcome, run.findings));
    for (std::size_t at = 0; (at = r.shownOutcome.find("\r\n", at)) != std::string::npos;)
        r.shownOutcome.erase(at, 1);
    // The run's end line and every finding carry the record counter and the record's
    // offset. The header counts as read once the file is recognised (version 2000 shows
    // no counter outside a run).
    r.records = std::max<std::uint64_t>(reached.record, recognised ? 1 : 0);
    r.bytes = r.outcome == Outcome::Complete ? r.fileSize : reached.offset;
    return r;
}

} // namespace arti::cli
