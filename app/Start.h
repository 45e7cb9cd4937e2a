// APP:START, the program's entry routine: fixes the runtime conventions, loads the
// settings, refuses to start in an unusable environment, then shows the main check
// window modally. The window system is reached through IAppShell.
#pragma once

#include "app/PruefWnd.h"

#include <string>

namespace arti {

class IAppShell {
public:
    virtual ~IAppShell() = default;
    // The folder of the program's files, ending in the path separator.
    virtual std::string programFolder() const = 0;
    virtual void enableVisualStyles() = 0;
    // Loads the German language module from the program folder; false when it is
    // missing or cannot be loaded.
    virtual bool loadLanguageModule(const std::string& programFolder) = 0;
    // Creates the face of the main window for the given logic.
    virtual IPruefView& createMainWindow(PRUEF_WND& window) = 0;
    virtual void wait(unsigned ms) = 0;
};

// Two light background colours for the field editor's edit field, alive while the
// main window is.
struct SharedBrushes {
    unsigned normalRgb = 0;
    unsigned changedRgb = 0;
    bool created = false;
};
SharedBrushes& sharedBrushes();

// Runs the start sequence; returns when the main window has closed (or was never shown).
void APP_START(IAppShell& shell);

} // namespace arti
