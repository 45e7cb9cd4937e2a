#include "app/runtime/Services.h"

#include "app/runtime/Text.h"

#include <ctime>
#include <iostream>

namespace arti {

namespace {
HeadlessMessageBox g_headlessBox;
HeadlessWindowServices g_headlessWindow;
SystemClock g_systemClock;
} // namespace

Services& services() {
    static Services current{&g_headlessBox, &g_headlessWindow, &g_systemClock};
    return current;
}

ServicesScope::ServicesScope(IMessageBox* box, IWindowServices* window, IClock* clock) : saved_(services()) {
    Services& s = services();
    if (box) s.box = box;
    if (window) s.window = window;
    if (clock) s.clock = clock;
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
