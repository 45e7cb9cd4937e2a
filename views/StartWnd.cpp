#include "views/StartWnd.h"

#include "core/AppState.h"
#include "platform/Paths.h"
#include "records/FileAccess.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

namespace arti {

bool START_WND::SETUP() {
    const std::string file = appState().programFolder + kFileName;
    hints_ = platform::fileExists(systemPath(file)) ? READ_STREAM(owner(), file)
                                                    : ",Info.txt' Datei nicht gefunden";
    checked_ = !settings().startDlg;
    if (view_) {
        view_->setHints(hints_);
        view_->setChecked(checked_);
    }
    return true;
}

void START_WND::BUTTONCLICK(bool checked) {
    checked_ = checked;
    settings().startDlg = !checked;
    SAVEREG_EINZELWERT(owner(), "HKCU", "", "StartDlg", checked ? "FALSE" : "TRUE");
}

void START_WND::PSHCANCEL() {
    ended_ = true;
    if (view_) view_->endDialog();
}

} // namespace arti
