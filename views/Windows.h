// The secondary windows as the rest of the program reaches them: the settings window,
// the about box, the start hints and the wait box. The main window and the update check
// ask secondaryWindows() for them; the Qt program installs its faces at start as
// services().secondary, tests and the command-line checker keep the headless default
// (nothing is shown).
#pragma once

#include "core/Services.h"

#include <memory>
#include <string>

namespace arti {

// What the settings window and the about box ask of the main check window.
class IMainWindowLink {
public:
    virtual ~IMainWindowLink() = default;
    // Shows the date window and the currency of the in-memory settings again.
    virtual void SETPARAM() = 0;
    // The main window's open-document operation: the shell's verb on the target; it
    // reports a failure itself and returns the shell's result (32 or less: failed).
    virtual long CALLEXPLORER(const std::string& target, const std::string& verb,
                              const std::string& parameters) = 0;
};

// A shown wait box; ENDDIALOG (or the destructor) closes it.
class IWaitBox {
public:
    virtual ~IWaitBox() = default;
    virtual void ENDDIALOG() = 0;
    // Replaces the text (a download shows its progress there).
    virtual void SETTEXT(const std::string& text) { (void)text; }
};

class ISecondaryWindows {
public:
    virtual ~ISecondaryWindows() = default;
    // SYS_WND owned by `owner`: set up, then shown modally; returns when it has closed.
    virtual void settingsWindow(Owner owner, IMainWindowLink* main) = 0;
    // HELPABOUT owned by `owner`, modal.
    virtual void aboutBox(Owner owner, IMainWindowLink* main) = 0;
    // START_WND owned by `owner`, modal. The caller tests the start hints flag.
    virtual void startHints(Owner owner) = 0;
    // WARTE_WND owned by `owner`, shown without waiting; an empty text keeps the default.
    virtual std::unique_ptr<IWaitBox> waitBox(Owner owner, const std::string& text) = 0;
};

// The windows in effect: those installed in services(), else the headless ones.
ISecondaryWindows& secondaryWindows();

} // namespace arti
