// Qt implementations of the services: message boxes, the throttled message pump with
// timers, and the screen metrics for the window placement probe.
#pragma once

#include "app/runtime/Services.h"
#include "settings/Probes.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <map>
#include <memory>

class QTimer;
class QWidget;

namespace arti::qt {

QString fromAnsi(const std::string& ansi);
std::string toAnsi(const QString& text);

// Maps the logic objects that own message boxes to their widgets.
void registerOwner(Owner owner, QWidget* widget);
void unregisterOwner(Owner owner);
QWidget* widgetOf(Owner owner);

class QtMessageBox final : public IMessageBox {
public:
    BoxButton show(Owner owner, BoxKind kind, const std::string& caption, const std::string& text) override;
};

class QtWindowServices final : public IWindowServices {
public:
    QtWindowServices();
    ~QtWindowServices() override;
    // Lets pending events through, at most every 20 ms: the run loop calls this once
    // per record and must not pay for an event round trip each time.
    void processMessages() override;
    TimerId startTimer(unsigned ms, bool oneShot, std::function<void()> fire) override;
    void killTimer(TimerId id) override;
    void beep(unsigned frequencyHz, unsigned units18) override;

private:
    QElapsedTimer sincePump_;
    std::map<TimerId, std::unique_ptr<QTimer>> timers_;
    TimerId lastId_ = 0;
};

class QtScreenMetrics final : public IScreenMetrics {
public:
    ScreenMetrics metrics() const override;
};

} // namespace arti::qt
