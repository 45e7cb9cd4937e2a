// The three services every window logic class and every routine that talks to the user
// relies on: message boxes, the message pump with timers, and the clock. Production code
// asks them through services(); the GUI installs Qt implementations at start, the
// command-line checker headless ones, and tests scripted fakes.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace arti {

// Opaque identity of the window that owns a message box (null: no owner).
using Owner = const void*;

enum class BoxKind {
    Info,     // information box, OK
    Error,    // error box, OK
    YesNo,    // question box, Yes / No, question icon
    OkCancel, // question box, OK / Cancel
    Question, // question icon, OK alone
};

enum class BoxButton { Ok, Cancel, Yes, No };

// Caption and text are Windows-1252 bytes, like all engine text.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual BoxButton show(Owner owner, BoxKind kind, const std::string& caption, const std::string& text) = 0;

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
    virtual std::string chooseFolder(Owner owner, const std::string& title, const std::string& initialFolder) = 0;
};

// The shell's "open" of a document, web page or program. Returns a result as the
// Windows shell does: greater than 32 for success, else an error code (2 file not
// found, 3 folder not found, 31 no application for the type, ...).
class IShell {
public:
    virtual ~IShell() = default;
    virtual long open(Owner owner, const std::string& target, const std::string& verb,
                      const std::string& parameters) = 0;
};

// Services of the window layers, defined there: the record viewers and the update.
// None is installed until its windows exist (null).
class IRecordViewers;
class IUpdateService;

struct Services {
    IMessageBox* box = nullptr;
    IWindowServices* window = nullptr;
    IClock* clock = nullptr;
    IFileDialogs* dialogs = nullptr;
    IShell* shell = nullptr;
    IRecordViewers* viewers = nullptr;
    IUpdateService* update = nullptr;
};

// The services in effect. Never null members: defaults are headless (boxes answer
// OK / No / Cancel and are written to stderr, no pump, the system clock, no shell).
Services& services();

inline IMessageBox& box() { return *services().box; }
inline IWindowServices& windowServices() { return *services().window; }
inline const IClock& clock() { return *services().clock; }
inline IFileDialogs& fileDialogs() { return *services().dialogs; }
inline IShell& shell() { return *services().shell; }
// Null while no such windows are installed.
inline IRecordViewers* recordViewers() { return services().viewers; }
inline IUpdateService* updateService() { return services().update; }

// Installs services for the lifetime of the object and restores the previous ones.
class ServicesScope {
public:
    explicit ServicesScope(IMessageBox* box, IWindowServices* window = nullptr, IClock* clock = nullptr,
                           IFileDialogs* dialogs = nullptr, IShell* shell = nullptr);
    // Installs every member of `installed` that is not null; the others stay.
    explicit ServicesScope(const Services& installed);
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
    std::string openFile(Owner, const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string chooseFolder(Owner, const std::string&, const std::string&) override { return {}; }
};

// Without a desktop nothing is started: every "open" finds no application (31).
class HeadlessShell final : public IShell {
public:
    long open(Owner, const std::string&, const std::string&, const std::string&) override { return 31; }
};

class HeadlessWindowServices final : public IWindowServices {
public:
    void processMessages() override {}
    TimerId startTimer(unsigned, bool, std::function<void()>) override { return 0; }
    void killTimer(TimerId) override {}
    void beep(unsigned, unsigned) override {}
};

} // namespace arti
