// The engine's own state handling: the record displays written from the model, the
// options, the files, and the error log.
//
// The log "Error.log" gets one line per finding. A check run can report many findings
// per second, so the writer collects the lines in a buffer and writes them in large
// pieces: when the buffer is large, whenever no automatic run is in progress (a person
// stepping by hand may look at the log at any time), and through flushLog() at the end
// and stop of a run, before the log is shown and when the files are closed.
#include "run/CheckEngine.h"

#include "core/Oem.h"
#include "core/Text.h"
#include "records/FileAccess.h"
#include "run/CheckFunctions.h"

#include <string_view>

namespace arti {

using namespace arti::literals;

CheckEngine::CheckEngine(CheckRun& checkRun, IRunDisplay& runDisplay, Owner owner, IRunQuestions* questions)
    : run(checkRun), display(runDisplay), owner_(owner), logWriter_(owner, checkRun.LTURN_),
      boxQuestions_(questions ? nullptr : std::make_unique<BoxRunQuestions>(owner)),
      questions_(questions ? questions : boxQuestions_.get()) {
    run.log.subscribe(&logWriter_);
    run.log.subscribe(&run.findings);
    noteAnnouncement();
}

CheckEngine::~CheckEngine() {
    run.log.unsubscribe(&run.findings);
    run.log.unsubscribe(&logWriter_);
}

void CheckEngine::showVersion(Version version, std::string_view label) {
    run.version = version;
    run.versionLabel.assign(label);
    display.showVersion(label);
}

void CheckEngine::showSeparator(std::string_view separator) {
    run.separator.assign(separator);
    display.showSeparator(separator);
}

void CheckEngine::showAnnouncement(std::string_view announcement) {
    // The text may be the model's own (05/90 adds a type to it).
    run.announcement = std::string(announcement);
    noteAnnouncement();
    display.showAnnouncement(run.announcement);
}

void CheckEngine::showErrors(std::optional<unsigned long> errors) {
    run.shownErrors = errors;
    display.showErrors(errors);
}

void CheckEngine::showOem(bool oem) {
    run.LASCII_ = oem;
    setOption(RunOption::OemCharacters, oem, false);
}

void CheckEngine::setOption(RunOption option, bool on, bool caption) {
    RunOptions& o = run.options;
    switch (option) {
    case RunOption::OemCharacters:
        o.oemCharacters = on;
        break;
    case RunOption::FieldChecks:
        o.fieldChecks = on;
        break;
    case RunOption::Popups:
        o.popups = on;
        break;
    case RunOption::ListDisplay:
        o.listDisplay = on;
        break;
    case RunOption::AsciiCheckOff:
        o.asciiCheckOff = on;
        break;
    }
    display.showOption(option, on, caption);
}

long long CheckEngine::offset() const {
    return run.position.value_or(0) - run.recordLength.value_or(0) - 2;
}

void CheckEngine::closeFiles() {
    if (logFile() != 0) {
        flushLog();
        FCLOSE(logFile());
        useLog(0);
    }
    run.source.close();
}

void CheckEngine::resetFileState() {
    run.resetFileState();
    order_.reset();
    composite_.reset();
    showOem(true);
}

void CheckEngine::forgetRecord() {
    run.recordCounter = 0;
    run.NZEIGER_ = 0;
    run.NPOSITION_ = 0;
    run.CPUFFER_.clear();
    run.shownCounter.reset();
    run.position.reset();
    run.recordLength.reset();
    run.recordType.clear();
    run.version = Version::None;
    run.versionLabel.clear();
    run.separator.clear();
    run.announcement.clear();
    noteAnnouncement();
    run.shownErrors.reset();
}

void CheckEngine::ERRORLOG(MessageKind kind, const std::string& text, std::uint32_t field) {
    ERRORLOG(kind, text, run.LTURN_ ? BoxKind::OkCancel : BoxKind::Question, field);
}

std::string CheckEngine::withoutNul(const std::string& text) const {
    std::string out = text;
    const std::string nul = oemToAnsiCopy(run.CCHR0_);
    for (char& c : out)
        if (c == '\0') c = nul.empty() ? ' ' : nul[0];
    return out;
}

void CheckEngine::ERRORLOG(MessageKind kind, const std::string& rawText, BoxKind popup, std::uint32_t field) {
    // A zero byte of the file (a record type, a field) is shown as the record lines show
    // it, the NUL replacement, never written raw into the box, the log or a terminal.
    std::string replaced;
    if (rawText.find('\0') != std::string::npos) replaced = withoutNul(rawText);
    const std::string& text = replaced.empty() ? rawText : replaced;
    // A finding about the record at hand names its type; one about the file or the run does
    // not (the type shown then is a record's before).
    const std::string_view recordType =
        traitsOf(kind).ofRecord ? std::string_view(run.recordType) : std::string_view();
    const Finding finding{run.shownCounter, run.NZEIGER_, run.NPOSITION_,     text, kind,
                          recordType,       field,        countsAsError(kind)};
    if (finding.error) showErrors(run.shownErrors.value_or(0) + 1);
    windowServices().processMessages();

    if (run.options.popups) {
        // During a run OK stops it before its next record and Cancel lets it go on.
        const BoxButton answer = box().show(owner_, popup, findingPrefix(finding), text);
        if (answer == BoxButton::Ok) {
            run.stopRequest = true;
            run.stopByUser = true;
        }
    }
    run.log.log(finding);
    if (logWriter_.takeFailure()) reportLogWriteFailure();
    windowServices().processMessages();
}

void CheckEngine::refuseCheck(RuleAbortKind kind, MessageKind message, const std::string& text) {
    run.stopRequest = true;
    ERRORLOG(message, text);
    noteAbort(kind, text);
    noteRefusal(text);
}

void CheckEngine::noteRefusal(const std::string& text, FileRefusal fileRefusal) {
    run.outcome.end = CheckEnd::Refused;
    run.outcome.fileRefused = fileRefusal != FileRefusal::None;
    run.outcome.fileRefusal = fileRefusal;
    // As the log has it: a zero byte of the file as the NUL replacement.
    run.outcome.refusal = text.find('\0') == std::string::npos ? text : withoutNul(text);
    if (!run.LTURN_) display.outcomeChanged();
}

void CheckEngine::noteAbort(RuleAbortKind kind, const std::string& text) {
    if (run.outcome.abort) return;
    run.outcome.abort = RuleAbort{kind, run.shownCounter, run.NZEIGER_, withoutNul(text)};
}

void CheckEngine::noteIoFailure(IoOperation operation, const std::string& path, const std::string& message) {
    ioFailed(IoFailure{operation, 0, path, {}, message});
}

// The first failure since the file was chosen is kept; the engine's own files are
// named where the file routines knew only their handle.
void CheckEngine::ioFailed(const IoFailure& failure) {
    if (run.outcome.ioFailure) return;
    IoFailure& f = run.outcome.ioFailure.emplace(failure);
    const bool ofLog = f.handle != 0 && f.handle == logFile();
    if (ofLog && f.operation == IoOperation::Write) f.operation = IoOperation::WriteLog;
    if (f.path.empty() && ofLog)
        f.path = errorLogPath(run.parameters.dataFolder);
    else if (f.path.empty() && f.handle != 0 && f.handle == run.source.handle())
        f.path = run.source.path();
}

// A file routine ended the check: it stops before its next record.
void CheckEngine::ioStopped(IoStop) {
    run.stopRequest = true;
}

void CheckEngine::logEmptyLine() {
    logWriter_.append("\r\n");
    if (logWriter_.takeFailure()) reportLogWriteFailure();
}

void CheckEngine::flushLog() {
    // The writer shows the system's error itself. What it could not write is dropped:
    // the stop request ends the run, and keeping the lines would only repeat the failure.
    logWriter_.flush();
    if (logWriter_.takeFailure()) reportLogWriteFailure();
}

void CheckEngine::reportLogWriteFailure() {
    run.stopRequest = true;
    const std::string text =
        "Eintrag in Error-Log-Datei konnte nicht geschrieben werden !\r\nAbbruch der Prüfung !"_ansi;
    if (run.options.popups) box().info(owner_, "Fehler", text);
    noteIoFailure(IoOperation::WriteLog, errorLogPath(run.parameters.dataFolder), text);
}

} // namespace arti
