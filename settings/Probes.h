// Environment probes made at start: another running member of the program family, low
// system resources, a writable temporary folder, the installed versions, the window
// position. Each reports to the user itself and returns a plain result.
#pragma once

#include "core/Services.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace arti {

using WindowHandle = std::uint64_t;
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

// Screen metrics, supplied by the GUI layer.
struct ScreenMetrics {
    int virtualWidth = 0;
    int virtualHeight = 0;
    int primaryWidth = 0;
    int primaryHeight = 0;
};
class IScreenMetrics {
public:
    virtual ~IScreenMetrics() = default;
    virtual ScreenMetrics metrics() const = 0;
};
void setScreenMetricsSource(const IScreenMetrics* source); // null: no screen (all zero)
std::vector<std::pair<int, int>> FENSTERPOS(int x, int y, int width, int height);

// Resets the low-resource warning flag (a new program run).
void resetResourceWarning();

// The windowing system behind the window-list routines. The default asks the desktop
// (platform/WindowList); tests install their own.
struct SystemWindow {
    WindowHandle handle = 0;
    std::string title; // UTF-8, as the window carries it
};
class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;
    // The desktop's top-level windows, in enumeration order.
    virtual std::vector<SystemWindow> topLevelWindows() const = 0;
    virtual std::string title(WindowHandle handle) const = 0;
    // The top-level windows of this process.
    virtual std::vector<SystemWindow> windowsOfThisProcess() const = 0;
};
void setWindowSystem(const IWindowSystem* system); // null: the desktop's

// The free share of the system's window and graphics resources, 0 to 100.
class IResourceMeter {
public:
    virtual ~IResourceMeter() = default;
    virtual int freePercent() const = 0;
};
void setResourceMeter(const IResourceMeter* meter); // null: the system's

} // namespace arti
