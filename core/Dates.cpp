#include "core/Dates.h"

#include <cstdio>
#include <ctime>

namespace arti {

using namespace std::chrono;

std::string formatDate(const Date& d) {
    if (!d.ok()) return {};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u.%02u.%04d", static_cast<unsigned>(d.day()),
                  static_cast<unsigned>(d.month()), static_cast<int>(d.year()));
    return buf;
}

std::optional<Date> readDigitDate(std::string_view v, DigitOrder order) {
    if (v.size() != 8) return std::nullopt;
    int d[8];
    for (std::size_t i = 0; i < 8; ++i) {
        if (v[i] < '0' || v[i] > '9') return std::nullopt;
        d[i] = v[i] - '0';
    }
    const bool ymd = order == DigitOrder::YearMonthDay;
    const int* y = ymd ? d : d + 4;
    const int* dd = ymd ? d + 6 : d;
    const int yearValue = y[0] * 1000 + y[1] * 100 + y[2] * 10 + y[3];
    if (yearValue == 0) return std::nullopt;
    const Date date{std::chrono::year{yearValue},
                    month{static_cast<unsigned>(d[ymd ? 4 : 2] * 10 + d[ymd ? 5 : 3])},
                    day{static_cast<unsigned>(dd[0] * 10 + dd[1])}};
    if (!date.ok()) return std::nullopt;
    return date;
}

int expandYear(int y) {
    return y >= 90 ? 1900 + y : 2000 + y;
}

std::optional<Date> parseDate(std::string_view text) {
    int part[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int idx = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ')
        --end;
    if (i == end) return std::nullopt;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (++digits[idx] > 4) return std::nullopt;
            part[idx] = part[idx] * 10 + (c - '0');
        } else if (c == '.' && idx < 2 && digits[idx] > 0) {
            ++idx;
        } else {
            return std::nullopt;
        }
    }
    if (idx != 2 || digits[2] == 0 || digits[0] > 2 || digits[1] > 2) return std::nullopt;
    int year = part[2];
    if (digits[2] <= 2)
        year = expandYear(year);
    else if (digits[2] != 4 || year == 0)
        return std::nullopt;
    const Date d{std::chrono::year{year}, month{static_cast<unsigned>(part[1])},
                 day{static_cast<unsigned>(part[0])}};
    if (!d.ok()) return std::nullopt;
    return d;
}

Date addDays(const Date& d, int days) {
    return Date{sys_days{d} + std::chrono::days{days}};
}

std::string formatDateTime(const LocalDateTime& t) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour % 100, t.minute % 100);
    return formatDate(t.date) + " " + buf;
}

std::tm localTime(std::time_t t) {
    std::tm tm{};
    // The C runtimes differ only in the name and the order of the arguments.
#ifdef _WIN32
    if (localtime_s(&tm, &t) != 0) tm = std::tm{};
#else
    if (!localtime_r(&t, &tm)) tm = std::tm{};
#endif
    return tm;
}

} // namespace arti
