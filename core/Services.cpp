#include "core/Services.h"

#include "core/AppState.h"
#include "core/Dates.h"
#include "core/Text.h"

#include <ctime>
#include <iostream>

namespace arti {

namespace {
HeadlessMessageBox g_headlessBox;
HeadlessWindowServices g_headlessWindow;
SystemClock g_systemClock;
HeadlessFileDialogs g_headlessDialogs;
HeadlessShell g_headlessShell;
const HeadlessScreenMetrics g_headlessScreen;

// Puts `from` into `into` where it is not null.
template <class T> void keepOrReplace(T*& into, T* from) {
    if (from) into = from;
}
} // namespace

Services& services() {
    static Services current{.box = &g_headlessBox,
                            .window = &g_headlessWindow,
                            .clock = &g_systemClock,
                            .dialogs = &g_headlessDialogs,
                            .shell = &g_headlessShell,
                            .screen = &g_headlessScreen};
    return current;
}

ServicesScope::ServicesScope(const Services& installed) : saved_(services()) {
    Services& s = services();
    keepOrReplace(s.box, installed.box);
    keepOrReplace(s.window, installed.window);
    keepOrReplace(s.clock, installed.clock);
    keepOrReplace(s.dialogs, installed.dialogs);
    keepOrReplace(s.shell, installed.shell);
    keepOrReplace(s.screen, installed.screen);
    keepOrReplace(s.windowList, installed.windowList);
    keepOrReplace(s.resources, installed.resources);
    keepOrReplace(s.secondary, installed.secondary);
    keepOrReplace(s.viewers, installed.viewers);
    keepOrReplace(s.update, installed.update);
}

ServicesScope::ServicesScope(IMessageBox* box, IWindowServices* window, IClock* clock, IFileDialogs* dialogs,
                             IShell* shell)
    : ServicesScope(
          Services{.box = box, .window = window, .clock = clock, .dialogs = dialogs, .shell = shell}) {}

ServicesScope::~ServicesScope() {
    services() = saved_;
}

long IShell::showHelp(Owner owner, const std::string& page) {
    return open(owner, appState().programFolder + page, "open", "");
}

LocalDateTime SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    const std::tm tm = localTime(t);
    LocalDateTime r;
    r.date = std::chrono::year_month_day{std::chrono::year{tm.tm_year + 1900},
                                         std::chrono::month{static_cast<unsigned>(tm.tm_mon + 1)},
                                         std::chrono::day{static_cast<unsigned>(tm.tm_mday)}};
    r.hour = tm.tm_hour;
    r.minute = tm.tm_min;
    r.second = tm.tm_sec;
    return r;
}

BoxButton HeadlessMessageBox::show(Owner, BoxKind kind, const std::string& caption, const std::string& text) {
    std::cerr << "[" << ansiToUtf8(caption) << "] " << ansiToUtf8(text) << '\n';
    switch (kind) {
    case BoxKind::YesNo:
        return BoxButton::No;
    case BoxKind::OkCancel:
        return BoxButton::Cancel;
    default:
        return BoxButton::Ok;
    }
}

} // namespace arti
