// Scripted fakes for the services: a message box that records every box and answers
// from a queue, a message pump that counts and runs timers by hand, a fixed clock.
#pragma once

#include "core/Services.h"
#include "core/Text.h"

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
            return kind == BoxKind::YesNo ? BoxButton::No : kind == BoxKind::OkCancel ? BoxButton::Cancel : BoxButton::Ok;
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

} // namespace arti::test
