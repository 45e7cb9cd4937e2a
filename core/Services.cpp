#include "core/Services.h"

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
} // namespace

Services& services() {
    static Services current{&g_headlessBox, &g_headlessWindow, &g_systemClock, &g_headlessDialogs, &g_headlessShell};
    return current;
}

ServicesScope::ServicesScope(IMessageBox* box, IWindowServices* window, IClock* clock, IFileDialogs* dialogs,
                             IShell* shell)
    : saved_(services()) {
    Services& s = services();
    if (box) s.box = box;
    if (window) s.window = window;
    if (clock) s.clock = clock;
    if (dialogs) s.dialogs = dialogs;
    if (shell) s.shell = shell;
}

ServicesScope::ServicesScope(const Services& installed) : saved_(services()) {
    Services& s = services();
    if (installed.box) s.box = installed.box;
    if (installed.window) s.window = installed.window;
    if (installed.clock) s.clock = installed.clock;
    if (installed.dialogs) s.dialogs = installed.dialogs;
    if (installed.shell) s.shell = installed.shell;
    if (installed.viewers) s.viewers = installed.viewers;
    if (installed.update) s.update = installed.update;
}

ServicesScope::~ServicesScope() { services() = saved_; }

LocalDateTime SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
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
