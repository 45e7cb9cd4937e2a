// The two complete sets of settings-window values that the save loop writes in turn,
// and the names under which the settings window stores them (default key, HKCU).
#pragma once

#include <array>
#include <chrono>
#include <string>

namespace arti::killtest {

struct SaveSet {
    const char* currency;
    const char* decimals;
    const char* country;
    std::chrono::year_month_day lower;
    std::chrono::year_month_day upper;
};

inline constexpr std::array<SaveSet, 2> kSaveSets{{
    {"EUR", "2", "DE", std::chrono::year{2020} / 1 / 1, std::chrono::year{2020} / 12 / 31},
    {"CHF", "3", "AT", std::chrono::year{2021} / 7 / 1, std::chrono::year{2022} / 6 / 30},
}};

// The value names the settings window writes: currency, country, decimals, date window.
inline constexpr std::array<const char*, 5> kSavedNames{"WAEHRUNG", "LCODE", "NKS", "UDatum", "ODatum"};

} // namespace arti::killtest
