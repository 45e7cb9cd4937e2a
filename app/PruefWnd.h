// PRUEF_WND: the logic of the main check window. It holds the window's state and
// handlers in plain C++ and reaches its face through IPruefView.
#pragma once

#include "app/Controls.h"
#include "app/PruefView.h"
#include "core/Services.h"
#include "rules/CheckContext.h"
#include "rules/DeferredText.h"
#include "run/CheckRun.h"
#include "views/RecordViewers.h"
#include "views/Windows.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace arti {

class PRUEF_WND final : public IMainWindowLink, public IViewerOwner {
public:
    PRUEF_WND();
    ~PRUEF_WND() override;
    PRUEF_WND(const PRUEF_WND&) = delete;
    PRUEF_WND& operator=(const PRUEF_WND&) = delete;

    void attachView(IPruefView* view) {
        view_ = view;
        controls.attach(view);
    }
    IPruefView* view() const { return view_; }
    Owner owner() const { return this; }

    // Window construction: the template's captions and initial control states.
    void INIT();
    bool SETUP();
    // Timer message of the one-shot start timer: the start hints window and, when an
    // update service is installed, the automatic update check.
    void TIMERFIRED();
    // Asked by the window system before the window closes; true lets it close.
    bool QUERYCLOSE();
    void PSHCANCEL();
    // Ends the window: a shown window is asked to close (through QUERYCLOSE), a window
    // never shown is simply marked ended.
    void ENDDIALOG();
    void FELDWNDCLOSE();
    void SEQUENZWNDCLOSE();
    void ISCHILD(bool open) override { _LFELD = open; }

    bool ended() const { return ended_; }
    bool shown() const { return shown_; }
    void markShown() { shown_ = true; }
    void markClosed() { ended_ = true; }
    TimerId startTimer() const { return startTimer_; }

    // --- Error log and findings list (PruefLog.cpp) ---
    // Logs a finding; with pop-ups on it shows it in a question box (OK and Cancel during
    // a run, OK alone otherwise).
    void ERRORLOG(const std::string& text);
    // Logs a finding whose pop-up is a box of the given kind (an error box for a refused
    // file).
    void ERRORLOG(const std::string& rawText, BoxKind popup);
    // A refusal that ends the check: sets the stop request, logs the message and keeps it
    // as the way the check ended.
    void refuseCheck(const std::string& text);
    void CREATELISTVIEW();
    void FILLLISTVIEW(const std::vector<ListRow>& rows);
    void LISTVIEWMOUSEBUTTONDOUBLECLICK();
    void PSHPROT();
    long CALLEXPLORER(const std::string& target = "C:\\", const std::string& verb = "open",
                      const std::string& parameters = "") override;
    // Writes what the log has buffered to the file.
    void flushLog();

    // --- File choice, version recognition, per-version update (PruefFile.cpp) ---
    void PSHDATEI();
    void UPDATE0590(const std::string& record);
    void UPDATE0196(const std::string& record);
    void UPDATE2000(const std::string& record);
    // Cuts a version 2000 record at the shown separator into the field table, where
    // _ALIST and FELDPRUEF2000 find its fields (UPDATE2000 does it for every record).
    void splitRecord2000(std::string_view record);
    // The fields of the version 2000 record at hand (the surplus ones included), as cut
    // by splitRecord2000.
    std::vector<std::string_view> _ALIST() const;
    // Field checks of each version; they test "Feld-Prüfung ein" themselves. FELDPRUEF2000
    // checks the record splitRecord2000 has cut.
    void FELDPRUEF0590(const std::string& record);
    void FELDPRUEF0196(const std::string& record);
    void FELDPRUEF2000(const std::string& record);
    // Article-number rules between the A record and its B and Z records (PruefComposite.cpp).
    void VERBUND0196(const std::string& record);
    void VERBUND0590(const std::string& record);
    // Date window test of the header date.
    void DATUMSWECHSEL(const std::string& date, const std::string& label);

    // --- Record step, run and navigation (PruefRun.cpp) ---
    bool LIESSATZ() override;
    void PSHSTART();
    void PSHSTOP();
    void PSHNEXT();
    void PSHBACK();
    void PSHBOF();
    void PSHEOF();
    void PSHOK();
    void EOF_BOF();
    void OFFSET() override;
    void RESET(bool displays = true, bool controlsOff = true);
    // File offset at which the current record starts; OEM flag; version identifier.
    long long offset() const;
    bool ascii() const { return run._LASCII; }
    const std::string& norm() const { return run.versionLabel; }

    // --- Record sequence rules (PruefSequence.cpp) ---
    bool SATZFOLGE(const std::string& status);
    bool SATZFOLGELFD(std::string_view head);

    // --- Long texts of version 01/96 (PruefTexts.cpp) ---
    void DBTEXT(const std::string& record);

    // Secondary windows (PruefWnd.cpp).
    void PSHSYSTEM();
    void PSHABOUT();
    void PSHVIEW();
    void SETPARAM() override;

    // Handlers of the face.
    void BUTTONCLICK(Ctl checkBox);
    // Ticks or unticks one of the check boxes "Feld-Prüfung", "Fehler PopUp" and
    // "List-Anzeige" and makes its caption tell the state.
    void setOption(Ctl checkBox, bool on);
    void EDITCHANGE();
    void VERTICALSPIN(int value);

    // How the last check (a file choice or a run) ended. The instruction text shows it,
    // whatever the pop-up setting, until the next file choice or run.
    const CheckOutcome& outcome() const { return run.outcome; }
    // Notes a refusal as the way the check ended; outside a run it is shown at once.
    void noteRefusal(const std::string& text, bool fileRefused = false);
    // Shows the outcome in the instruction text; false when there is none to show.
    bool showOutcome();

