// SYS_WND: the settings window "System-Einstellungen". The user sets the date window,
// currency, decimal places and country code of the check run, switches the start hints
// and the visual styles, moves the data folder and opens it in the file explorer. The
// logic holds the values of the controls; its face shows them and reports the user's
// changes through the handlers.
#pragma once

#include "core/Dates.h"
#include "core/Services.h"
#include "views/Windows.h"

#include <functional>
#include <string>

namespace arti {

enum class SysCtl {
    TXT109,      // the data folder
    PSHWAHL,     // "anderes Verzeichnis wählen"
    PSHEXPLORER, // "Dateimanager zum Datenverzeichnis"
    PSHDATE,     // "Datum aus Prüffenster"
    DTP1,        // lower date bound
    DTP2,        // upper date bound
    SLE1,        // currency
    SLE2,        // decimal places
    SLE3,        // country code
    CHK2,        // visual styles
    PSHINTERNET, // "Internet-Setup-Parameter"
    CHK1,        // start hints
    PSHSAVE,
    PSHCANCEL,
    Count
};
// The control's name in the window template ("TXT109", "DTP1", ...).
const char* sysControlName(SysCtl c);

class ISysView {
public:
    virtual ~ISysView() = default;
    virtual void setText(SysCtl c, const std::string& text) = 0;
    virtual void setDate(SysCtl c, const Date& date) = 0;
    virtual void setDateRange(SysCtl c, const Date& first, const Date& last) = 0;
    virtual void setChecked(SysCtl c, bool on) = 0;
    virtual void setEnabled(SysCtl c, bool on) = 0;
    // Switches the application's visual styles at once.
    virtual void applyVisualStyles(bool on) = 0;
    // Ends the dialog.
    virtual void endDialog() = 0;
};

class SYS_WND {
public:
    // F1: help file "ARTI", topic "System".
    static constexpr const char* kHelpPage = "ARTI_System.html";

    // `main` receives SETPARAM after saving and opens the data folder; may be null.
    explicit SYS_WND(IMainWindowLink* main = nullptr) : main_(main) {}
    SYS_WND(const SYS_WND&) = delete;
    SYS_WND& operator=(const SYS_WND&) = delete;

    void attachView(ISysView* view) { view_ = view; }
    Owner owner() const { return this; }

    bool SETUP();
    // The face reports every change of an edit's text, a picker's date and a check mark.
    void EDITCHANGE(SysCtl edit, const std::string& text);
    void DATETIMESELECTIONCHANGED(SysCtl picker, const Date& date);
    void BUTTONCLICK(SysCtl checkBox, bool checked);
    void PSHSAVE();
    void PSHDATE();
    void PSHWAHL();
    void FOLDER();
    void PSHEXPLORER();
    void PSHINTERNET();
    void PSHCANCEL();

    // The rule that enables saving: currency of exactly 3 characters, decimal places not
    // empty, country code of at least 2 characters.
    bool parametersValid() const;

    // What the controls hold.
    const std::string& folderText() const { return txt109_; }
    const std::string& oldFolder() const { return oldFolder_; }
    const std::string& currency() const { return sle1_; }
    const std::string& decimals() const { return sle2_; }
    const std::string& countryCode() const { return sle3_; }
    const Date& lowerDate() const { return dtp1_; }
    const Date& upperDate() const { return dtp2_; }
    const Date& lowerLast() const { return dtp1Last_; }
    const Date& upperLast() const { return dtp2Last_; }
    bool startHintsChecked() const { return chk1_; }
    bool visualChecked() const { return chk2_; }
    bool saveEnabled() const { return saveEnabled_; }
    bool ended() const { return ended_; }

    static constexpr int kUpperRangeDays = 364;

private:
    void showText(SysCtl c, const std::string& text);
    void showDate(SysCtl c, Date& slot, const Date& date);
    void enableSave(bool on);
    void enableSaveByRule() { enableSave(parametersValid()); }
    // Copies the files of the old folder into the new one; false when any copy failed.
    bool copyFolder(const std::string& from, const std::string& to) const;
    void moveDataFolder(const std::string& newFolder);

    IMainWindowLink* main_;
    ISysView* view_ = nullptr;

    std::string txt109_;
    std::string oldFolder_;
    std::string sle1_, sle2_, sle3_;
    Date dtp1_{}, dtp2_{};
    Date first_{}, dtp1Last_{}, dtp2Last_{};
    bool chk1_ = false;
    bool chk2_ = false;
    bool saveEnabled_ = false;
    bool ended_ = false;
};

} // namespace arti
