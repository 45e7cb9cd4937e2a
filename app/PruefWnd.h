// PRUEF_WND: the logic of the main check window. It holds the window's state and
// handlers in plain C++ and reaches its face through IPruefView.
#pragma once

#include "app/Controls.h"
#include "app/PruefView.h"
#include "app/runtime/Services.h"
#include "records/FileHandles.h"
#include "records/XBaseTable.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace arti {

class PRUEF_WND {
public:
    // The tasks run once, 500 ms after set-up: the start hints window and the automatic
    // update check. The update check returns true when it has started an installer.
    struct DeferredTasks {
        std::function<void(PRUEF_WND&)> startHints;
        std::function<bool(PRUEF_WND&)> updateCheck;
    };

    PRUEF_WND() = default;
    PRUEF_WND(const PRUEF_WND&) = delete;
    PRUEF_WND& operator=(const PRUEF_WND&) = delete;

    void attachView(IPruefView* view) {
        view_ = view;
        controls.attach(view);
    }
    IPruefView* view() const { return view_; }
    Owner owner() const { return this; }
    void setDeferredTasks(DeferredTasks tasks) { deferred_ = std::move(tasks); }

    // Window construction: the template's captions and initial control states.
    void INIT();
    bool SETUP();
    // Timer message of the one-shot start timer.
    void TIMERFIRED();
    // Asked by the window system before the window closes; true lets it close.
    bool QUERYCLOSE();
    void PSHCANCEL();
    // Ends the window: a shown window is asked to close (through QUERYCLOSE), a window
    // never shown is simply marked ended.
    void ENDDIALOG();
    void FELDWNDCLOSE();
    void SEQUENZWNDCLOSE();
    void ISCHILD(bool open) { _LFELD = open; }

    bool ended() const { return ended_; }
    bool shown() const { return shown_; }
    void markShown() { shown_ = true; }
    void markClosed() { ended_ = true; }
    TimerId startTimer() const { return startTimer_; }

    // --- Error log and findings list (PruefLog.cpp) ---
    void ERRORLOG(const std::string& text);
    void CREATELISTVIEW();
    void FILLLISTVIEW(const std::vector<ListRow>& rows);
    void LISTVIEWMOUSEBUTTONDOUBLECLICK();
    void PSHPROT();
    long CALLEXPLORER(const std::string& target = "C:\\", const std::string& verb = "open",
                      const std::string& parameters = "");
    // Writes what the log has buffered to the file.
    void flushLog();

    // --- File choice, version recognition, per-version update (PruefFile.cpp) ---
    void PSHDATEI();
    void UPDATE0590(const std::string& record);
    void UPDATE0196(const std::string& record);
    void UPDATE2000(const std::string& record);
    // Field checks of each version; they test "Feld-Prüfung ein" themselves.
    void FELDPRUEF0590(const std::string& record);
    void FELDPRUEF0196(const std::string& record);
    void FELDPRUEF2000(const std::string& record);
    // Date window test of the header date.
    void DATUMSWECHSEL(const std::string& date, const std::string& label);

    // --- Record step, run and navigation (PruefRun.cpp) ---
    bool LIESSATZ();
    void PSHSTART();
    void PSHSTOP();
    void PSHNEXT();
    void PSHBACK();
    void PSHBOF();
    void PSHEOF();
    void PSHOK();
    void EOF_BOF();
    void OFFSET();
    void RESET(bool displays = true, bool controlsOff = true);
    // File offset at which the current record starts; OEM flag; version identifier.
    long long offset() const;
    bool ascii() const { return _LASCII; }
    const std::string& norm() const { return controls.text(Ctl::ODCTXT3); }

    // --- Record sequence rules (PruefSequence.cpp) ---
    bool SATZFOLGE(const std::string& status);
    bool SATZFOLGELFD(const std::string& head);

    // --- Long texts of version 01/96 (PruefTexts.cpp) ---
    void DBTEXT(const std::string& record);

    // Handlers of the face.
    void BUTTONCLICK(Ctl checkBox);
    void EDITCHANGE();
    void VERTICALSPIN(int value);

    // Closes the data file and the error log of the current check.
    void closeFiles();
    // Closes the long-text table, when one is open.
    void closeTextTable();

    ControlMirror controls;
    FileHandle dataFile = 0;
    FileHandle logFile = 0;
    unsigned long recordCounter = 0;

    // Window state, in declaration order.
    bool _LTURN = false;
    bool _LBACK = false;
    bool _LSFOLGE = false;
    bool _LCHR = false;
    bool _LASCII = true;
    bool _LALLOWCLOSE = false;
    bool _LFELD = false;
    bool _LSEQUENZ = false;
    bool _LZSATZ = false;
    bool _LVORLAUF = false;
    bool _LZAP = false;
    bool _TFLAG = false;
    std::vector<std::string> _ALIST;
    std::vector<std::string> _AVERBUND;
    std::vector<std::string> _AFELDER;
    long long _NLENVOR = 0;
    long long _NZEIGER = 0;
    long long _NPOSITION = 0;
    std::string _CSFOLGE;
    std::string _CSFOLGE1;
    std::string _CSTRING;
    std::string _CCHR0;
    std::string _CPUFFER;
    std::string _CTEXTINDEX;
    IChildWindow* _OODFELD = nullptr;
    IChildWindow* _OODSEQUENZ = nullptr;
    std::unique_ptr<XBaseTable> _OSERVER;

private:
    void runDeferredTasks();

    IPruefView* view_ = nullptr;
    DeferredTasks deferred_;
    TimerId startTimer_ = 0;
    bool shown_ = false;
    bool ended_ = false;
};

} // namespace arti
