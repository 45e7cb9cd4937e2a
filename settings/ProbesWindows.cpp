// The probes that look at the desktop: other running members of the program family,
// low system resources and the placement of the main window, with the window-list
// routines they share.
#include "settings/Probes.h"

#include "core/Text.h"
#include "platform/SystemInfo.h"
#include "platform/WindowList.h"

#include <algorithm>

namespace arti {

using namespace arti::literals;

namespace {

// The caption stems of the other programs of the family, after the caller's own.
constexpr std::string_view kUpdaterStem = "ARTISCOPE-Updater * Version";

// Below this share of free resources the enumeration of windows may go wrong.
constexpr int kLowResourcePercent = 40;

// Captions are read as into a 1024-byte buffer: at most 1023 bytes.
constexpr std::size_t kMaxCaption = 1023;

// TRUE at start; the user's No to the resource warning silences it for the program run.
bool g_resourceWarning = true;

std::string toCaption(std::string_view titleUtf8) {
    std::string s = utf8ToAnsi(titleUtf8);
    if (s.size() > kMaxCaption) s.resize(kMaxCaption);
    return trim(s);
}

// The program's name as the stem carries it before " * Version": the stem up to two
// characters before its last "*". A stem without "*" is the name itself.
std::string programName(std::string_view stem) {
    const std::size_t star = stem.rfind('*');
    if (star == std::string_view::npos) return trim(stem);
    return std::string(stem.substr(0, star >= 1 ? star - 1 : 0));
}

std::string otherInstanceMessage(const std::string& caption, std::string_view stem) {
    return "Das Programm: \r\n" + caption + "\r\n" +
           "aus der ARTISCOPE-Familie ist bereits in einer Instanz geöffnet!"_ansi + "\r\n" +
           "Das aktuell gestartete Programm >" + programName(stem) + "< kann nicht ausgeführt werden."_ansi +
           "\r\n\r\n" + "Bitte schließen Sie erst die andere Anwendung."_ansi;
}

std::vector<WindowHandle> handlesOf(const std::vector<SystemWindow>& windows) {
    std::vector<WindowHandle> list;
    for (const SystemWindow& w : windows)
        ADDWINDOWTOARRAY(w.handle, list);
    return list;
}

} // namespace

void resetResourceWarning() {
    g_resourceWarning = true;
}

bool ADDWINDOWTOARRAY(WindowHandle handle, std::vector<WindowHandle>& list) {
    if (handle != 0) list.push_back(handle);
    return true; // go on enumerating
}

std::vector<WindowHandle> GETALLTOPLEVELWINDOWS() {
    return handlesOf(windowSystem().topLevelWindows());
}

std::vector<WindowHandle> GETALLTHREADWINDOWS(std::uint64_t /*threadId*/) {
    return handlesOf(windowSystem().windowsOfThisProcess());
}

std::string GETWINDOWCAPTION(WindowHandle handle) {
    if (handle == 0) return {};
    return toCaption(windowSystem().title(handle));
}

std::vector<WindowCaption> GETALLTOPWINDOWSCAPTIONS() {
    // The titles come with the enumeration, so the list costs one round of questions to
    // the window system instead of one per window.
    std::vector<WindowCaption> list;
    for (const SystemWindow& w : windowSystem().topLevelWindows()) {
        if (w.handle != 0) list.push_back({w.handle, toCaption(w.title)});
    }
    return list;
}

void RESSOURCENINFO(Owner owner) {
    const int percent = resourceMeter().freePercent();
    if (percent >= kLowResourcePercent || !g_resourceWarning) return;
    const std::string text =
        "Die Systemresourcen Ihres Windows-Betriebssystems sind niedriger als 40%, aktuell " +
        plainNumber(percent) + "%" + "\r\n" +
        "Die Überprüfung auf bereits geöffnete Programme oder Dateien kann möglicherweise nicht korrekt ausgeführt werden."_ansi +
        "\r\n" + "Das kann zu einem Abbruch dieses Programmes führen."_ansi + "\r\n\r\n" +
        "Soll diese Information während dieser Programm-Session weiter angezeigt werden ?"_ansi;
    if (!box().askYesNo(owner, "Hinweis", text)) g_resourceWarning = false;
}

bool PRUEFTASK(Owner owner, std::string_view captionStem) {
    RESSOURCENINFO(owner);
    const std::string family[] = {std::string(captionStem), std::string(kUpdaterStem)};
    const std::vector<WindowCaption> windows = GETALLTOPWINDOWSCAPTIONS();
    if (windows.empty()) return false;

    bool running = false;
    for (const std::string& member : family) {
        // An empty stem would be found in every caption, this program's own included,
        // and the program could never start.
        if (member.empty()) continue;
        for (const WindowCaption& w : windows) {
            if (w.caption.empty()) continue;
            if (w.caption.find(member) != std::string::npos && w.handle != 0) {
                windowServices().beep(1000, 2);
                box().info(owner, "Hinweis", otherInstanceMessage(w.caption, captionStem));
                running = true;
            }
        }
    }
    return running;
}

std::vector<std::pair<int, int>> FENSTERPOS(int x, int y, int width, int height) {
    const ScreenMetrics m = screenMetrics().metrics();
    // No screen known (no GUI): (0, 0) leaves the window where the system puts it.
    if (m.virtualWidth <= 0 || m.virtualHeight <= 0 || m.primaryWidth <= 0 || m.primaryHeight <= 0)
        return {{0, 0}};

    // A single monitor and a position saved right of it (a monitor since removed).
    if (m.primaryWidth == m.virtualWidth && x > m.primaryWidth) {
        windowServices().beep(800, 2);
        return {{0, 0}};
    }
    // Moving the window up or left to fit never takes its top-left corner, and with it
    // the title bar, off the screen: a window larger than the screen starts at 0.
    if (y > m.virtualHeight - height) y = std::max(0, m.virtualHeight - height);
    if (y + height > m.primaryHeight) y = std::max(0, m.primaryHeight - height);
    if (x > m.virtualWidth - width) x = std::max(0, m.virtualWidth - width);
    return {{x, y}};
}

} // namespace arti
