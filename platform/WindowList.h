// The desktop's top-level windows and their titles. On Windows the window enumeration;
// on X11 the display named by $DISPLAY is asked; without a display (or when the program
// was built without X11) every list is empty. The window list service
// on them is the default of services().windowList.
#pragma once

#include "core/Services.h"

#include <cstdint>
#include <string>
#include <vector>

namespace arti::platform {

struct TopWindow {
    std::uint64_t id = 0; // the X window id, the window handle on Windows
    std::string title;    // UTF-8, as the window carries it (not trimmed)
};

// The mapped top-level application windows that carry a title, topmost first (the
// order of the Windows enumeration). Without a window manager these are the titled
// children of the root window; with one, the titled windows inside its frames, which
// are found one level below an untitled child of the root. Windows that vanish while
// the list is built are left out.
std::vector<TopWindow> topLevelWindows();

// The title of one window: _NET_WM_NAME (UTF-8) when set, otherwise WM_NAME. Empty
// when the window has no title, does not exist or no display is available.
std::string windowTitle(std::uint64_t id);

// Those of topLevelWindows() that belong to the process `pid` (_NET_WM_PID on X11).
std::vector<TopWindow> windowsOfProcess(long pid);
// The id of the running process.
long thisProcessId();

// The window list service on the functions above.
class DesktopWindows final : public IWindowSystem {
public:
    std::vector<SystemWindow> topLevelWindows() const override;
    std::string title(WindowHandle handle) const override { return windowTitle(handle); }
    std::vector<SystemWindow> windowsOfThisProcess() const override;
};

} // namespace arti::platform

namespace arti {

// The window list in effect: the one installed in services(), else the desktop's.
const IWindowSystem& windowSystem();

} // namespace arti
