// The check engine: file choice and version recognition, the record step, the run and
// the navigation, the order and article rules, the field checks, the long texts of
// version 01/96 and the error log. It composes the order tracker and the composite
// tracker, works on the model (CheckRun, which owns the data file and the long-text
// store), reports to them as their IRunFindings, shows what it does
// through an IRunDisplay and asks its questions in message boxes owned by `owner`.
// The main window hands its buttons to it; the command-line checker runs it with a
// display that shows nothing.
#pragma once

#include "core/ByteSet.h"
#include "core/Services.h"
#include "rules/CheckContext.h"
#include "rules/DeferredText.h"
#include "run/CheckRun.h"
#include "run/CompositeTracker.h"
#include "run/ErrorLog.h"
#include "run/OrderTracker.h"
#include "run/RunDisplay.h"
#include "run/RunFindings.h"
#include "run/RunQuestions.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

class CheckEngine;

// The check engine as the field rules see it: findings go to its error log, the
// switches are the run's options, the date window and currency are the run's
// parameters, questions go to the engine's questions.
class EngineCheckContext final : public ICheckContext {
public:
    // The finding position is the run's (NPOSITION_).
    explicit EngineCheckContext(CheckEngine& engine);

    void report(MessageKind kind, std::uint32_t field, const std::string& text) override;
    std::string_view recordNumber() const override;
    long long recordOffset() const override;
    CheckSwitches switches() const override;
    const std::string& currency() const override;
    const std::string& countryCodes() const override;
    DateWindow dateWindow() const override;
    void setDateWindow(const DateWindow& window) override;
    void setCurrency(std::string_view code) override;
    bool askWidenDateWindow(const std::string& caption, const std::string& text) override;
    bool askAdoptCurrency(const std::string& caption, const std::string& text) override;
    void showFields(const FieldTable& table) override;

private:
    CheckEngine& e_;
    mutable std::string number_;
};

class CheckEngine final : public IRunFindings, private IIoFailureObserver {
public:
    // `questions`: who answers the run's questions (null: their boxes, owned by `owner`).
    CheckEngine(CheckRun& run, IRunDisplay& display, Owner owner, IRunQuestions* questions = nullptr);
    ~CheckEngine();
    CheckEngine(const CheckEngine&) = delete;
    CheckEngine& operator=(const CheckEngine&) = delete;

    Owner owner() const override { return owner_; }
    IRunQuestions& questions() override { return *questions_; }
    // The parts the engine composes: the record order and the composite state of the
    // article records.
    OrderTracker& order() { return order_; }
    CompositeTracker& composite() { return composite_; }

    // --- File choice (FileChoice.cpp) ---
    // Asks for a file (or takes `given` without asking), opens it with a fresh log,
    // recognises its version and reads its header; run.fileReady tells whether it may be run.
    void chooseFile(const std::string& given = {});
    // Closes the data file and the error log of the current check.
    void closeFiles();
    // Forgets everything the previous file left behind (code page, end mark, order and
    // composite state, long-text place, the cached length), so that a file's result never
    // depends on the file checked before it.
    void resetFileState();
    // Empties the model's record and file values (the displays are the window's).
    void forgetRecord();

    // --- Record step, run and navigation (RecordStep.cpp) ---
    bool LIESSATZ();
    // Before a step or a run reads on: true while the data file is still the one its
    // path names. When another file has taken its place (or the path is gone) the user
    // is told and the file is chosen anew from its path, as "Datei" would without the
    // dialog; false then, and nothing reads on.
    bool keepsChosenFile();
    // The automatic run from the position to the end of the file or a stop.
    void runToEnd();
    void stop();
    void stepBack();
    void toStart();
    void toEnd();
    // The record behind a byte position the user entered.
    void goTo(std::string_view entry);
    // Shows the record that starts at `offset` (a finding's record), read and checked as a
    // step by hand reads it; the header at 0.
    void showRecordAt(long long offset);
    void EOF_BOF();
    // File offset at which the current record starts.
    long long offset() const;
    void setOption(RunOption option, bool on, bool caption);

    // --- The record of each version (FileChoice.cpp; the 2000 split in FieldChecks.cpp) ---
    void UPDATE0590(const std::string& record);
    void UPDATE0196(const std::string& record);
    // `kQuiet`: the display shows nothing (the checker's run), so the calls that show the
    // record and its fields are left out.
    template <bool kQuiet = false> void UPDATE2000(const std::string& record);
    // Cuts a version 2000 record at the separator into the field table.
    void splitRecord2000(std::string_view record);
    // The fields of the version 2000 record at hand (the surplus ones included).
    std::vector<std::string_view> ALIST_() const;

    // --- Field checks, article rules, date window and currency (FieldChecks.cpp) ---
    void FELDPRUEF0590(const std::string& record);
    void FELDPRUEF0196(const std::string& record);
    template <bool kQuiet = false> void FELDPRUEF2000(const std::string& record);
    // A valid date outside the run's date window: asks whether to widen the window.
    void DATUMSWECHSEL(const Date& date, const std::string& field);
    // A currency code that differs from the run's: asks whether to adopt it.
    void WAEHRUNGSWECHSEL(const std::string& currency);

