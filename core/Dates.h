// Dates as the program shows and stores them: German order day.month.year with a
// four-digit year; two-digit years typed by a user fall in the century window from 1990.
#pragma once

#include "core/Services.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace arti {

using Date = std::chrono::year_month_day;

// "dd.mm.yyyy"; an invalid date gives an empty text.
std::string formatDate(const Date& d);
// Accepts d.m.yy, dd.mm.yyyy and the like (blanks around the text are ignored); empty or
// invalid text gives no date.
std::optional<Date> parseDate(std::string_view text);
// The order of the eight digits of a date in an ELDANORM file.
enum class DigitOrder { YearMonthDay, DayMonthYear };
// Exactly eight digits in the given order forming a calendar date. The year 0000 is no
// date: the calendar has none, and a file that names it carries no real date.
std::optional<Date> readDigitDate(std::string_view digits, DigitOrder order);
// Two-digit year in the century window from 1990.
int expandYear(int twoDigitYear);
Date addDays(const Date& d, int days);
// "dd.mm.yyyy hh:mm", the form of the last-session value.
std::string formatDateTime(const LocalDateTime& t);
// The calendar fields of `t` in the local time zone (thread-safe; all fields zero when
// the time cannot be converted).
std::tm localTime(std::time_t t);

} // namespace arti
