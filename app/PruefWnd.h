// PRUEF_WND: the logic of the main check window. It holds the window's state and
// handlers in plain C++ and reaches its face through IPruefView.
#pragma once

#include "app/PruefView.h"
#include "app/runtime/Services.h"

#include <functional>
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

    void attachView(IPruefView* view) { view_ = view; }
    IPruefView* view() const { return view_; }
    Owner owner() const { return this; }
    void setDeferredTasks(DeferredTasks tasks) { deferred_ = std::move(tasks); }

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

    // Closes the data file and the error log of the current check; the check run
    // supplies it once files are opened.
    std::function<void()> closeFiles;
    // Closes the long-text table, when one is open.
    std::function<void()> closeTextTable;

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

private:
    void runDeferredTasks();

    IPruefView* view_ = nullptr;
    DeferredTasks deferred_;
    TimerId startTimer_ = 0;
    bool shown_ = false;
    bool ended_ = false;
};

} // namespace arti
