// The model of a check: the data file and its positions, the record at hand, the
// version, the code page, the announcement, the long-text store, the run's options and
// how the check ended.
// Everything is a typed value. The main window writes its displays from it; the
// command-line checker sets the options and reads the outcome here. The members keep
// the names the window's routines know them by, with the underscore at the end
// (`NZEIGER_`, `LTURN_`): a leading underscore before a capital letter is reserved.
#pragma once

#include "records/IoFailure.h"
#include "rules/CheckContext.h"
#include "rules/FieldTable.h"
#include "rules/Version.h"
#include "run/ErrorLog.h"
#include "run/FileFindings.h"
#include "run/LongTextStore.h"
#include "run/RecordSource.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace arti {

// The options of a run: the main window's check boxes and delay spinner, or the
// command line's.
// The first four in the order of CheckSwitches, which the field checks of every record
// are handed.
struct RunOptions {
    bool fieldChecks = false; // "Feld-Prüfung ein"
    bool listDisplay = false; // "List-Anzeige ein": the findings list shows each record
    // "ASCII = markiert / ANSI": characters are checked as code page 850. The file's
    // recognition sets it with the code page; the user may change it for the checks.
    bool oemCharacters = true;
    bool asciiCheckOff = false; // "ASCII-Zeichenprüfung aus": characters above 127 allowed
    bool popups = false;        // "Fehler PopUp ein": every finding in a box
    int delay = 0;              // tenths of a second between the records of a run
};

// What a check runs with, handed to the run by whoever starts it: the main window from
// its settings, the command-line checker from its options. The run keeps its own copy;
// what the user adopts in a question changes the copy, and the display is told.
struct RunParameters {
    std::string currency;     // the currency the price fields are expected in
    std::string countryCodes; // the country codes the country fields may hold
    DateWindow dateWindow;    // dates outside it are questioned
    // The user data folder (ends in the path separator): "Error.log" and the long-text
    // store of version 01/96.
    std::string dataFolder;
    // Where the file dialog starts; the folder of the file chosen last.
    std::string sourceFolder;
    // The folder the file choice makes the current folder again after its dialog
    // (empty: the current folder stays).
    std::string programFolder;
};

// How the last check (a file choice or a run) ended.
enum class CheckEnd { None, FileEnd, ByUser, Refused };

// Why the file choice refused a file.
enum class FileRefusal {
    None,
    OwnFile,             // a file the check writes itself (its log, its long-text store)
    NoLog,               // the check's log could not be made
    Empty,               // the file holds no byte
    Unopenable,          // the file could not be opened
    BadSeparator,        // a version 2000 separator the format does not admit
    BadFileEnd,          // the file does not end in CR LF (before an end mark)
    HeaderUnreadable,    // no header record could be read
    HeaderNotRecognised, // the first record is no header
    VersionNotSupported, // a header of a version that cannot be checked
    OrderEntryMissing,   // a version 2000 header without the announced record order
    LengthFaultDeclined, // the length is no multiple of the record length and the user stopped
};

// Which rule ended a check (a run, or a step by hand) before the end of the file.
enum class RuleAbortKind {
    RecordLength,     // a record of 05/90 or 01/96 that is not 128 characters and CR LF
    ControlRecord,    // the second record is not the customer control record
    OrderNotAdmitted, // the record order the header announces is not admitted
    OrderBroken,      // a record out of the order a run from the header follows
    TypeNotAnnounced, // a record type the header does not announce (ends a run only)
    RecordUnreadable, // a record could not be read before the end of the file
};

struct RuleAbort {
    RuleAbortKind kind = RuleAbortKind::RecordLength;
    std::optional<unsigned long> record; // the record counter as shown (none: not shown)
    long long offset = 0;                // where the record starts in the file
    std::string message;                 // the finding as logged, Windows-1252
};