    // --- Order rules (the order tracker, OrderRules.cpp) ---
    // Decides the order the announcement allows (nothing while stepping backwards).
    bool SATZFOLGE(const std::string& status);

    // --- Long texts of version 01/96 (the run's store, LongTexts.cpp) ---
    // Closes the long-text table, when one is open, and reports texts it could not write.
    void closeTextTable() { run.texts.close(*this); }

    // --- Error log (CheckEngine.cpp) ---
    // Logs a finding of the given kind, about field `field` of the record at hand (kNoField:
    // the record as a whole, or the file or the run, as the kind says); with pop-ups on it
    // shows it in a question box (OK and Cancel during a run, OK alone otherwise).
    void ERRORLOG(MessageKind kind, const std::string& text, std::uint32_t field = kNoField) override;
    // Logs a finding whose pop-up is a box of the given kind.
    void ERRORLOG(MessageKind kind, const std::string& rawText, BoxKind popup,
                  std::uint32_t field = kNoField);
    // A refusal that ends the check: sets the stop request, logs the message (of kind
    // `message`) and keeps it as the way the check ended.
    void refuseCheck(RuleAbortKind kind, MessageKind message, const std::string& text) override;
    // Notes a refusal as the way the check ended (`fileRefusal`: of the file at its
    // choice); outside a run it is shown at once.
    void noteRefusal(const std::string& text, FileRefusal fileRefusal = FileRefusal::None);
    // Notes the rule that ended the check, the first of a check, at the record at hand;
    // `text` is its finding.
    void noteAbort(RuleAbortKind kind, const std::string& text);
    // Notes a failed file operation the engine itself told the user of in a box.
    void noteIoFailure(IoOperation operation, const std::string& path, const std::string& message);
    // Writes an empty line (CR LF alone) into the log.
    void logEmptyLine();
    // Writes what the log has buffered to the file.
    void flushLog();
    FileHandle logFile() const { return logWriter_.handle(); }
    void useLog(FileHandle handle) { logWriter_.attach(handle); }

    // --- The record displays, written from the model ---
    // Written for every record of a run: inline, and a display that shows nothing is
    // not called. `kAsk` false: the caller knows that the display shows nothing.
    template <bool kAsk = true> void showCounter(std::optional<unsigned long> counter) {
        run.shownCounter = counter;
        if (kAsk && display.showsRecords()) display.showCounter(counter);
    }
    template <bool kAsk = true> void showPosition(std::optional<long long> position) {
        run.position = position;
        if (kAsk && display.showsRecords()) display.showPosition(position);
    }
    template <bool kAsk = true> void showRecordLength(std::optional<long long> length) {
        run.recordLength = length;
        if (kAsk && display.showsRecords()) display.showRecordLength(length);
    }
    template <bool kAsk = true> void showRecordType(std::string_view type) {
        // Mostly one letter in place of one letter: written in place.
        if (type.size() == 1 && run.recordType.size() == 1)
            run.recordType[0] = type[0];
        else if (std::string_view(run.recordType) != type)
            run.recordType.assign(type);
        if (kAsk && display.showsRecords()) display.showRecordType(type);
    }
    void showVersion(Version version, std::string_view label);
    void showSeparator(std::string_view separator);
    void showAnnouncement(std::string_view announcement);
    void showErrors(std::optional<unsigned long> errors);
    void showOem(bool oem);

private:
    // The file choice and the record step's parts per version work on the model and
    // the display as the engine's own routines do.
    class FileChoice;
    struct UpdateSteps;
    struct RecordSteps;
    friend class EngineCheckContext;

    CheckRun& run;
    IRunDisplay& display;

    void ioFailed(const IoFailure& failure) override;
    void ioStopped(IoStop why) override;
    // The text as the log and its pop-up take it: a zero byte as the NUL replacement.
    std::string withoutNul(const std::string& text) const;
    void reportLogWriteFailure();
    // The byte position as the window shows it, written only when a finding names it.
    DeferredText shownPositionText() const;

    Owner owner_;
    OrderTracker order_{*this};
    CompositeTracker composite_;
    // How many fields the version 2000 record was cut into.
    FieldTable::FillCount split2000_;
    // The context the field checks of every record reach the engine through.
    EngineCheckContext context_{*this};
    // The record types run.announcement names, one bit per byte value, made whenever the
    // engine sets the announcement (it alone writes it): the record step looks a record's
    // type up here.
    ByteSet announced_;
    void noteAnnouncement() { announced_ = ByteSet(run.announcement); }
    bool announces(char type) const { return announced_.has(type); }
    LogFileWriter logWriter_;
    std::unique_ptr<BoxRunQuestions> boxQuestions_;
    IRunQuestions* questions_;
    IoFailureWatch ioWatch_{*this};
};

} // namespace arti
