// The services the engine and the window logic reach the system through: message boxes,
// the message pump with timers, the clock, the file dialogs, the shell, the screen
// figures, the desktop's window list, the system figures and the secondary windows.
// They are members of one object, services(), and are replaced for a while by one
// ServicesScope: the GUI installs its Qt implementations at start, the command-line
// checker its headless ones, tests their scripted fakes.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace arti {

// Opaque identity of the window that owns a message box (null: no owner).
using Owner = const void*;

enum class BoxKind {
    Info,     // information box, OK
    Error,    // error box, OK
    YesNo,    // question box, Yes / No, question icon
    OkCancel, // question box, OK / Cancel: a finding during a run, whose buttons say what
              // they do: OK "Durchlauf beenden", Cancel "Weiter prüfen"
    Question, // question icon, OK alone
};

enum class BoxButton { Ok, Cancel, Yes, No };

// Caption and text are Windows-1252 bytes, like all engine text.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual BoxButton show(Owner owner, BoxKind kind, const std::string& caption,
                           const std::string& text) = 0;

    void info(Owner owner, const std::string& caption, const std::string& text) {
        show(owner, BoxKind::Info, caption, text);
    }
    void error(Owner owner, const std::string& caption, const std::string& text) {
        show(owner, BoxKind::Error, caption, text);
    }
    bool askYesNo(Owner owner, const std::string& caption, const std::string& text) {
        return show(owner, BoxKind::YesNo, caption, text) == BoxButton::Yes;
    }
    bool askOkCancel(Owner owner, const std::string& caption, const std::string& text) {
        return show(owner, BoxKind::OkCancel, caption, text) == BoxButton::Ok;
    }
};

using TimerId = std::uint32_t;

class IWindowServices {
public:
    virtual ~IWindowServices() = default;
    // Lets pending window messages through (keeps a long run responsive).
    virtual void processMessages() = 0;
    // Starts a timer that calls `fire` after `ms` milliseconds; repeating until killed
    // unless `oneShot`. Returns 0 when no timer could be started.
    virtual TimerId startTimer(unsigned ms, bool oneShot, std::function<void()> fire) = 0;
    virtual void killTimer(TimerId id) = 0;
    // A short tone; the duration is in units of 1/18 second.
    virtual void beep(unsigned frequencyHz, unsigned units18) = 0;
};

struct LocalDateTime {
    std::chrono::year_month_day date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual LocalDateTime now() const = 0;
    std::chrono::year_month_day today() const { return now().date; }
};

// The system's file-open and folder dialogs. Paths are engine text; an empty result
// means the user cancelled.
class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    virtual std::string openFile(Owner owner, const std::string& title, const std::string& initialFolder,
                                 const std::string& initialName) = 0;
    virtual std::string chooseFolder(Owner owner, const std::string& title,
                                     const std::string& initialFolder) = 0;
};

// The shell's "open" of a document, web page or program. Returns a result as the
// Windows shell does: greater than 32 for success, else an error code (2 file not
// found, 3 folder not found, 31 no application for the type, ...).
class IShell {
public:
    virtual ~IShell() = default;
    virtual long open(Owner owner, const std::string& target, const std::string& verb,
                      const std::string& parameters) = 0;
    // Shows one of the program's help pages ("ARTI_Inhalt.html"), with the same results.
    // This one opens the page of the program folder as a document; the desktop program
    // shows it in a help window of its own.
    virtual long showHelp(Owner owner, const std::string& page);
};

// The screen as the window placement and the about box see it, in pixels.
struct ScreenMetrics {
    int virtualWidth = 0; // all monitors together
    int virtualHeight = 0;
    int primaryWidth = 0;
    int primaryHeight = 0;
    int monitors = 0;
};

class IScreenMetrics {
public:
    virtual ~IScreenMetrics() = default;
    virtual ScreenMetrics metrics() const = 0;
};

// A top-level window of the desktop.
using WindowHandle = std::uint64_t;
struct SystemWindow {
    WindowHandle handle = 0;
    std::string title; // UTF-8, as the window carries it
};

// The windowing system behind the window-list routines of the start probes.
class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;
    // The desktop's top-level windows, in enumeration order.
    virtual std::vector<SystemWindow> topLevelWindows() const = 0;
    virtual std::string title(WindowHandle handle) const = 0;
    // The top-level windows of this process.
    virtual std::vector<SystemWindow> windowsOfThisProcess() const = 0;
};

// The memory status, as Windows' GlobalMemoryStatus gives it. All sizes in bytes.
struct MemoryStatus {
    int loadPercent = 0; // share of physical memory in use, 0 to 100
    std::uint64_t totalPhysical = 0;
    std::uint64_t availablePhysical = 0;
    std::uint64_t totalPageFile = 0;     // physical memory plus swap (the commit limit)
    std::uint64_t availablePageFile = 0; // available physical memory plus free swap
    std::uint64_t totalVirtual = 0;      // address space of this process
    std::uint64_t availableVirtual = 0;  // of it not yet mapped
};

