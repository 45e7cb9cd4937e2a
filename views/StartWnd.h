// START_WND: the start hints window "Wichtige Hinweise für die Programmbedienung". It
// shows "info.txt" of the program folder and lets the user switch the display at start
// off ("StartDlg").
#pragma once

#include "core/Services.h"

#include <string>

namespace arti {

class IStartView {
public:
    virtual ~IStartView() = default;
    // The hints text (Windows-1252, lines ended by CR LF).
    virtual void setHints(const std::string& text) = 0;
    virtual void setChecked(bool on) = 0;
    virtual void endDialog() = 0;
};

class START_WND {
public:
    static constexpr const char* kFileName = "info.txt";

    START_WND() = default;
    START_WND(const START_WND&) = delete;
    START_WND& operator=(const START_WND&) = delete;

    void attachView(IStartView* view) { view_ = view; }
    Owner owner() const { return this; }

    bool SETUP();
    // The face reports the new check mark of "Fenster beim Start nicht mehr zeigen".
    void BUTTONCLICK(bool checked);
    void PSHCANCEL();

    const std::string& hints() const { return hints_; }
    bool checked() const { return checked_; }
    bool ended() const { return ended_; }

private:
    IStartView* view_ = nullptr;
    std::string hints_;
    bool checked_ = false;
    bool ended_ = false;
};

} // namespace arti