// Every way a check of a file ends, most telling first.
enum class OutcomeKind {
    None,      // nothing has ended yet (a file choice in progress, steps by hand)
    IoFailure, // a file operation failed
    Refused,   // the file choice refused the file
    RuleAbort, // a rule of the file's format ended the check
    ByUser,    // the user stopped the run
    FileEnd,   // the run reached the end of the file
    EndedEarly // the run ended before the end of the file for another reason (see the log)
};

struct CheckOutcome {
    CheckEnd end = CheckEnd::None;
    bool run = false;         // a run ended (not a file choice or a step)
    bool fileRefused = false; // the file choice refused the file
    std::string refusal;      // the refusal's message, Windows-1252
    FileRefusal fileRefusal = FileRefusal::None;
    // The first rule that ended the check, with the record it ended at.
    std::optional<RuleAbort> abort;
    // The first file operation that failed since the file was chosen; a run keeps it.
    std::optional<IoFailure> ioFailure;
    // The run's closing line at the end of the file has been logged: what is logged
    // after it (the header read again to show it) belongs to no run.
    bool endLogged = false;

    OutcomeKind kind() const;
};

class CheckRun {
public:
    // --- The data file ---
    RecordSource source;
    Version version = Version::None;
    // The version as the header names it: the version display shows it.
    std::string versionLabel;
    // The file is in the OEM code page (850); false: ANSI (Windows-1252).
    bool LASCII_ = true;
    // The NUL replacement as the 05/90 reader puts it in place of a zero byte (a byte
    // of code page 850).
    std::string CCHR0_ = std::string(1, static_cast<char>(250));
    // The field separator of version 2000 (one character; empty before its header).
    std::string separator;
    // The record types the header announces (05/90: gathered from the records met).
    // Written through CheckEngine::showAnnouncement, which keeps the engine's table of
    // the announced types with it.
    std::string announcement;
    // The file was recognised and may be run.
    bool fileReady = false;

    // --- The record at hand ---
    unsigned long recordCounter = 0;
    // The counter as the window shows it; none while it shows nothing (version 2000
    // outside a run that follows the order).
    std::optional<unsigned long> shownCounter;
    long long NZEIGER_ = 0;   // file offset at which the record starts
    long long NPOSITION_ = 0; // position in the record of the next finding
    // The file position behind the record, its length without CR LF and its type, as
    // shown; none (empty) before the first record of a file.
    std::optional<long long> position;
    std::optional<long long> recordLength;
    std::string recordType;
    // The errors logged since the header was read; none (empty display) right after it.
    std::optional<unsigned long> shownErrors;
    // The field table of the record; it stays until the next record for the findings
    // list and the field viewer.
    FieldTable fieldTable;
    // The record kept for the sequence viewer, and the header's fields (version 2000).
    std::string CPUFFER_;
    std::vector<std::string> AFELDER_;

    // --- The run ---
    bool LTURN_ = false;    // an automatic run is in progress
    bool LBACK_ = false;    // the record step goes backwards ("<1")
    bool LVORLAUF_ = false; // the header has been copied into the log

    // --- The long texts of version 01/96 (the sequence viewer reads the table) ---
    LongTextStore texts;

    // --- Parameters, options, the stop request, the log and the outcome ---
    RunParameters parameters;
    RunOptions options;
    // Stop request of the run: raised by "Stop", by refusals and by the file routines
    // (through the engine), polled by the run before every record.
    bool stopRequest = false;
    // Raised with the stop request when the user asked for it ("Stop", "Beenden", OK in a
    // finding's box); a request raised by a refusal of the check leaves it clear, so the
    // log does not blame the user for a stop the check made.
    bool stopByUser = false;
    ErrorLog log;
    // The findings of the file choice and the last run, counted and in groups.
    FileFindings findings;
    CheckOutcome outcome;

    // Forgets everything the previous file left behind, so that a file's result never
    // depends on the file checked before it.
    void resetFileState();
};

// Says that the data file at `path` was replaced or deleted on disk (Windows-1252).
std::string replacedFileText(const std::string& path);

} // namespace arti