    // Closes the data file and the error log of the current check.
    void closeFiles();
    // Forgets everything the previous file left behind (code page, end mark, order and
    // composite state, long-text place, the cached length), so that a file's result never
    // depends on the file checked before it. Called at each file choice before the header
    // is read.
    void resetFileState();
    // Closes the long-text table, when one is open, and reports texts it could not write.
    void closeTextTable();
    // Why the long-text table could not take the texts of the current file (Windows-1252,
    // as logged after "Fehler: "); empty while it could.
    const std::string& textStoreFault() const { return run.textStoreFault; }

    // The log file of the check (0: none). useLog() hands the window an open log.
    FileHandle logFile() const { return logWriter_.handle(); }
    void useLog(FileHandle handle) { logWriter_.attach(handle); }

    ControlMirror controls;
    // The model of the check: file, positions, state, options, log and outcome.
    CheckRun run;

    // Window state.
    bool _LALLOWCLOSE = false;
    bool _LFELD = false;
    bool _LSEQUENZ = false;
    IChildWindow* _OODFELD = nullptr;
    IChildWindow* _OODSEQUENZ = nullptr;

private:
    void runDeferredTasks();

    IPruefView* view_ = nullptr;
    TimerId startTimer_ = 0;
    bool shown_ = false;
    bool ended_ = false;

    // ---- Error log buffer and viewer hooks (PruefLog.cpp, PruefFile.cpp) ----
public:
    // Writes an empty line (CR LF alone) into the log: after the copy of the header
    // record and before the stop message of a run.
    void logEmptyLine();


    // The record displays written from the model: counter, position, length and type
    // of the record, version, separator, announcement, error count.
    void showCounter(std::optional<unsigned long> counter);
    void showPosition(std::optional<long long> position);
    void showRecordLength(std::optional<long long> length);
    void showRecordType(std::string_view type);
    void showVersion(Version version, std::string_view label);
    void showSeparator(std::string_view separator);
    void showAnnouncement(std::string_view announcement);
    void showErrors(std::optional<unsigned long> errors);
    void showOem(bool oem);
    // Sets a run option from its check box, the caption following it.
    void applyOption(Ctl checkBox, bool on);
    // The run starts and stops counting its findings (not its closing lines).
    void startCounting();
    void stopCounting();

private:
    // The stop request and, with pop-ups on, the box of a failed log write.
    void reportLogWriteFailure();

    LogFileWriter logWriter_{this, run._LTURN};

    // ---- Long-text preparation and the run's own state (PruefTexts.cpp, PruefRun.cpp) ----
public:
    // Prepares the long-text table at the choice of a 01/96 file whose announcement
    // holds "T": sets _TFLAG, empties _CTEXTINDEX, creates VTEXT.DBF when it is missing,
    // offers to make it anew when it is damaged, opens it with its index into _OSERVER
    // and, when it holds rows of an earlier run, asks whether to delete them. Expects
    // _LZAP set by the file preparation.
    void prepareLongTexts();

private:
    // Opens the long-text table into _OSERVER, making it when it is missing or damaged
    // (after asking); false, reported, when there is none.
    bool openTextTable();
    // Logs a fault of the long-text table as an error and keeps the first of the file.
    void reportTextStoreFault(const std::string& text);

    // A text record read at this offset goes into the long-text table only when it lies
    // behind the last one stored, so that reading it again does not store it twice.
    bool textRecordIsNew() const { return run._NZEIGER > run.textStoredAt; }

    // ---- Date window and currency questions of the field rules (PruefRules.cpp) ----
public:
    // A valid date of a date field (`field` its running number, or a label): outside the
    // run's date window, asks whether to widen the window for this run.
    void DATUMSWECHSEL(const Date& date, const std::string& field);
    // A currency code that differs from the run's: asks whether to adopt it for this run.
    void WAEHRUNGSWECHSEL(const std::string& currency);

    // ---- Field table of the record at hand and composite state of the article records
    //      (PruefFields0196.cpp, PruefComposite.cpp) ----
public:
    // The field counter display ("übergebeneFelder").
    void showFieldCount(std::size_t count);
    // The byte position as the window shows it, written only when a finding names it.
    DeferredText shownPositionText() const;
    // The article-number rule with its three texts: the record type letter ("B" or "Z"),
    // the record's field 3 ("Schalter Art.Nr.") and field 4 ("Artikel-Nr."). The
    // one-argument forms above take the B or Z record text and cut the three from it.
    void VERBUND0196(std::string_view recordType, std::string_view articleSwitch, std::string_view articleNumber);
    void VERBUND0590(std::string_view recordType, std::string_view articleSwitch, std::string_view articleNumber);
};

// The main window as the field rules see it: findings go to the error log, the switches
// are its check boxes, the settings are the run's settings in memory, changes of the date
// window and currency are shown in its displays, questions are boxes it owns.
class PruefCheckContext final : public ICheckContext {
public:
    explicit PruefCheckContext(PRUEF_WND& wnd) : w_(wnd) {}

    void report(const std::string& text) override;
    void setFindingPosition(long long position) override;
    std::string_view recordNumber() const override;
    long long recordOffset() const override;
    CheckSwitches switches() const override;
    const std::string& currency() const override;
    const std::string& countryCodes() const override;
    DateWindow dateWindow() const override;
    void setDateWindow(const DateWindow& window) override;
    void setCurrency(std::string_view code) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void showFields(const FieldTable& table) override;

private:
    PRUEF_WND& w_;
};

} // namespace arti
