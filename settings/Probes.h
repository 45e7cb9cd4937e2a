// Environment probes made at start: another running member of the program family, low
// system resources, a writable temporary folder, the installed versions, the window
// position. Each reports to the user itself and returns a plain result. The desktop's
// windows, the system's resources and the screen come from the services (windowSystem(),
// resourceMeter(), screenMetrics()).
#pragma once

#include "core/Services.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace arti {

struct WindowCaption {
    WindowHandle handle = 0;
    std::string caption; // Windows-1252, trimmed
};

bool PRUEFTASK(Owner owner, std::string_view captionStem);
void RESSOURCENINFO(Owner owner);
std::vector<WindowCaption> GETALLTOPWINDOWSCAPTIONS();
std::vector<WindowHandle> GETALLTOPLEVELWINDOWS();
bool ADDWINDOWTOARRAY(WindowHandle handle, std::vector<WindowHandle>& list);
std::string GETWINDOWCAPTION(WindowHandle handle);
// The top-level windows of one thread. X11 knows no thread ids: these are the windows of
// this process (by their _NET_WM_PID), whatever the id; the program has one window thread.
std::vector<WindowHandle> GETALLTHREADWINDOWS(std::uint64_t threadId);
std::string TEMPPATHREG(Owner owner);
// Trims the path and ends it in the platform's path separator (unless it is empty).
std::string BACKSLASH2PFAD(std::string_view path);
bool GUELTIGEVERSION(Owner owner);
bool GETISADMIN(Owner owner, bool show = false);

// Where a window saved at (x, y) goes on the screen of screenMetrics(); (0, 0) when no
// screen is known.
std::vector<std::pair<int, int>> FENSTERPOS(int x, int y, int width, int height);

// Resets the low-resource warning flag (a new program run).
void resetResourceWarning();

} // namespace arti
