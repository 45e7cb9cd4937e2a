// Scripted fakes for the services: a message box that records every box and answers
// from a queue, a message pump that counts and runs timers by hand, a fixed clock, file
// dialogs and a shell with queued answers, a screen, a window list and system figures
// set by the test; and FakeServices, which installs them all through one scope.
#pragma once

#include "core/Services.h"
#include "core/Text.h"

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace arti::test {

struct ShownBox {
    BoxKind kind;
    std::string caption; // UTF-8, for readable assertions
    std::string text;    // UTF-8
    Owner owner;
};

class FakeMessageBox final : public IMessageBox {
public:
    // Queues the answer of the next box. A box with no queued answer is unexpected:
    // `onUnexpected` is called (the test fails) and the box gets OK / No / Cancel.
    FakeMessageBox& expect(BoxButton answer) {
        answers_.push_back(answer);
        return *this;
    }
    BoxButton show(Owner owner, BoxKind kind, const std::string& caption, const std::string& text) override {
        ShownBox b{kind, ansiToUtf8(caption), ansiToUtf8(text), owner};
        shown.push_back(b);
        if (answers_.empty()) {
            if (onUnexpected) onUnexpected(b);
            return kind == BoxKind::YesNo      ? BoxButton::No
                   : kind == BoxKind::OkCancel ? BoxButton::Cancel
                                               : BoxButton::Ok;
        }
        const BoxButton a = answers_.front();
        answers_.pop_front();
        return a;
    }
    // Boxes whose answer was queued but never asked for.
    std::size_t pendingAnswers() const { return answers_.size(); }

    std::vector<ShownBox> shown;
    std::function<void(const ShownBox&)> onUnexpected;

private:
    std::deque<BoxButton> answers_;
};

class FakeWindowServices final : public IWindowServices {
public:
    void processMessages() override {
        ++pumps;
        if (onPump) onPump(pumps);
    }
    TimerId startTimer(unsigned ms, bool oneShot, std::function<void()> fire) override {
        const TimerId id = ++lastId_;
        timers[id] = Timer{ms, oneShot, std::move(fire)};
        return id;
    }
    void killTimer(TimerId id) override { timers.erase(id); }
    void beep(unsigned frequencyHz, unsigned units) override { beeps.push_back({frequencyHz, units}); }
    // Fires a timer as the message loop would; a one-shot timer is removed first.
    bool fire(TimerId id) {
        auto it = timers.find(id);
        if (it == timers.end()) return false;
        auto f = it->second.fire;
        if (it->second.oneShot) timers.erase(it);
        f();
        return true;
    }

    struct Timer {
        unsigned ms;
        bool oneShot;
        std::function<void()> fire;
    };
    std::map<TimerId, Timer> timers;
    std::vector<std::pair<unsigned, unsigned>> beeps;
    int pumps = 0;
    // Called at every pump with the count: what the user does while messages go through.
    std::function<void(int)> onPump;

private:
    TimerId lastId_ = 0;
};

class FixedClock final : public IClock {
public:
    explicit FixedClock(LocalDateTime t) : time(t) {}
    LocalDateTime now() const override { return time; }
    LocalDateTime time;
};

class FakeFileDialogs final : public IFileDialogs {
public:
    std::string openFile(Owner, const std::string& title, const std::string& folder,
                         const std::string& name) override {
        asked.push_back(ansiToUtf8(title) + " | " + folder + " | " + name);
        if (files.empty()) return {};
        std::string f = files.front();
        files.pop_front();
        return f;
    }
    std::string chooseFolder(Owner, const std::string& title, const std::string&) override {
        asked.push_back(ansiToUtf8(title));
        if (folders.empty()) return {};
        std::string f = folders.front();
        folders.pop_front();
        return f;
    }
    std::deque<std::string> files;
    std::deque<std::string> folders;
    std::vector<std::string> asked;
};

class FakeShell final : public IShell {
public:
    long open(Owner, const std::string& target, const std::string& verb, const std::string&) override {
        opened.push_back(verb + " " + target);
        return result;
    }
    std::vector<std::string> opened;
    long result = 42;
};

// No screen until the test sets one.
class FixedScreen final : public IScreenMetrics {
public:
    ScreenMetrics metrics() const override { return m; }
    ScreenMetrics m;
};

// No windows until the test lists some.
class FakeWindowList final : public IWindowSystem {
public:
    std::vector<SystemWindow> topLevelWindows() const override { return windows; }
    std::string title(WindowHandle handle) const override {
        for (const auto& w : windows)
            if (w.handle == handle) return w.title;
        return {};
    }
    std::vector<SystemWindow> windowsOfThisProcess() const override { return own; }

    std::vector<SystemWindow> windows;
    std::vector<SystemWindow> own;
};

// Ample resources and otherwise empty figures until the test sets them.
class FixedResources final : public IResourceMeter {
public:
    int freePercent() const override { return percent; }
    MemoryStatus memory() const override { return mem; }
    AllocatorStatus allocator() const override { return alloc; }
    std::uint64_t collections() const override { return 0; }
    VolumeInfo currentVolume() const override { return volume; }
    std::string runtimeVersion() const override { return runtime; }
    std::string systemDescription() const override { return system; }

    int percent = 100;
    MemoryStatus mem;
    AllocatorStatus alloc;
    VolumeInfo volume;
    std::string runtime;
    std::string system;
};

// Every fake above, installed for the lifetime of the object; the clock stands at
// 08.12.2026 10:15:00. The secondary windows stay as they are (headless, unless the
// test installs its own).
class FakeServices {
public:
    FakeServices()
        : scope_({.box = &box,
                  .window = &window,
                  .clock = &clock,
                  .dialogs = &dialogs,
                  .shell = &shell,
                  .screen = &screen,
                  .windowList = &windowList,
                  .resources = &resources}) {}
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    FakeMessageBox box;
    FakeWindowServices window;
    FixedClock clock{LocalDateTime{std::chrono::year{2026} / 12 / 8, 10, 15, 0}};
    FakeFileDialogs dialogs;
    FakeShell shell;
    FixedScreen screen;
    FakeWindowList windowList;
    FixedResources resources;

private:
    ServicesScope scope_;
};

} // namespace arti::test
