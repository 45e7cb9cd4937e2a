#include "app/PruefWnd.h"

#include "app/runtime/AppState.h"
#include "app/runtime/Dates.h"
#include "app/runtime/Text.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

namespace arti {

using namespace arti::literals;

void PRUEF_WND::INIT() {}

bool PRUEF_WND::SETUP() {
    _LFELD = false;
    _LASCII = true;
    _LALLOWCLOSE = false;
    _LBACK = false;
    _CCHR0 = std::string(1, static_cast<char>(250));
    const AppState& app = appState();
    if (view_)
        view_->setCaption(app.title + " * Version " + app.programVersion + " * aktueller Pfad = " +
                          app.programFolder);
    _AVERBUND.assign(3, std::string());
    startTimer_ = windowServices().startTimer(500, true, [this] { TIMERFIRED(); });
    return true;
}

void PRUEF_WND::TIMERFIRED() {
    if (startTimer_ != 0) windowServices().killTimer(startTimer_);
    startTimer_ = 0;
    runDeferredTasks();
}

void PRUEF_WND::runDeferredTasks() {
    if (settings().startDlg && deferred_.startHints) deferred_.startHints(*this);
    if (deferred_.updateCheck && deferred_.updateCheck(*this)) {
        appState().closeWithoutAsking = true;
        ENDDIALOG();
    }
}

bool PRUEF_WND::QUERYCLOSE() {
    // The window system itself has no objection to closing this dialog.
    _LALLOWCLOSE = true;
    FELDWNDCLOSE();

    ValueList last{{"LastSession", formatDateTime(clock().now())}};
    // A window that was never shown has no position of its own: keep the stored one.
    if (shown_ && view_) {
        const WindowRect r = view_->geometry();
        last.push_back({"OriginX", plainNumber(r.x)});
        last.push_back({"OriginY", plainNumber(r.y)});
    }
    SAVEREGISTRY(owner(), "HKCU", "", last);

    bool allow = true;
    if (!appState().closeWithoutAsking) {
        _LALLOWCLOSE = false;
        allow = box().askYesNo(owner(), "Anfrage", "Möchten Sie die Anwendung wirklich beenden ?"_ansi);
        _LALLOWCLOSE = allow;
    }
    if (allow) {
        closeFiles();
        windowServices().processMessages();
    }
    return allow;
}

void PRUEF_WND::PSHCANCEL() {
    FELDWNDCLOSE();
    if (_LTURN) {
        appState().stopRequest = true;
        _LTURN = false;
        return;
    }
    closeTextTable();
    ENDDIALOG();
}

void PRUEF_WND::ENDDIALOG() {
    if (shown_ && !ended_ && view_) {
        view_->requestClose();
        return;
    }
    if (!shown_ && !ended_) {
        // Never shown: the close passes through QUERYCLOSE like any other, which asks
        // nothing while the start checks still run.
        QUERYCLOSE();
    }
    ended_ = true;
}

void PRUEF_WND::closeFiles() {
    if (logFile != 0) {
        flushLog();
        FCLOSE(logFile);
        logFile = 0;
    }
    if (dataFile != 0) {
        FCLOSE(dataFile);
        dataFile = 0;
    }
}

void PRUEF_WND::closeTextTable() {
    if (_OSERVER) {
        _OSERVER->close();
        _OSERVER.reset();
    }
}

void PRUEF_WND::FELDWNDCLOSE() {
    if (_LFELD) {
        if (_OODFELD) _OODFELD->end();
        _LFELD = false;
    }
}

void PRUEF_WND::SEQUENZWNDCLOSE() {
    if (_LSEQUENZ) {
        if (_OODSEQUENZ) _OODSEQUENZ->end();
        _LSEQUENZ = false;
    }
}

} // namespace arti
