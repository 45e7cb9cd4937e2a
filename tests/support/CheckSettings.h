// The settings a check in the tests runs with: fresh values, the data folder, the
// currency "EUR" and a date window from 2020 to 2030; as a run's parameters, or as the
// settings in memory that a window hands to its run.
#pragma once

#include "run/CheckRun.h"
#include "settings/Settings.h"

#include <chrono>
#include <string>

namespace arti::test {

inline RunParameters checkParameters(const std::string& dataFolder) {
    RunParameters p;
    p.dataFolder = dataFolder;
    p.currency = "EUR";
    p.dateWindow = DateWindow{std::chrono::year{2020} / 1 / 1, std::chrono::year{2030} / 12 / 31};
    return p;
}

inline void useCheckSettings(const std::string& dataFolder) {
    const RunParameters p = checkParameters(dataFolder);
    settings() = Settings{};
    settings().installPath = p.dataFolder;
    settings().waehrung = p.currency;
    settings().uDatum = p.dateWindow.lower;
    settings().oDatum = p.dateWindow.upper;
}

} // namespace arti::test
