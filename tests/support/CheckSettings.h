// The settings a check in the tests runs with: fresh values, the data folder, the
// currency "EUR" and a date window from 2020 to 2030.
#pragma once

#include "settings/Settings.h"

#include <chrono>
#include <string>

namespace arti::test {

inline void useCheckSettings(const std::string& dataFolder) {
    settings() = Settings{};
    settings().installPath = dataFolder;
    settings().waehrung = "EUR";
    settings().uDatum = std::chrono::year{2020} / 1 / 1;
    settings().oDatum = std::chrono::year{2030} / 12 / 31;
}

} // namespace arti::test