// What the program's allocator has taken from the system and what of it is in use.
struct AllocatorStatus {
    std::uint64_t reserved = 0;
    std::uint64_t used = 0;
};

struct VolumeInfo {
    bool known = false;       // false: the folder's volume could not be found
    std::string label;        // file-system label, empty when it has none
    std::uint64_t serial = 0; // file-system id
    std::string fileSystem;   // type from the mount table, e.g. "ext4"
};

// The figures of the running system: the free share of window resources that the start
// probe warns about, and what the about box shows.
class IResourceMeter {
public:
    virtual ~IResourceMeter() = default;
    // The free share of the system's window and graphics resources, 0 to 100.
    virtual int freePercent() const = 0;
    virtual MemoryStatus memory() const = 0;
    virtual AllocatorStatus allocator() const = 0;
    // Garbage collections run so far.
    virtual std::uint64_t collections() const = 0;
    // The volume of the current folder.
    virtual VolumeInfo currentVolume() const = 0;
    virtual std::string runtimeVersion() const = 0;
    // The runtime's own description of the operating system.
    virtual std::string systemDescription() const = 0;
};

// The settings window, the about box, the start hints and the wait box; defined with the
// window logic in views/Windows.h.
class ISecondaryWindows;

// Services of the window layers, defined there: the record viewers and the update.
// None is installed until its windows exist (null).
class IRecordViewers;
class IUpdateService;

// The services in effect, one pointer each. The members in services() are never null
// except three whose defaults live in layers above this one and cannot be named here:
// a null windowList is the desktop's (platform/WindowList.h), a null resources the
// system's (platform/SystemInfo.h), a null secondary the headless windows
// (views/Windows.h). The accessors of those layers, windowSystem(), resourceMeter() and
// secondaryWindows(), map null to their default, so every program (GUI, command-line
// checker, tools, tests) has them without installing anything.
struct Services {
    IMessageBox* box = nullptr;
    IWindowServices* window = nullptr;
    IClock* clock = nullptr;
    IFileDialogs* dialogs = nullptr;
    IShell* shell = nullptr;
    const IScreenMetrics* screen = nullptr;
    const IWindowSystem* windowList = nullptr;
    const IResourceMeter* resources = nullptr;
    ISecondaryWindows* secondary = nullptr;
    IRecordViewers* viewers = nullptr;
    IUpdateService* update = nullptr;
};

// Defaults are headless: boxes answer OK / No / Cancel and are written to stderr, no
// pump, the system clock, every dialog cancelled, no shell, no screen (all figures 0).
Services& services();

inline IMessageBox& box() {
    return *services().box;
}
inline IWindowServices& windowServices() {
    return *services().window;
}
inline const IClock& clock() {
    return *services().clock;
}
inline IFileDialogs& fileDialogs() {
    return *services().dialogs;
}
inline IShell& shell() {
    return *services().shell;
}
inline const IScreenMetrics& screenMetrics() {
    return *services().screen;
}
// Null while no such windows are installed.
inline IRecordViewers* recordViewers() {
    return services().viewers;
}
inline IUpdateService* updateService() {
    return services().update;
}

// Installs services for the lifetime of the object and restores the previous ones. A
// null member keeps the service in effect:
//   ServicesScope scope({.box = &box, .secondary = &windows});
class ServicesScope {
public:
    explicit ServicesScope(const Services& installed);
    explicit ServicesScope(IMessageBox* box, IWindowServices* window = nullptr, IClock* clock = nullptr,
                           IFileDialogs* dialogs = nullptr, IShell* shell = nullptr);
    ~ServicesScope();
    ServicesScope(const ServicesScope&) = delete;
    ServicesScope& operator=(const ServicesScope&) = delete;

private:
    Services saved_;
};

// The system clock in local time.
class SystemClock final : public IClock {
public:
    LocalDateTime now() const override;
};

// Headless implementations: boxes are written to a stream and answered with the
// cautious button; the pump and timers do nothing.
class HeadlessMessageBox final : public IMessageBox {
public:
    BoxButton show(Owner owner, BoxKind kind, const std::string& caption, const std::string& text) override;
};

// No dialogs without a screen: every choice is cancelled.
class HeadlessFileDialogs final : public IFileDialogs {
public:
    std::string openFile(Owner, const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::string chooseFolder(Owner, const std::string&, const std::string&) override { return {}; }
};

// Without a desktop nothing is started: every "open" finds no application (31).
class HeadlessShell final : public IShell {
public:
    long open(Owner, const std::string&, const std::string&, const std::string&) override { return 31; }
};

// No screen: every figure is 0, and windows are left where the system puts them.
class HeadlessScreenMetrics final : public IScreenMetrics {
public:
    ScreenMetrics metrics() const override { return {}; }
};

class HeadlessWindowServices final : public IWindowServices {
public:
    void processMessages() override {}
    TimerId startTimer(unsigned, bool, std::function<void()>) override { return 0; }
    void killTimer(TimerId) override {}
    void beep(unsigned, unsigned) override {}
};

} // namespace arti
