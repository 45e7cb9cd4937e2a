// One file checked without a screen: the main check window's logic behind a face that
// shows nothing; the file choice ("Datei"), the run's options set on the check's model,
// the run ("Durchlauf Start"). The counts and how far the check got come from the
// findings as the check's error log hands them over.
#pragma once

#include "cli/LogTally.h"
#include "cli/Options.h"
#include "core/Dates.h"
#include "core/Services.h"
#include "run/CheckRun.h"
#include "run/FindingGroups.h"

#include "rules/Version.h"

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace arti {
class CheckRun;
}

namespace arti::cli {

struct CheckParameters {
    std::string currency = "EUR";
    std::string country = "DE";
    int decimals = 2;
    Date dateFrom{};
    Date dateTo{};
    bool fieldChecks = true;
    bool asciiCheckOff = false;
    // The findings list is filled for every record only when somebody looks at it; the
    // benchmarks turn it on to measure the run as the window makes it.
    bool listDisplay = false;
    // Findings as pop-ups: off, nobody is there to close them. With them on, the box of
    // each finding of a run is answered "go on" (the fuzz target of the check run).
    bool popups = false;
    Answers answers;
};

enum class Outcome {
    Complete,      // run to the end of the file
    Aborted,       // the run ended early at a fault of the file
    NotRecognised, // refused before the run
    IoError,       // a read, write or open failed, or the log is incomplete
    Interrupted,   // stopped by the user (Ctrl+C)
    Missing,       // no such file
};

struct FileResult {
    std::string file;    // as given
    std::string logPath; // the log the check wrote
    Outcome outcome = Outcome::NotRecognised;
    Version version = Version::None; // the version the file was recognised as
    std::string reason;              // UTF-8: why the check ended early or was refused
    // What ended it, as a stable name for scripts (empty for a complete check): the
    // refusal's kind, the rule that aborted, the failed operation (causeNames() lists them).
    std::string cause;
    std::string ioPath; // UTF-8: the file of a failed operation, where it is known
    std::uint64_t records = 0;
    std::uint64_t bytes = 0; // bytes checked
    std::uint64_t fileSize = 0;
    std::uint64_t messages = 0;
    std::uint64_t errors = 0;
    double seconds = 0;
    // The findings counted in `messages`, in groups, largest first.
    std::vector<FindingGroup> groups;
    // How the check ended in the main window's words (UTF-8, lines split by "\n"), when
    // it ran or was refused.
    std::string shownOutcome;

    // 0: complete without errors; 1: errors, or ended early at a fault of the file;
    // 2: not checked.
    int exitCode() const;
};

// Every name `FileResult::cause` takes.
const std::vector<const char*>& causeNames();

// How far a check has got.
struct CheckProgress {
    std::uint64_t position = 0; // bytes read
    std::uint64_t size = 0;     // of the whole file
    std::uint64_t records = 0;  // records read
    double seconds = 0;         // since the check started
};

// Gets the progress of a check at the pace of its display (the web page's worker).
class IProgressObserver {
public:
    virtual ~IProgressObserver() = default;
    virtual void progress(const CheckProgress& p) = 0;
};

// The message pump of the check: where a Ctrl+C becomes the stop request and where
// the progress of a large file is shown on a terminal (`progress`) or handed to an
// observer.
class CheckWindowServices final : public IWindowServices {
public:
    CheckWindowServices(std::ostream* progress, std::uint64_t fileSize,
                        std::chrono::milliseconds every = std::chrono::milliseconds(250),
                        IProgressObserver* observer = nullptr)
        : out_(progress), observer_(observer), size_(fileSize), every_(every) {}
    // The run whose stop request a Ctrl+C raises and whose progress is shown.
    void watch(CheckRun* run) { run_ = run; }
    void processMessages() override;
    TimerId startTimer(unsigned, bool, std::function<void()>) override { return 0; }
    void killTimer(TimerId) override {}
    void beep(unsigned, unsigned) override {}
    // Clears the progress line, if one was written.
    void finish();

private:
    void showProgress();

    std::ostream* out_;
    IProgressObserver* observer_;
    std::uint64_t size_;
    std::chrono::milliseconds every_;
    CheckRun* run_ = nullptr;
    std::uint32_t calls_ = 0;
    // Nothing to show: no progress line and no observer.
    bool quiet_ = !out_ && !observer_;
    // The clock is asked every few thousand calls; an observer (the web page's Stop) is
    // asked more often, so that it is answered within milliseconds.
    std::uint32_t every_calls_ = observer_ ? 0xFF : 0xFFF;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_ = start_;
    bool shown_ = false;
};

// The file choice of the check: the one file it was given.
class GivenFileDialogs final : public IFileDialogs {
public:
    explicit GivenFileDialogs(std::string file) : file_(std::move(file)) {}
    std::string openFile(Owner, const std::string&, const std::string&, const std::string&) override {
        return file_;
    }
    std::string chooseFolder(Owner, const std::string&, const std::string&) override { return {}; }

private:
    std::string file_;
};

struct RunEnvironment {
    std::ostream* progress = nullptr;       // progress of large files (null: none)
    std::ostream* boxes = nullptr;          // the check's message boxes (null: not shown)
    IFindingObserver* findings = nullptr;   // gets every finding counted (null: none)
    IProgressObserver* observer = nullptr;  // gets the progress of every file (null: none)
    std::uint64_t progressFrom = 4'000'000; // smallest file with a progress display
    std::chrono::milliseconds progressEvery{250};
};

// What the check of `file` runs with: the parameters, the data folder, and the file's
// folder as the one its file choice starts in.
RunParameters runParameters(const std::string& file, const std::string& dataFolder, const CheckParameters& p);

// Checks one file with the engine; its "Error.log" is written into `dataFolder`.
FileResult checkFile(const std::string& file, const std::string& dataFolder, const CheckParameters& p,
                     const RunEnvironment& env);

// Ctrl+C: safe to call from a signal handler; the running check stops before its
// next record.
void requestInterrupt();
bool interruptRequested();
void clearInterrupt();

} // namespace arti::cli
